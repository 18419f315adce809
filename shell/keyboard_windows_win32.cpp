// The two keyboard windows of the Tools menu: the Keyboard Helper, whose forty key
// pictures type into the ZX81 when clicked, and the picture of the ZX81 keyboard.
#include "debugger/debugger_win32.h"
#include "shell/shell_win32.h"

namespace {

HWND helper_window;
HWND keyboard_window;
HBITMAP key_pictures[helper_button_count];

void show_key_pictures(HWND window)
{
    for (int i = 0; i < helper_button_count; ++i) {
        const int button = helper_first_button + i;
        key_pictures[i] = static_cast<HBITMAP>(
            LoadImageA(app_instance, MAKEINTRESOURCEA(KEY_PICTURE_FOR_BUTTON(button)), IMAGE_BITMAP, 0, 0, 0));
        SendDlgItemMessageA(window, button, BM_SETIMAGE, IMAGE_BITMAP, LPARAM(key_pictures[i]));
    }
}

void free_key_pictures()
{
    for (HBITMAP& picture : key_pictures) {
        if (picture) DeleteObject(picture);
        picture = nullptr;
    }
}

INT_PTR CALLBACK helper_proc(HWND window, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        show_key_pictures(window);
        helper_open();
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wparam);
        if (id >= helper_first_button && id < helper_first_button + helper_button_count) {
            helper_press_button(id);
            return TRUE;
        }
        if (id == IDCANCEL) DestroyWindow(window);
        return TRUE;
    }
    case WM_CLOSE: DestroyWindow(window); return TRUE;
    case WM_DESTROY:
        helper_close();
        free_key_pictures();
        helper_window = nullptr;
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK keyboard_proc(HWND window, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        // A client area the size of the picture, inside the platform's frame.
        RECT r = {0, 0, KEYBOARD_PICTURE_WIDTH, KEYBOARD_PICTURE_HEIGHT};
        AdjustWindowRectEx(&r, GetWindowLongA(window, GWL_STYLE), FALSE, GetWindowLongA(window, GWL_EXSTYLE));
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
        SetWindowPos(GetDlgItem(window, IDC_KEYBOARD_PICTURE), nullptr, 0, 0, KEYBOARD_PICTURE_WIDTH,
                     KEYBOARD_PICTURE_HEIGHT, SWP_NOZORDER);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) DestroyWindow(window);
        return TRUE;
    case WM_CLOSE: DestroyWindow(window); return TRUE;
    case WM_DESTROY: keyboard_window = nullptr; return TRUE;
    default: return FALSE;
    }
}

// Puts a keyboard window below the main window, or above it where the screen ends,
// so that it never hides the picture.
void place_beside_main_window(HWND window)
{
    RECT main_rect, own;
    GetWindowRect(main_window, &main_rect);
    GetWindowRect(window, &own);
    const int height = own.bottom - own.top;
    int top = main_rect.bottom;
    if (top + height > GetSystemMetrics(SM_CYSCREEN)) top = main_rect.top - height;
    if (top < 0) top = 0;
    SetWindowPos(window, nullptr, main_rect.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Opens a modeless window of the main window once; a second command brings it forward.
void open_tool_window(HWND& window, const char* template_name, DLGPROC proc)
{
    if (window) {
        SetForegroundWindow(window);
        return;
    }
    window = CreateDialogParamA(app_instance, template_name, main_window, proc, 0);
    if (!window) return;
    place_beside_main_window(window);
    ShowWindow(window, SW_SHOW);
}

}  // namespace

void open_keyboard_helper() { open_tool_window(helper_window, WREN_KEYBOARDHELP, helper_proc); }
void open_display_keyboard() { open_tool_window(keyboard_window, WREN_KEYBOARD, keyboard_proc); }

bool shell_dialog_message(MSG* msg)
{
    return (helper_window && IsDialogMessageA(helper_window, msg)) ||
           (keyboard_window && IsDialogMessageA(keyboard_window, msg)) || calculator_dialog_message(msg) ||
           debug_dialog_message(msg);
}

void close_tool_windows()
{
    if (helper_window) DestroyWindow(helper_window);
    if (keyboard_window) DestroyWindow(keyboard_window);
    close_calculator();
    close_debug_windows();
}
