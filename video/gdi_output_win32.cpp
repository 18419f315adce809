// GDI output: the visible part of the frame buffer, cut by the border trims, is
// copied into a packed staging picture, put into a bitmap and blitted into the
// main window at (5, 5), unscaled or doubled; full screen stretches the whole
// visible frame over a 720 x 576 display mode.
#include <algorithm>

#include "shell/shell_win32.h"
#include "video/output_win32.h"

int picture_width = visible_width, picture_height = visible_height;
int window_width, window_height;

namespace {

struct BorderTrims {
    int32_t left, right, top, bottom;
};

// Full Border, Medium Border, No Border; preset 3 keeps the custom trims.
constexpr BorderTrims border_presets[3] = {{0, 0, 0, 0}, {40, 24, 32, 24}, {74, 54, 58, 48}};
// The largest trims the options allow; larger values from a damaged file are cut to these.
constexpr BorderTrims largest_trims = {74, 54, 58, 48};
// View -> Border Size entries by preset.
constexpr UINT border_menu_ids[4] = {IDM_FULL_BORDER, IDM_MEDIUM_BORDER, IDM_NO_BORDER, IDM_CUSTOM_BORDER};

uint32_t staging[visible_width * visible_height];

HDC window_dc;
HDC memory_dc;
HBITMAP picture_bitmap;
HGDIOBJ previous_bitmap;
bool display_mode_changed;
bool placing_window;

int screen_width, screen_height;

// Full screen shows the whole visible frame in a 720 x 576 pop-up window at 0, 0.
void enter_full_screen_window()
{
    picture_width = visible_width;
    picture_height = visible_height;
    SetWindowLongPtrA(main_window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(main_window, HWND_TOP, 0, 0, full_screen_width, full_screen_height, SWP_FRAMECHANGED);
}

void enter_full_screen_mode()
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = full_screen_width;
    mode.dmPelsHeight = full_screen_height;
    mode.dmBitsPerPel = 32;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    // Where the mode cannot be had the picture still fills a 720 x 576 window.
    display_mode_changed = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
    SetWindowPos(main_window, HWND_TOP, 0, 0, full_screen_width, full_screen_height, SWP_FRAMECHANGED);
}

void setup_gdi()
{
    window_dc = GetDC(main_window);
    memory_dc = CreateCompatibleDC(window_dc);
    picture_bitmap = CreateCompatibleBitmap(window_dc, picture_width, picture_height);
    previous_bitmap = SelectObject(memory_dc, picture_bitmap);
}

}  // namespace

int draw_scale() { return opt_draw_size == 2 ? 2 : 1; }

void copy_picture(uint32_t* to, int to_pitch)
{
    // Full screen always shows the whole visible frame, whatever the border.
    const bool full_screen = opt_draw_size == 3;
    const int left = full_screen ? 0 : opt_border_left, top = full_screen ? 0 : opt_border_top;
    const uint32_t* from = frame_buffer + top * frame_buffer_width + left;
    for (int y = 0; y < picture_height; ++y, from += frame_buffer_width, to += to_pitch)
        std::copy(from, from + picture_width, to);
}

void apply_border_preset()
{
    if (opt_border_size > 3) opt_border_size = 3;
    if (opt_border_size < 3) {
        const BorderTrims& t = border_presets[opt_border_size];
        opt_border_left = t.left;
        opt_border_right = t.right;
        opt_border_top = t.top;
        opt_border_bottom = t.bottom;
    }
    opt_border_left = std::clamp(opt_border_left, 0, largest_trims.left);
    opt_border_right = std::clamp(opt_border_right, 0, largest_trims.right);
    opt_border_top = std::clamp(opt_border_top, 0, largest_trims.top);
    opt_border_bottom = std::clamp(opt_border_bottom, 0, largest_trims.bottom);
    for (int preset = 0; preset < 4; ++preset)
        CheckMenuItem(main_menu, border_menu_ids[preset],
                      MF_BYCOMMAND | (preset == opt_border_size ? MF_CHECKED : MF_UNCHECKED));
}

