// The window that owns the sound device on Windows: DirectSound's cooperative level
// is set on it when sound starts (the desktop window stands in until one is given).
#pragma once
#include <windows.h>

void sound_set_window(HWND window);
