// What the emulation asks of Windows: key states, the focus, the user's folder,
// time, a finished frame to show, the error box, and the debugger's questions.
#include <windows.h>
#include <shlobj.h>
#include <mmsystem.h>

#include <cstdio>

#include "core/host.h"
#include "core/machine_state.h"
#include "debugger/debugger.h"
#include "debugger/debugger_win32.h"
#include "shell/shell_win32.h"
#include "video/output_win32.h"

std::string ansi_path(const wchar_t* path)
{
    // A name the ANSI code page can hold goes across as it is; any other is
    // replaced by the file system's short name, which is plain ASCII.
    BOOL lossy = FALSE;
    char ansi[MAX_PATH * 2];
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path, -1, ansi, sizeof ansi, nullptr, &lossy);
    if (n > 0 && !lossy) return ansi;
    wchar_t short_path[MAX_PATH];
    DWORD len = GetShortPathNameW(path, short_path, MAX_PATH);
    if (len > 0 && len < MAX_PATH) {
        n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, short_path, -1, ansi, sizeof ansi, nullptr, &lossy);
        if (n > 0 && !lossy) return ansi;
    }
    return n > 0 ? ansi : "";
}

bool host_key_down(int virtual_key)
{
    const SHORT state = GetAsyncKeyState(virtual_key);
    // Numeric-pad digits also count when pressed since the last query.
    if (virtual_key >= VK_NUMPAD0 && virtual_key <= VK_NUMPAD9) return state != 0;
    return (state & 0x8000) != 0;
}

bool host_is_foreground() { return main_window && GetForegroundWindow() == main_window; }

std::string host_app_data_folder()
{
    wchar_t folder[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return ".";
    return ansi_path(folder);
}

uint32_t host_tick_ms() { return GetTickCount(); }
void host_sleep_ms(uint32_t ms) { Sleep(ms); }

namespace {

// The performance counter's ticks per second, and the 1 ms timer resolution that
// makes Sleep(1) last about a millisecond rather than a scheduler tick of 15.
LARGE_INTEGER counter_rate()
{
    LARGE_INTEGER rate;
    if (!QueryPerformanceFrequency(&rate) || rate.QuadPart <= 0) rate.QuadPart = 1000;
    timeBeginPeriod(1);
    return rate;
}

}  // namespace

uint64_t host_time_us()
{
    static const LARGE_INTEGER rate = counter_rate();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return uint64_t(now.QuadPart / rate.QuadPart) * 1000000 + uint64_t(now.QuadPart % rate.QuadPart) * 1000000 / rate.QuadPart;
}

// Sleeps in whole milliseconds. A wait that ends late makes the next one shorter, since
// callers wait for moments on a fixed schedule, so the rate they keep stays exact.
void host_wait_until_us(uint64_t moment)
{
    for (uint64_t now = host_time_us(); now < moment; now = host_time_us())
        Sleep(DWORD((moment - now + 999) / 1000));
}

namespace {
uint32_t last_fast_draw;
int frames_not_drawn;
}

void host_draw_frame()
{
    // Running free, frames come far faster than a screen shows them: draw every 20 ms.
    if (fast_mode) {
        const uint32_t now = GetTickCount();
        if (now - last_fast_draw < 20) return;
        last_fast_draw = now;
    } else if (++frames_not_drawn < opt_frameskip) {
        return;  // frameskip n draws one frame in n, for a slow display
    }
    frames_not_drawn = 0;
    draw_frame();
}

int paused_message_box(const char* text, const char* title, UINT type)
{
    return while_paused([=] { return MessageBoxA(main_window, text, title, type); });
}

void host_show_error(const std::string& text)
{
    paused_message_box(text.c_str(), "Wren81 Error", MB_OK | MB_ICONERROR);
}

// ---- Debugger ----

// A breakpoint fired: the debugger opens over the main window with the sound stopped;
// when it closes the sound plays on and so does the machine.
bool host_breakpoint_hit(int)
{
    centre_on_pc = true;
    emulation_paused = 1;
    sound_hold(1);
    open_debugger(true);
    emulation_paused = 0;
    sound_hold(0);
    draw_frame();
    return false;
}

bool host_stop_requested() { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }

void host_message(const char* text, const char* caption) { paused_message_box(text, caption, MB_OK); }

bool host_ask_continue_log(int megabytes)
{
    char text[96];
    std::snprintf(text, sizeof text, "File is %dMB in size \n\nDo you wish to continue?", megabytes);
    return paused_message_box(text, "DEBUG", MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}
