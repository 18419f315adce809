// The main window: its menu commands, full screen, the function keys, and the
// pausing of the emulation around menus, moves and the loss of focus.
#include "core/machine_state.h"
#include "core/z80.h"
#include "debugger/debugger.h"
#include "debugger/debugger_win32.h"
#include "shell/shell_win32.h"
#include "video/output_win32.h"

HFONT font_label, font_fixed, font_fixed_large;
int saved_draw_size = 1;
int windowed_left, windowed_top;

namespace {

void check_menu_item(UINT id, bool checked)
{
    CheckMenuItem(main_menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void create_fonts()
{
    auto font = [](int height, int weight, DWORD pitch, const char* face) {
        return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch, face);
    };
    font_label = font(15, FW_BOLD, DEFAULT_PITCH, "Arial");
    font_fixed = font(13, FW_NORMAL, FIXED_PITCH, "Consolas");
    font_fixed_large = font(26, FW_BOLD, FIXED_PITCH, "Consolas");
}

// Runs a command with the emulation's paused flag set, then clears it.
template <typename Command>
void with_paused_flag(Command command)
{
    emulation_paused = 1;
    command();
    emulation_paused = 0;
}

void set_draw_size(int size)
{
    with_paused_flag([size] {
        opt_draw_size = size;
        check_draw_size_menu();
        status_bar_shown = 1;
        setup_output();
        draw_frame();
    });
}

void set_border_preset(uint8_t preset)
{
    opt_border_size = preset;
    apply_border_preset();
    setup_output();
    draw_frame();
}

void enter_full_screen()
{
    SetMenu(main_window, nullptr);
    saved_draw_size = opt_draw_size;
    status_bar_shown = 0;
    ShowWindow(status_bar, SW_HIDE);
    opt_draw_size = 3;
    RECT r;
    GetWindowRect(main_window, &r);
    windowed_left = r.left;
    windowed_top = r.top;
    setup_output();
}

void leave_full_screen()
{
    opt_draw_size = saved_draw_size;
    SetMenu(main_window, main_menu);
    check_draw_size_menu();
    status_bar_shown = 1;
    ShowWindow(status_bar, SW_SHOW);
    teardown_output();  // gives the display mode back
    SetWindowLongPtrA(main_window, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    size_window();
    SetWindowPos(main_window, nullptr, windowed_left, windowed_top, window_width, window_height,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
    ShowWindow(main_window, SW_SHOW);
    setup_output();
}

void hard_reset()
{
    sound_hold(1);
    machine_hard_reset();
    sound_hold(0);
}

void on_command(int id)
{
    switch (id) {
    case IDM_LOAD_FILE: open_program_dialog(); break;
    case IDM_SAVE_SCREENSHOT: save_screenshot(); break;
    case IDM_QUIT: quit_program(); break;
    case IDM_SOFT_RESET:
        sound_hold(1);
        z80.pc = 0;
        sound_hold(0);
        break;
    case IDM_HARD_RESET: hard_reset(); break;
    case IDM_GENERATE_NMI: accept_nmi(0); break;
    case IDM_VSYNC_SOUND:
        vsync_sound_on = !vsync_sound_on;
        check_menu_item(IDM_VSYNC_SOUND, vsync_sound_on);
        break;
    case IDM_SIZE_100: set_draw_size(1); break;
    case IDM_SIZE_200: set_draw_size(2); break;
    case IDM_FULL_SCREEN:
        with_paused_flag([] {
            enter_full_screen();
            draw_frame();
        });
        break;
    case IDM_NO_BORDER: set_border_preset(2); break;
    case IDM_MEDIUM_BORDER: set_border_preset(1); break;
    case IDM_FULL_BORDER: set_border_preset(0); break;
    case IDM_LOAD_CONFIGURATION:
        with_paused_flag([] {
            config_load();
            apply_loaded_configuration();
            draw_frame();
        });
        break;
    case IDM_SAVE_CONFIGURATION: with_paused_flag([] { config_save(); }); break;
    case IDM_DEFAULT_CONFIGURATION:
        with_paused_flag([] {
            config_defaults();
            check_draw_size_menu();
            apply_border_preset();
            setup_output();
            draw_frame();
        });
        break;
    case IDM_OPTIONS: open_options(); break;
    case IDM_DISPLAY_KEYBOARD: open_display_keyboard(); break;
    case IDM_KEYBOARD_HELPER: open_keyboard_helper(); break;
    case IDM_CALCULATOR: open_calculator(); break;
    case IDM_ABOUT: show_about(); break;
    case IDM_HELP: show_help(); break;
    case IDM_DEBUGGER: open_debugger(false); break;
    case IDM_VIEW_REGISTERS: open_view_registers(); break;
    case IDM_VIEW_MEMORY: open_view_memory(); break;
    case IDM_VIEW_DISASSEMBLY: open_view_disassembly(); break;
    case IDM_PC_LOGGING: toggle_pc_logging(); break;
    case IDM_PC_LOG_ONE_FRAME: log_one_frame(); break;
    // Save Snapshot and Custom Border do nothing.
    default: break;
    }
}

void on_key_down(WPARAM key)
{
    switch (key) {
    case VK_ESCAPE:
        emulation_paused = !emulation_paused;
        sound_hold(emulation_paused);
        break;
    case VK_F2:
        fast_mode = !fast_mode;
        sound_hold(fast_mode);
        sound_tstates = 0;
        break;
    case VK_F3: accept_nmi(0); break;
    case VK_F5:
        if (opt_draw_size != 3) open_debugger(false);
        break;
    case VK_F4:
        if (opt_draw_size == 3)
            leave_full_screen();
        else
            enter_full_screen();
        break;
    default: break;
    }
}

}  // namespace

void check_draw_size_menu()
{
    if (opt_draw_size != 1 && opt_draw_size != 2) return;
    check_menu_item(IDM_SIZE_100, opt_draw_size == 1);
    check_menu_item(IDM_SIZE_200, opt_draw_size == 2);
    check_menu_item(IDM_FULL_SCREEN, false);
}

void apply_loaded_configuration()
{
    check_draw_size_menu();
    set_palette();
    apply_border_preset();
    if (opt_draw_size == 3 && GetMenu(main_window)) {
        opt_draw_size = 1;  // full screen returns to 100%
        enter_full_screen();
    } else {
        setup_output();
    }
}

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_CREATE: create_fonts(); break;
    case WM_SIZE:
        if (wparam == SIZE_MINIMIZED) break;
        resize_status_bar();
        place_window();
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        draw_frame();
        break;
    }
    case WM_SETFOCUS: sound_resume(); break;
    case WM_KILLFOCUS:
        if (!emulation_paused && opt_focus_on) sound_pause();
        break;
    case WM_MENUSELECT: sound_pause(); break;
    case WM_INITMENUPOPUP: check_pc_log_menu(); break;  // a one-frame log ends by itself
    case WM_EXITMENULOOP: sound_resume(); break;
    case WM_ENTERSIZEMOVE:
        emulation_paused = 1;
        sound_hold(1);
        break;
    case WM_EXITSIZEMOVE: sound_resume(); break;
    case WM_GETMINMAXINFO:
        if (window_width > 0) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
            const bool full = opt_draw_size == 3;
            info->ptMinTrackSize.x = info->ptMaxTrackSize.x = full ? full_screen_width : window_width;
            info->ptMinTrackSize.y = info->ptMaxTrackSize.y = full ? full_screen_height : window_height;
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (!(lparam & (1 << 30))) on_key_down(wparam);  // a held key's repeats do not toggle again
        break;
    case WM_COMMAND: on_command(LOWORD(wparam)); break;
    case WM_DROPFILES: drop_program_file(reinterpret_cast<HDROP>(wparam)); return 0;
    case WM_CLOSE: quit_program(); return 0;
    case WM_DESTROY: PostQuitMessage(0); break;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}
