// What the emulation asks of the computer it runs on. The Windows program and the
// headless front end each provide these; nothing else in the core reaches the host.
#pragma once
#include <cstdint>
#include <string>

// Is the host key with this Windows virtual-key code held down?
bool host_key_down(int virtual_key);
// Does the emulator's main window have the keyboard focus?
bool host_is_foreground();
// The user's application-data folder, without a trailing separator.
std::string host_app_data_folder();
// Milliseconds since some fixed point, and a sleep.
uint32_t host_tick_ms();
void host_sleep_ms(uint32_t ms);
// A finished frame is in the frame buffer: show it.
void host_draw_frame();
// Shows an error text (the "%02X - message" line) to the user.
void host_show_error(const std::string& text);
