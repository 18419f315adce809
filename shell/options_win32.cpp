// The Options command: the property sheet "Wren81 Options" with its six pages.
// Each control writes its setting as it changes; OK applies what needs the machine
// or the window, Cancel puts the settings back.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>

#include "shell/options.h"
#include "shell/shell_win32.h"
#include "video/output_win32.h"

namespace {

bool options_accepted;  // OK was pressed: a page saw PSN_APPLY
bool page_opening;      // a page is filling its controls: their echoes change nothing

void set_check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void set_slider(HWND page, int id, int low, int high, int position, int tick = 0)
{
    const HWND slider = GetDlgItem(page, id);
    SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
    if (tick) SendMessageA(slider, TBM_SETTICFREQ, tick, 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
}
int slider_position(HWND page, int id) { return int(SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0)); }

void fill_list(HWND page, int id, const char* const* entries, int count, int selected)
{
    for (int i = 0; i < count; ++i) SendDlgItemMessageA(page, id, CB_ADDSTRING, 0, LPARAM(entries[i]));
    SendDlgItemMessageA(page, id, CB_SETCURSEL, selected, 0);
}
int list_selection(HWND page, int id) { return int(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0)); }
// The number written in the selected entry (" 8", "22050").
int list_number(HWND page, int id)
{
    char text[16] = "";
    const int i = list_selection(page, id);
    if (i >= 0) SendDlgItemMessageA(page, id, CB_GETLBTEXT, i, LPARAM(text));
    return std::atoi(text);
}
// Index of the entry whose number is `value`; the first entry when none is.
int entry_of(const char* const* entries, int count, int value)
{
    for (int i = 0; i < count; ++i)
        if (std::atoi(entries[i]) == value) return i;
    return 0;
}

void show_number(HWND page, int id, const char* format, int value)
{
    char text[32];
    wsprintfA(text, format, value);
    SetDlgItemTextA(page, id, text);
}

// The page procedures share this frame: opening, sliders, commands.
struct PageHandlers {
    void (*open)(HWND page);
    void (*slide)(HWND page);
    void (*command)(HWND page, int id, int code);
};

void no_sliders(HWND) {}

template <const PageHandlers& H>
INT_PTR CALLBACK page_proc(HWND page, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_INITDIALOG:
        page_opening = true;
        H.open(page);
        page_opening = false;
        return TRUE;
    case WM_HSCROLL:
        H.slide(page);
        return TRUE;
    case WM_COMMAND:
        if (!page_opening) H.command(page, LOWORD(wparam), HIWORD(wparam));
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lparam)->code == PSN_APPLY) options_accepted = true;
        return FALSE;
    default: return FALSE;
    }
}

// ---- Emulation ----

void emulation_open(HWND page)
{
    set_slider(page, IDC_SPEED_SLIDER, 10, 1000, int(opt_emulation_speed));
    show_number(page, IDC_SPEED_LABEL, "%d%%", int(opt_emulation_speed));
    set_check(page, IDC_EXIT_MSG, opt_exit_msg);
    set_check(page, IDC_FOCUS_ON, opt_focus_on);
}

void emulation_slide(HWND page)
{
    options_set_speed(slider_position(page, IDC_SPEED_SLIDER));
    show_number(page, IDC_SPEED_LABEL, "%d%%", int(opt_emulation_speed));
}

void emulation_command(HWND page, int id, int)
{
    if (id == IDC_EXIT_MSG) opt_exit_msg = checked(page, id);
    if (id == IDC_FOCUS_ON) opt_focus_on = checked(page, id);
}  // "Auto rewind tapes" has no setting behind it

constexpr PageHandlers emulation_page = {emulation_open, emulation_slide, emulation_command};

// ---- Hardware ----

void hardware_open(HWND page)
{
    CheckRadioButton(page, IDC_MODEL_ZX81, IDC_MODEL_48K, IDC_MODEL_ZX81 + std::clamp(opt_model_type, 0, 6));
    set_check(page, IDC_M1NOT, opt_M1Not == 49152);
    fill_list(page, IDC_AY_CARD, ay_card_labels, 5, ay_card);
    fill_list(page, IDC_HIRES_CARD, hires_card_labels, 5, hires_card);
    fill_list(page, IDC_CHR_GENERATOR, chr_generator_labels, 4, chr_generator);
}

