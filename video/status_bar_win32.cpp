// The status bar: RAM model, frames per second, speed and, at 200%, the loaded
// file, refreshed about once a second from the main loop.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "core/host.h"
#include "core/machine_state.h"
#include "shell/shell_win32.h"
#include "video/output_win32.h"

HWND status_bar;
int status_bar_shown;

namespace {

constexpr int part_count = 4;

void set_part_text(int part, const char* text)
{
    SendMessageA(status_bar, SB_SETTEXTA, WPARAM(part), LPARAM(text));
}

}  // namespace

void create_status_bar()
{
    status_bar = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, main_window,
                                 nullptr, app_instance, nullptr);
    int right_edges[part_count] = {120, 270, 370, 1000};
    SendMessageA(status_bar, SB_SETPARTS, part_count, LPARAM(right_edges));
    set_part_text(0, " ");
    set_part_text(1, " Frames Per Second: ");
    set_part_text(2, " Speed: ");
    status_bar_shown = 1;
}

int status_bar_height()
{
    RECT r;
    if (!status_bar || !GetWindowRect(status_bar, &r)) return 0;
    return r.bottom - r.top;
}

void resize_status_bar(int client_width)
{
    SendMessageA(status_bar, WM_SIZE, 0, 0);
    const int quarter = client_width / part_count;
    int right_edges[part_count];
    for (int i = 0; i < part_count; ++i) right_edges[i] = quarter * (i + 1);
    SendMessageA(status_bar, SB_SETPARTS, part_count, LPARAM(right_edges));
}

void update_status_bar()
{
    const uint32_t now = host_tick_ms();
    if (now - fps_tick < 1000) return;
    if (status_bar_shown) {
        char text[320];
        set_part_text(0, model_status_label(opt_model_type));
        std::snprintf(text, sizeof text, " Frames Per Second: %d ", frame_count);
        set_part_text(1, text);
        std::snprintf(text, sizeof text, " Speed: %d%%", frame_count * 2);
        set_part_text(2, text);
        if (file_loaded && opt_draw_size == 2)
            std::snprintf(text, sizeof text, " Current File: %s", current_file_name.c_str());
        else
            std::snprintf(text, sizeof text, "%90s", "");
        set_part_text(3, text);
    }
    frame_count = 0;
    fps_tick = now;
}
