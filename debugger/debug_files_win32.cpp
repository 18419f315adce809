// The "System Variables" window, the "Disassemble To File" dialog, and the Debug
// menu's PC Logging and PC log One frame with their save-file dialog.
#include "debugger/debugger_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include "core/host.h"
#include "debugger/debugger_text.h"
#include "debugger/disassemble_file.h"
#include "debugger/pc_log.h"

namespace {

HWND sysvar_window, disfile_window;

INT_PTR CALLBACK sysvar_proc(HWND window, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        restore_placement(window, placement_system_variables);
        const HWND list = GetDlgItem(window, IDC_SYSVAR_LIST);
        set_list_columns(list, {{"Name", 60}, {"Address", 60}, {"Value", 338}});
        for (const SysvarRow& sysvar : system_variable_rows())
            add_list_row(list, {sysvar.name.c_str(), sysvar.address.c_str(), sysvar.value.c_str()});
        return TRUE;
    }
    default: {
        INT_PTR result;
        return tool_window_message(window, msg, wparam, sysvar_window, &placement_system_variables, result) ? result : FALSE;
    }
    }
}

// OK: the file (appended to; the dialog stays when it cannot be opened), then the range.
void write_listing_file(HWND dialog)
{
    std::string path;
    if (!ask_save_file(dialog, path)) return;
    auto ticked = [dialog](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    const DisasmStyle style = {ticked(IDC_DIS_SHOW_HEX) ? 16 : 10, ticked(IDC_DIS_ROM_CALLS),
                               ticked(IDC_DIS_SYSTEM_VARIABLES)};
    if (disassemble_to_file(path, field_text(dialog, IDC_DIS_START).c_str(), field_text(dialog, IDC_DIS_END).c_str(),
                            style) >= 0)
        DestroyWindow(dialog);
}

INT_PTR CALLBACK disfile_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_DIS_START, EM_LIMITTEXT, 6, 0);
        SendDlgItemMessageA(dialog, IDC_DIS_END, EM_LIMITTEXT, 6, 0);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        // A tick turns its choice on until the dialog closes.
        case IDC_DIS_SHOW_HEX:
        case IDC_DIS_ROM_CALLS:
        case IDC_DIS_SYSTEM_VARIABLES:
            if (IsDlgButtonChecked(dialog, LOWORD(wparam)) != BST_CHECKED)
                CheckDlgButton(dialog, LOWORD(wparam), BST_CHECKED);
            break;
        case IDOK:
        case IDC_DIS_OK: write_listing_file(dialog); break;
        case IDC_DIS_CANCEL: DestroyWindow(dialog); break;
        default: break;
        }
        if (LOWORD(wparam) != IDCANCEL) return TRUE;
        [[fallthrough]];
    default: {
        INT_PTR result;
        return tool_window_message(dialog, msg, wparam, disfile_window, nullptr, result) ? result : FALSE;
    }
    }
}

// Asks for the log's file and starts it.
void start_log(bool one_frame)
{
    std::string path;
    if (ask_save_file(main_window, path)) start_pc_log(path, one_frame);
    check_pc_log_menu();
}

}  // namespace

bool ask_save_file(HWND owner, std::string& path)
{
    wchar_t name[256] = L"";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = name;
    ofn.nMaxFile = 256;
    ofn.Flags = OFN_HIDEREADONLY;
    if (!while_paused([&ofn] { return GetSaveFileNameW(&ofn); })) return false;
    path = ansi_path(name);
    return !path.empty();
}

void open_system_variables(HWND owner) { open_modeless(sysvar_window, WREN_SYSVAR, owner, sysvar_proc); }
void open_disassemble_to_file(HWND owner) { open_modeless(disfile_window, WREN_DISFILE, owner, disfile_proc); }

void toggle_pc_logging()
{
    if (pc_logging) {
        stop_pc_log();
        check_pc_log_menu();
    } else {
        start_log(false);
    }
}

void log_one_frame()
{
    if (!pc_log_one_frame) start_log(true);
}

void check_pc_log_menu()
{
    CheckMenuItem(main_menu, IDM_PC_LOGGING, MF_BYCOMMAND | (pc_logging ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(main_menu, IDM_PC_LOG_ONE_FRAME, MF_BYCOMMAND | (pc_log_one_frame ? MF_CHECKED : MF_UNCHECKED));
}