void size_window()
{
    const int s = draw_scale();
    picture_width = visible_width - opt_border_left - opt_border_right;
    picture_height = visible_height - opt_border_top - opt_border_bottom;
    int client_height = picture_height * s + status_bar_height() + 2 * picture_margin;
    // The menu bar of the narrowest window takes a second row.
    if (s == 1 && opt_border_top == 58) client_height += 19;
    RECT r = {0, 0, picture_width * s + 2 * picture_margin, client_height};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_ACCEPTFILES);
    window_width = r.right - r.left;
    window_height = r.bottom - r.top;
    screen_width = GetSystemMetrics(SM_CXSCREEN);
    screen_height = GetSystemMetrics(SM_CYSCREEN);
}

void place_window()
{
    if (placing_window || opt_draw_size == 3 || !main_window) return;
    placing_window = true;  // moving the window sends WM_SIZE, which places it again
    RECT r;
    GetWindowRect(main_window, &r);
    int left = r.left, top = r.top;
    if (left > screen_width - window_width) left = screen_width - window_width - 100;
    if (top > screen_height - window_height) top = screen_height - window_height - 100;
    SetWindowPos(main_window, nullptr, left, top, window_width, window_height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    placing_window = false;
}

void setup_output()
{
    teardown_output();
    if (opt_draw_size < 1 || opt_draw_size > 3) opt_draw_size = 1;
    if (opt_draw_mode < 0 || opt_draw_mode > 2) opt_draw_mode = 0;
    opt_GDI = opt_draw_mode == 0;
    opt_DirectDraw = opt_draw_mode == 1;
    opt_Direct3D = opt_draw_mode == 2;
    if (opt_draw_size == 3) {
        // GDI changes the display mode itself; DirectDraw and Direct3D do so on their own.
        if (opt_draw_mode == 0) enter_full_screen_mode();
        enter_full_screen_window();
    } else {
        size_window();
        place_window();
    }
    const int s = draw_scale();
    bool ready = true;
    switch (opt_draw_mode) {
    case 1:
        ready = opt_draw_size == 3 ? dd_setup(full_screen_width, full_screen_height, 32)
                                   : dd_setup((picture_width + picture_margin) * s, (picture_height + picture_margin) * s, 16);
        break;
    case 2: ready = d3d_setup(); break;
    default: setup_gdi();
    }
    line_wrap_limit = 2 * 207 + 2;  // every output takes frame-buffer lines of this length
    if (!ready) fall_back_to_gdi();
}

void fall_back_to_gdi()
{
    opt_draw_mode = 0;
    setup_output();
    draw_frame();
}

void teardown_output()
{
    if (memory_dc) {
        SelectObject(memory_dc, previous_bitmap);
        DeleteDC(memory_dc);
        memory_dc = nullptr;
    }
    if (window_dc) {
        ReleaseDC(main_window, window_dc);
        window_dc = nullptr;
    }
    if (picture_bitmap) {
        DeleteObject(picture_bitmap);
        picture_bitmap = nullptr;
    }
    if (display_mode_changed) {
        ChangeDisplaySettingsA(nullptr, 0);
        display_mode_changed = false;
    }
    dd_teardown();
    d3d_teardown();
}

void draw_frame()
{
    switch (opt_draw_mode) {
    case 1: return dd_draw();
    case 2: return d3d_draw();
    }
    if (!memory_dc) return;
    copy_picture(staging, picture_width);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture_width;
    info.bmiHeader.biHeight = -picture_height;  // rows top-down, as in staging
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBits(memory_dc, picture_bitmap, 0, picture_height, staging, &info, DIB_RGB_COLORS);
    SetStretchBltMode(window_dc, COLORONCOLOR);

    switch (opt_draw_size) {
    case 2:
        StretchBlt(window_dc, picture_margin, picture_margin, picture_width * 2, picture_height * 2,
                   memory_dc, 0, 0, picture_width, picture_height, SRCCOPY);
        break;
    case 3:
        StretchBlt(window_dc, 0, 0, full_screen_width, full_screen_height, memory_dc, 0, 0, picture_width,
                   picture_height, SRCCOPY);
        break;
    default:
        BitBlt(window_dc, picture_margin, picture_margin, picture_width, picture_height, memory_dc, 0, 0,
               SRCCOPY);
    }
}