void hardware_command(HWND page, int id, int code)
{
    if (id >= IDC_MODEL_ZX81 && id <= IDC_MODEL_48K) {
        options_select_model(id - IDC_MODEL_ZX81);
        CheckRadioButton(page, IDC_MODEL_ZX81, IDC_MODEL_48K, id);
    } else if (id == IDC_M1NOT) {
        options_toggle_m1not();
        set_check(page, id, opt_M1Not == 49152);
    } else if (code == CBN_SELCHANGE) {
        const auto choice = uint8_t(list_selection(page, id));
        if (id == IDC_AY_CARD) ay_card = choice;
        if (id == IDC_HIRES_CARD) hires_card = choice;
        if (id == IDC_CHR_GENERATOR) chr_generator = choice;
    }
}

constexpr PageHandlers hardware_page = {hardware_open, no_sliders, hardware_command};

// ---- Display ----

const char* const colour_names[4] = {"Default Colours", "Black & White", "Green Screen", "Amber Screen"};

void display_open(HWND page)
{
    set_slider(page, IDC_FRAMESKIP, 1, 11, opt_frameskip);
    set_slider(page, IDC_VERTICAL_HOLD, -50, 50, vertical_hold, 10);
    set_slider(page, IDC_HORIZONTAL_HOLD, -400, 400, horizontal_hold, 40);
    set_slider(page, IDC_BORDER_LEFT, 0, 74, opt_border_left);
    set_slider(page, IDC_BORDER_RIGHT, 0, 54, opt_border_right);
    set_slider(page, IDC_BORDER_TOP, 0, 58, opt_border_top);
    set_slider(page, IDC_BORDER_BOTTOM, 0, 48, opt_border_bottom);
    set_check(page, IDC_DRAW_GDI, opt_GDI);
    set_check(page, IDC_DRAW_DIRECTDRAW, opt_DirectDraw);
    set_check(page, IDC_DRAW_DIRECT3D, opt_Direct3D);
    set_check(page, IDC_SCANLINES, opt_tstates_per_scanline);
    fill_list(page, IDC_COLOURS, colour_names, 4, opt_colours);
}

void display_slide(HWND page)
{
    auto at = [page](int id) { return slider_position(page, id); };
    options_set_display_sliders({at(IDC_BORDER_LEFT), at(IDC_BORDER_RIGHT), at(IDC_BORDER_TOP),
                                 at(IDC_BORDER_BOTTOM), at(IDC_VERTICAL_HOLD), at(IDC_HORIZONTAL_HOLD),
                                 at(IDC_FRAMESKIP)});
}

void display_command(HWND page, int id, int code)
{
    if (id >= IDC_DRAW_GDI && id <= IDC_DRAW_DIRECT3D) {
        options_select_draw_mode(id - IDC_DRAW_GDI);
        CheckRadioButton(page, IDC_DRAW_GDI, IDC_DRAW_DIRECT3D, id);
    } else if (id == IDC_SCANLINES) {
        opt_tstates_per_scanline = checked(page, id);
    } else if (id == IDC_COLOURS && code == CBN_SELCHANGE) {
        opt_colours = list_selection(page, id);
    }
}

constexpr PageHandlers display_page = {display_open, display_slide, display_command};

// ---- Sound ----

const char* const frequencies[3] = {"11025", "22050", "44100"};
const char* const bit_depths[2] = {" 8", "16"};

void sound_open(HWND page)
{
    set_check(page, IDC_SOUND_ENABLED, opt_sound);
    set_check(page, IDC_STEREO, opt_stereo);
    set_slider(page, IDC_VOLUME, 0, 10, volume_slider_position());
    set_slider(page, IDC_BUFFER_SLIDER, 1, 50, opt_num_buffers);
    show_number(page, IDC_BUFFER_LABEL, "%d frames", opt_num_buffers);
    fill_list(page, IDC_FREQUENCY, frequencies, 3, entry_of(frequencies, 3, opt_freq));
    fill_list(page, IDC_BIT_DEPTH, bit_depths, 2, entry_of(bit_depths, 2, opt_soundbits));
}

void sound_slide(HWND page)
{
    options_set_volume(slider_position(page, IDC_VOLUME));
    options_set_buffers(slider_position(page, IDC_BUFFER_SLIDER));
    show_number(page, IDC_BUFFER_LABEL, "%d frames", opt_num_buffers);
}

void sound_command(HWND page, int id, int code)
{
    if (id == IDC_SOUND_ENABLED) opt_sound = checked(page, id);
    if (id == IDC_STEREO) {
        options_toggle_stereo();
        set_check(page, id, opt_stereo);
    }
    if (code != CBN_SELCHANGE) return;
    if (id == IDC_FREQUENCY) options_set_frequency(list_number(page, id));
    if (id == IDC_BIT_DEPTH) options_set_bits(list_number(page, id));
}

