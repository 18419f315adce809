// The status bar: RAM model, frames per second, speed and, at 200%, the loaded
// file, refreshed about once a second from the main loop.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "core/host.h"
#include "core/machine_state.h"
#include "shell/shell_win32.h"
#include "video/output_win32.h"

HWND status_bar;
int status_bar_shown;

namespace {

constexpr int part_count = 4;
// Room the control keeps around a part's text, beyond its borders.
constexpr int text_margin = 12;

void set_part_text(int part, const char* text)
{
    SendMessageA(status_bar, SB_SETTEXTA, WPARAM(part), LPARAM(text));
}

int text_width(HDC dc, const char* text)
{
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return size.cx;
}

// Right edges for parts as wide as the widest text each of the first three can show,
// in the bar's own font; the file name takes the rest of the bar.
void set_part_widths()
{
    HDC dc = GetDC(status_bar);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(status_bar, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    int widest_model = 0;
    for (int model = 0; model < model_count; ++model)
        widest_model = std::max(widest_model, text_width(dc, model_status_label(model)));
    int borders[3] = {};
    SendMessageA(status_bar, SB_GETBORDERS, 0, LPARAM(borders));
    const int extra = 2 * borders[0] + borders[2] + text_margin;
    int right_edges[part_count];
    right_edges[0] = widest_model + extra;
    right_edges[1] = right_edges[0] + text_width(dc, " Frames Per Second: 9999 ") + extra;
    right_edges[2] = right_edges[1] + text_width(dc, " Speed: 19998%") + extra;
    right_edges[3] = -1;
    SelectObject(dc, previous);
    ReleaseDC(status_bar, dc);
    SendMessageA(status_bar, SB_SETPARTS, part_count, LPARAM(right_edges));
}

}  // namespace

void create_status_bar()
{
    status_bar = CreateWindowExA(0, STATUSCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, main_window,
                                 nullptr, app_instance, nullptr);
    set_part_widths();
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

void resize_status_bar()
{
    SendMessageA(status_bar, WM_SIZE, 0, 0);
    set_part_widths();
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
