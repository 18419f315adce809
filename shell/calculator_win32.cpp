// The calculator window of the Tools menu: a modeless dialog with no owner that
// passes each key to the calculator and shows what it leaves in its display,
// enabling only the digits of the current base.
#include "shell/calculator.h"
#include "shell/shell_win32.h"

namespace {

HWND calculator_window;

// The flag switches show the calculator's flags: after a shift, CARRY shows the
// carry that fell out; "+/-" and SIGNED are one flag.
void show_state(HWND window)
{
    SetDlgItemTextA(window, IDC_CALC_DISPLAY, calculator_display);
    for (int digit = 2; digit < 16; ++digit)
        EnableWindow(GetDlgItem(window, IDC_CALC_0 + digit), calculator_digit_allowed(digit));
    CheckDlgButton(window, IDC_CALC_CARRY, calculator_carry ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_CALC_SIGNED, calculator_signed ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_CALC_PLUS_MINUS, calculator_signed ? BST_CHECKED : BST_UNCHECKED);
}

// Where the window was last closed, or its default where that is on no screen now.
void restore_position(HWND window)
{
    POINT corner = {placement_calculator.left, placement_calculator.top};
    if (!MonitorFromPoint(corner, MONITOR_DEFAULTTONULL)) corner = {400, 400};
    SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Kept as it moves (a minimised window keeps its last place), so a quit with the
// window open saves where it is.
void store_position(HWND window)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsIconic(window) || !GetWindowPlacement(window, &placement)) return;
    placement_calculator = {placement.rcNormalPosition.left, placement.rcNormalPosition.top};
}

void press_key(int id)
{
    if (id >= IDC_CALC_0 && id <= IDC_CALC_F) return calculator_digit(id - IDC_CALC_0);
    if (id >= IDC_CALC_RL && id <= IDC_CALC_SRL) return calculator_shift(CalculatorShift(id - IDC_CALC_RL));
    switch (id) {
    case IDC_CALC_ADD: calculator_operator(calc_add); break;
    case IDC_CALC_SUBTRACT: calculator_operator(calc_subtract); break;
    case IDC_CALC_MULTIPLY: calculator_operator(calc_multiply); break;
    case IDC_CALC_DIVIDE: calculator_operator(calc_divide); break;
    case IDC_CALC_AND: calculator_operator(calc_and); break;
    case IDC_CALC_OR: calculator_operator(calc_or); break;
    case IDC_CALC_XOR: calculator_operator(calc_xor); break;
    case IDC_CALC_EQUALS: calculator_equals(); break;
    case IDC_CALC_NOT: calculator_not(); break;
    case IDC_CALC_BIN: calculator_set_base(2); break;
    case IDC_CALC_DEC: calculator_set_base(10); break;
    case IDC_CALC_HEX: calculator_set_base(16); break;
    case IDC_CALC_BYTE: calculator_set_width(8); break;
    case IDC_CALC_WORD: calculator_set_width(16); break;
    case IDC_CALC_CARRY: calculator_toggle_carry(); break;
    case IDC_CALC_SIGNED:
    case IDC_CALC_PLUS_MINUS: calculator_toggle_signed(); break;
    case IDC_CALC_CA: calculator_clear_all(); break;
    case IDC_CALC_CE: calculator_clear_entry(); break;
    case IDC_CALC_STO: calculator_store(); break;
    default: break;
    }
}

INT_PTR CALLBACK calculator_proc(HWND window, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        restore_position(window);
        calculator_open();
        CheckRadioButton(window, IDC_CALC_BIN, IDC_CALC_HEX, IDC_CALC_DEC);
        CheckRadioButton(window, IDC_CALC_BYTE, IDC_CALC_WORD, IDC_CALC_BYTE);
        SendDlgItemMessageA(window, IDC_CALC_DISPLAY, WM_SETFONT, WPARAM(font_fixed_large), FALSE);
        show_state(window);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) {  // Esc, as the close box
            SendMessageA(window, WM_CLOSE, 0, 0);
        } else if (HIWORD(wparam) == BN_CLICKED) {
            press_key(LOWORD(wparam));
            show_state(window);
        }
        return TRUE;
    case WM_MOVE:
        if (calculator_window) store_position(window);  // not while it is being created
        return FALSE;
    case WM_CLOSE:
        calculator_close();
        DestroyWindow(window);
        return TRUE;
    case WM_DESTROY: calculator_window = nullptr; return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void open_calculator()
{
    if (calculator_window) {
        if (IsIconic(calculator_window)) ShowWindow(calculator_window, SW_RESTORE);
        SetForegroundWindow(calculator_window);
        return;
    }
    calculator_window = while_paused(
        [] { return CreateDialogParamA(app_instance, WREN_CALCULATOR, nullptr, calculator_proc, 0); });
    if (calculator_window) ShowWindow(calculator_window, SW_SHOW);
}

void close_calculator()
{
    if (calculator_window) SendMessageA(calculator_window, WM_CLOSE, 0, 0);
}

bool calculator_dialog_message(MSG* msg) { return calculator_window && IsDialogMessageA(calculator_window, msg); }
