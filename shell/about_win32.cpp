// The shell's own boxes: About, Help with its quotations, and quitting.
#include <windows.h>

#include <cstdlib>
#include <iterator>
#include <ctime>
#include <string>

#include "core/machine_state.h"
#include "shell/shell_win32.h"
#include "video/output_win32.h"

namespace {

const char* const quotations[] = {
    "Simplicity is prerequisite for reliability.\n- Edsger W. Dijkstra",
    "Any sufficiently advanced technology is\nindistinguishable from magic.\n- Arthur C. Clarke",
    "The best way to predict the future is to invent it.\n- Alan Kay",
    "Premature optimization is the root of all evil.\n- Donald Knuth",
    "Programs must be written for people to read,\nand only incidentally for machines to execute.\n- Abelson and Sussman",
    "First, solve the problem. Then, write the code.\n- John Johnson",
    "The most damaging phrase in the language is\n\"We've always done it this way.\"\n- Grace Hopper",
    "Machines take me by surprise with great frequency.\n- Alan Turing",
    "Make it work, make it right, make it fast.\n- Kent Beck",
    "Small is beautiful.\n- E. F. Schumacher",
    "Less is more.\n- Ludwig Mies van der Rohe",
    "Everything should be made as simple as possible,\nbut not simpler.",
    "Perfection is achieved not when there is nothing more\nto add, but when there is nothing left to take away.\n- Antoine de Saint-Exupery",
    "Talk is cheap. Show me the code.\n- Linus Torvalds",
    "Controlling complexity is the essence of\ncomputer programming.\n- Brian Kernighan",
    "There are two ways of constructing a software design.\nOne is to make it so simple that there are obviously no deficiencies.\n- C. A. R. Hoare",
    "We can only see a short distance ahead, but we can see\nplenty there that needs to be done.\n- Alan Turing",
    "Festina lente.\n(Make haste slowly.)",
    "A journey of a thousand miles\nbegins with a single step.\n- Lao Tzu",
    "1K of memory is enough for anyone\nwho counts every byte.",
};

HBRUSH about_background;

// Lays the About box out round its picture: the OK button centred at the bottom,
// the version text above it on the right.
void lay_out_about(HWND box)
{
    SetWindowTextA(box, window_title);
    RECT frame = {0, 0, ABOUT_PICTURE_WIDTH + GetSystemMetrics(SM_CXBORDER),
                  ABOUT_PICTURE_HEIGHT + GetSystemMetrics(SM_CYCAPTION)};
    AdjustWindowRectEx(&frame, GetWindowLongA(box, GWL_STYLE), FALSE, GetWindowLongA(box, GWL_EXSTYLE));
    RECT place;
    GetWindowRect(box, &place);
    MoveWindow(box, place.left + frame.left, place.top + frame.top, frame.right - frame.left,
               frame.bottom - frame.top, FALSE);
    RECT client;
    GetClientRect(box, &client);

    // The picture stays beneath its siblings; the box's own background is the same
    // picture, so the transparent text shows it too.
    HWND picture = GetDlgItem(box, IDC_ABOUT_PICTURE);
    SetWindowLongPtrA(picture, GWL_STYLE, GetWindowLongPtrA(picture, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(picture, HWND_BOTTOM, 0, 0, client.right, client.bottom, 0);
    HBITMAP image = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (image) about_background = CreatePatternBrush(image);

    HWND ok = GetDlgItem(box, IDOK);
    RECT r;
    GetWindowRect(ok, &r);
    const int button_width = r.right - r.left, button_height = r.bottom - r.top;
    MoveWindow(ok, (client.right - button_width) / 2, client.bottom - 5 - button_height, button_width,
               button_height, FALSE);

    HWND text = GetDlgItem(box, IDC_ABOUT_TEXT);
    const std::string version = std::string("Version ") + version_text + "\nby the Wren81 developers";
    SetWindowTextA(text, version.c_str());
    SendMessageA(text, WM_SETFONT, WPARAM(font_label), FALSE);
    // The text's box fits the text in the bold font.
    HDC dc = GetDC(text);
    HGDIOBJ previous_font = SelectObject(dc, font_label);
    RECT fit = {0, 0, 0, 0};
    DrawTextA(dc, version.c_str(), -1, &fit, DT_CALCRECT);
    SelectObject(dc, previous_font);
    ReleaseDC(text, dc);
    const int text_width = fit.right + 4, text_height = fit.bottom;
    MoveWindow(text, client.right - 30 - text_width, client.bottom - 5 - button_height - text_height, text_width,
               text_height, FALSE);
}

INT_PTR CALLBACK about_proc(HWND box, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: lay_out_about(box); return TRUE;
    case WM_CTLCOLORDLG:
        if (about_background) return INT_PTR(about_background);
        break;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        return INT_PTR(GetStockObject(NULL_BRUSH));
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            EndDialog(box, 0);
            if (about_background) DeleteObject(about_background);
            about_background = nullptr;
            return TRUE;
        }
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace

void show_about()
{
    while_paused([] { return DialogBoxParamA(app_instance, WREN_ABOUT, main_window, about_proc, 0); });
    draw_frame();
}

void show_help()
{
    std::srand(unsigned(std::time(nullptr)));
    paused_message_box(quotations[std::rand() % std::size(quotations)], "Help", MB_OK);
}

void quit_program()
{
    sound_pause();
    if (opt_exit_msg &&
        MessageBoxA(main_window, "Are you sure you want to quit Wren81?", "Exit", MB_YESNO) != IDYES) {
        sound_resume();
        return;
    }
    // Quitting from full screen keeps the windowed size and place for the next start.
    RECT r;
    GetWindowRect(main_window, &r);
    if (opt_draw_size == 3) {
        opt_draw_size = saved_draw_size;
        r.left = windowed_left;
        r.top = windowed_top;
    }
    placement_main_window = {r.left, r.top};
    config_save();
    teardown_output();
    close_tool_windows();
    DestroyWindow(main_window);
    PostQuitMessage(0);
}