constexpr PageHandlers sound_page = {sound_open, sound_slide, sound_command};

// ---- Folders ----

void show_folder(HWND page, int field, const char* setting)
{
    SetDlgItemTextA(page, field, folder_field_text(setting).c_str());
}

void folders_open(HWND page)
{
    const auto picture = LPARAM(LoadBitmapA(app_instance, MAKEINTRESOURCEA(IDB_FOLDER)));
    SendDlgItemMessageA(page, IDC_SNAPSHOT_BROWSE, BM_SETIMAGE, IMAGE_BITMAP, picture);
    SendDlgItemMessageA(page, IDC_TAPE_BROWSE, BM_SETIMAGE, IMAGE_BITMAP, picture);
    show_folder(page, IDC_SNAPSHOT_FOLDER, opt_current_sna_dir);
    show_folder(page, IDC_TAPE_FOLDER, opt_current_tap_dir);
}

void browse_for_folder(HWND page, const wchar_t* title, int field, char* setting)
{
    BROWSEINFOW info = {};
    info.hwndOwner = page;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_RETURNFSANCESTORS;
    LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
    if (!chosen) return;
    wchar_t path[MAX_PATH];
    if (SHGetPathFromIDListW(chosen, path)) {
        options_choose_folder(setting, ansi_path(path));
        show_folder(page, field, setting);
    }
    CoTaskMemFree(chosen);
}

void folders_command(HWND page, int id, int code)
{
    if (id == IDC_SNAPSHOT_BROWSE)
        browse_for_folder(page, L"Select a folder for snapshots", IDC_SNAPSHOT_FOLDER, opt_current_sna_dir);
    if (id == IDC_TAPE_BROWSE)
        browse_for_folder(page, L"Select a folder for tapes", IDC_TAPE_FOLDER, opt_current_tap_dir);
    if (code != EN_CHANGE) return;
    if (id == IDC_SNAPSHOT_FOLDER) GetDlgItemTextA(page, id, opt_current_sna_dir, folder_capacity);
    if (id == IDC_TAPE_FOLDER) GetDlgItemTextA(page, id, opt_current_tap_dir, folder_capacity);
}

constexpr PageHandlers folders_page = {folders_open, no_sliders, folders_command};

// ---- Debugger ----

void debugger_open(HWND page)
{
    set_check(page, IDC_DIS_ROM, opt_dis_rom);
    set_check(page, IDC_DIS_SV, opt_dis_sv);
}

void debugger_command(HWND page, int id, int)
{
    if (id == IDC_DIS_ROM) opt_dis_rom = checked(page, id);
    if (id == IDC_DIS_SV) opt_dis_sv = checked(page, id);
}

constexpr PageHandlers debugger_page = {debugger_open, no_sliders, debugger_command};

// ---- The sheet ----

PROPSHEETPAGEA page(const char* name, DLGPROC proc)
{
    PROPSHEETPAGEA p = {};
    p.dwSize = sizeof p;
    p.hInstance = app_instance;
    p.pszTemplate = name;
    p.pfnDlgProc = proc;
    return p;
}

// OK: the machine first, then the window and its picture.
void accept_options()
{
    options_ok_machine();
    RECT r;
    GetWindowRect(main_window, &r);
    placement_main_window = {r.left, r.top};
    apply_border_preset();
    setup_output();
}

}  // namespace

void open_options()
{
    options_open();
    options_accepted = false;
    PROPSHEETPAGEA pages[] = {
        page(OPT_EMULATION, page_proc<emulation_page>), page(OPT_HARDWARE, page_proc<hardware_page>),
        page(OPT_DISPLAY, page_proc<display_page>),     page(OPT_SOUND, page_proc<sound_page>),
        page(OPT_DEFAULTDIRS, page_proc<folders_page>), page(OPT_DEBUGGER, page_proc<debugger_page>),
    };
    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    sheet.hwndParent = main_window;
    sheet.hInstance = app_instance;
    sheet.pszCaption = "Wren81 Options";
    sheet.nPages = sizeof pages / sizeof pages[0];
    sheet.nStartPage = 0;
    sheet.ppsp = pages;
    while_paused([&sheet] {
        PropertySheetA(&sheet);
        if (options_accepted)
            accept_options();
        else
            options_cancel();
        draw_frame();
        return 0;
    });
}
