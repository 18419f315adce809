// The "Breakpoints" window, the "Add New Breakpoint" dialog (which also edits a
// breakpoint's condition), and the questions of the Run Until menu: a T-state or a port.
#include "debugger/debugger_win32.h"

#include <commctrl.h>

#include "debugger/breakpoints.h"
#include "debugger/debugger.h"
#include "debugger/memory_tools.h"

namespace {

HWND breakpoints_window;
const char* const kind_names[] = {"Execute", "Memory read", "Memory write", "Port read", "Port write"};

int selected_row()
{
    return int(SendDlgItemMessageA(breakpoints_window, IDC_BREAK_LIST, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void fill_list()
{
    const HWND list = GetDlgItem(breakpoints_window, IDC_BREAK_LIST);
    const int selected = selected_row();
    ListView_DeleteAllItems(list);
    for (int i = 0; i < breakpoint_count; ++i)
        add_list_row(list, {breakpoint_address_text(i).c_str(), breakpoint_condition_text(i).c_str()});
    if (selected >= 0 && selected < breakpoint_count)
        ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// The Add dialog: lparam is -1 to add, or the row whose condition is updated.
INT_PTR CALLBACK add_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        const int row = int(lparam);
        for (const char* name : kind_names) SendDlgItemMessageA(dialog, IDC_BREAK_KIND, CB_ADDSTRING, 0, LPARAM(name));
        SendDlgItemMessageA(dialog, IDC_BREAK_KIND, CB_SETCURSEL, row < 0 ? 0 : breakpoints[row].kind, 0);
        if (row >= 0) {
            SetWindowTextA(dialog, "Update Breakpoint");
            SetDlgItemTextA(dialog, IDC_BREAK_ADDRESS, breakpoint_address_text(row).c_str());
            SetDlgItemTextA(dialog, IDC_BREAK_CONDITION, breakpoints[row].condition.c_str());
            EnableWindow(GetDlgItem(dialog, IDC_BREAK_KIND), FALSE);
            EnableWindow(GetDlgItem(dialog, IDC_BREAK_ADDRESS), FALSE);
            SetFocus(GetDlgItem(dialog, IDC_BREAK_CONDITION));
            return FALSE;
        }
        return TRUE;
    }
    case WM_COMMAND:
        return answer_ok_cancel(dialog, wparam, [dialog] {
            const int row = int(GetWindowLongPtrA(dialog, DWLP_USER));
            const std::string condition = field_text(dialog, IDC_BREAK_CONDITION);
            std::string message;
            const int kind = int(SendDlgItemMessageA(dialog, IDC_BREAK_KIND, CB_GETCURSEL, 0, 0));
            const bool done = row >= 0 ? update_breakpoint(row, condition.c_str(), message)
                                       : add_breakpoint(BreakKind(kind < 0 ? 0 : kind),
                                                        field_text(dialog, IDC_BREAK_ADDRESS).c_str(),
                                                        condition.c_str(), message);
            if (!done && !message.empty()) {  // the condition cannot be read: say why, keep what was typed
                MessageBoxA(dialog, message.c_str(), "Breakpoint Condition", MB_OK | MB_ICONEXCLAMATION);
                SetFocus(GetDlgItem(dialog, IDC_BREAK_CONDITION));
                return false;
            }
            return true;
        });
    default: return FALSE;
    }
}

INT_PTR CALLBACK breakpoints_proc(HWND window, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        set_list_columns(GetDlgItem(window, IDC_BREAK_LIST), {{"Address", 75}, {"Condition", 252}});
        breakpoints_window = window;
        fill_list();
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_BREAK_ADD:
            if (breakpoint_count < max_breakpoints)
                DialogBoxParamA(app_instance, DEBUG_BREAK_ADD, window, add_proc, -1);
            break;
        case IDC_BREAK_DELETE:
            if (selected_row() >= 0) delete_breakpoint(selected_row());
            break;
        case IDC_BREAK_UPDATE:
            if (selected_row() >= 0) DialogBoxParamA(app_instance, DEBUG_BREAK_ADD, window, add_proc, selected_row());
            break;
        default: break;
        }
        if (LOWORD(wparam) != IDCANCEL) {
            fill_list();
            return TRUE;
        }
        [[fallthrough]];
    default: {
        INT_PTR result;
        return tool_window_message(window, msg, wparam, breakpoints_window, nullptr, result) ? result : FALSE;
    }
    }
}

// One number asked for: lparam points at the caption, the answer goes to the dialog's result.
uint32_t asked_value;
INT_PTR CALLBACK ask_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (lparam) SetWindowTextA(dialog, reinterpret_cast<const char*>(lparam));
        return TRUE;
    case WM_COMMAND:
        return answer_ok_cancel(dialog, wparam, [dialog] {
            asked_value = field_number(dialog, GetDlgItem(dialog, IDC_TSTATE_VALUE) ? IDC_TSTATE_VALUE : IDC_PORT_VALUE);
            return true;
        });
    default: return FALSE;
    }
}

}  // namespace

void open_breakpoints(HWND owner) { open_modeless(breakpoints_window, WREN_BREAKPOINTS, owner, breakpoints_proc); }

void refresh_breakpoints()
{
    if (breakpoints_window) fill_list();
}

void ask_run_until_tstate(HWND owner)
{
    if (DialogBoxParamA(app_instance, DEBUG_RUN_UNTIL_TSTATE, owner, ask_proc, 0) == IDOK)
        run_until_tstate(asked_value);
}

void ask_run_until_port(HWND owner, bool write)
{
    const char* caption = write ? "Port Write Event" : "Port Read Event";
    if (DialogBoxParamA(app_instance, DEBUG_RUN_UNTIL_PORT, owner, ask_proc, LPARAM(caption)) != IDOK) return;
    if (asked_value > 0xFFFF) return;
    // Up to a minute of the machine's time; Esc stops it sooner.
    run_until_port(write, asked_value, 3000);
    locate_pc();
}
