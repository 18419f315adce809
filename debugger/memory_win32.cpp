// The memory windows: "View Memory", the "Edit Memory" hex editor with its caret,
// and the dialogs of Find, Copy Memory Block, Fill Memory Block, PUSH Value, POP
// Value and Alter Stack Pointer. The editor's keys go to the core's editor.
#include "debugger/debugger.h"
#include "debugger/debugger_text.h"
#include "debugger/debugger_win32.h"
#include "debugger/debugger_windows.h"
#include "debugger/memory_tools.h"

namespace {

constexpr int memory_pane_id = 1250;
constexpr int row_count = 32;
HWND view_window, editor_window;

// The 32 rows of 73 characters with the scroll bar beside them.
void create_memory_pane(HWND window, int scroll_id)
{
    const SIZE cell = pane_cell();
    const int width = 6 + 73 * int(cell.cx), height = row_count * int(cell.cy) + 8;
    create_pane(window, memory_pane_id, 5, 5, width, height);
    SetWindowPos(GetDlgItem(window, scroll_id), nullptr, 8 + width, 5, 18, height, SWP_NOZORDER);
    fit_client(window, width + 31, height + 10);
}

// The thumb runs over the first addresses the view may start at, 512 bytes a page.
void set_memory_scroll(HWND window, int scroll_id, uint32_t start, bool edit_rom)
{
    set_scroll(GetDlgItem(window, scroll_id), int(clamp_view_start(0, edit_rom)),
               int(clamp_view_start(0x10000, edit_rom)) + 511, 512, int(start));
}

// ---- View Memory ----

void refresh_view()
{
    draw_pane(GetDlgItem(view_window, memory_pane_id), view_memory_rows(memory_view_start));
    set_memory_scroll(view_window, IDC_VIEWMEMORY_SCROLL, memory_view_start, false);
}

INT_PTR CALLBACK view_proc(HWND window, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        view_window = window;
        restore_placement(window, placement_view_memory);
        memory_view_open();
        create_memory_pane(window, IDC_VIEWMEMORY_SCROLL);
        refresh_view();
        return TRUE;
    case WM_VSCROLL:
        memory_view_scroll(uint32_t(scroll_target(wparam, int(memory_view_start), 16, 512)));
        refresh_view();
        return TRUE;
    default: {
        INT_PTR result;
        return tool_window_message(window, msg, wparam, view_window, &placement_view_memory, result) ? result : FALSE;
    }
    }
}

// ---- Edit Memory ----

// The caret's place: its row, and its character within the row.
void place_caret()
{
    const SIZE cell = pane_cell();
    const int x = 5 + 3 + editor_caret_text_index() * cell.cx;
    const int y = 5 + (memory_editor.caret_row - 1) * cell.cy + (cell.cy - 9) / 2;
    SetCaretPos(x, y);
}

void refresh_editor()
{
    if (!editor_window) return;
    draw_pane(GetDlgItem(editor_window, memory_pane_id), editor_text_rows());
    set_memory_scroll(editor_window, IDC_MEMORY_SCROLL, memory_editor.view_start, memory_editor.edit_rom);
    if (GetFocus() == editor_window) place_caret();
}

bool editor_keydown(WPARAM key)
{
    static const struct {
        WPARAM virtual_key;
        EditorKey key;
    } moves[] = {{VK_PRIOR, key_page_up}, {VK_NEXT, key_page_down}, {VK_HOME, key_home}, {VK_END, key_end},
                 {VK_LEFT, key_left},     {VK_RIGHT, key_right},    {VK_UP, key_up},     {VK_DOWN, key_down}};
    for (const auto& move : moves)
        if (move.virtual_key == key) {
            editor_key(move.key);
            return true;
        }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) key = '0' + (key - VK_NUMPAD0);
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'F')) {
        editor_digit(char(key));
        return true;
    }
    return false;
}

INT_PTR CALLBACK editor_proc(HWND window, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        editor_window = window;
        restore_placement(window, placement_edit_memory);
        create_memory_pane(window, IDC_MEMORY_SCROLL);
        refresh_editor();
        return FALSE;
    // The window itself takes the keys: no control of it ever has the focus.
    case WM_ACTIVATE:
        if (LOWORD(wparam) != WA_INACTIVE) SetFocus(window);
        return TRUE;
    case WM_SETFOCUS:
        CreateCaret(window, nullptr, 6, 9);
        place_caret();
        ShowCaret(window);
        return TRUE;
    case WM_KILLFOCUS: DestroyCaret(); return TRUE;
    case WM_GETDLGCODE:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, DLGC_WANTALLKEYS);
        return TRUE;
    case WM_KEYDOWN:
        if (editor_keydown(wparam)) {
            refresh_editor();
            refresh_debug_windows();  // the panes show the byte written
        }
        return TRUE;
    case WM_VSCROLL:
        editor_scroll(uint32_t(scroll_target(wparam, int(memory_editor.view_start), 16, 512)));
        refresh_editor();
        SetFocus(window);
        return TRUE;
    default: {
        INT_PTR result;
        return tool_window_message(window, msg, wparam, editor_window, &placement_edit_memory, result) ? result : FALSE;
    }
    }
}

// ---- the dialogs of the Edit menu ----

FindMode find_mode = find_word;

INT_PTR CALLBACK find_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: CheckRadioButton(dialog, IDC_FIND_16BIT, IDC_FIND_STRING, IDC_FIND_16BIT + find_mode - 1); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_FIND_16BIT:
        case IDC_FIND_BYTES:
        case IDC_FIND_STRING: find_mode = FindMode(LOWORD(wparam) - IDC_FIND_16BIT + 1); break;
        case IDC_FIND:
        case IDOK:  // Enter: the default button
        case IDC_FIND_NEXT: {
            // A match moves the code pane to it; none is reported.
            find_memory(field_text(dialog, IDC_FIND_TEXT).c_str(), find_mode, LOWORD(wparam) == IDC_FIND_NEXT);
            refresh_debug_windows();
            break;
        }
        case IDCANCEL: EndDialog(dialog, 0); break;
        default: break;
        }
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK copy_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM)
{
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg != WM_COMMAND) return FALSE;
    // Out of range: nothing is copied and the dialog stays.
    return answer_ok_cancel(dialog, wparam, [dialog] {
        return copy_memory_block(field_number(dialog, IDC_COPY_SOURCE), field_number(dialog, IDC_COPY_DESTINATION),
                                 field_number(dialog, IDC_COPY_LENGTH));
    });
}

INT_PTR CALLBACK fill_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_FILL_DATA, EM_LIMITTEXT, 255, 0);
        CheckRadioButton(dialog, IDC_FILL_8BIT, IDC_FILL_TEXT, IDC_FILL_8BIT);
        return TRUE;
    case WM_COMMAND:
        return answer_ok_cancel(dialog, wparam, [dialog] {
            FillMode mode = fill_byte;
            if (IsDlgButtonChecked(dialog, IDC_FILL_16BIT) == BST_CHECKED) mode = fill_word;
            if (IsDlgButtonChecked(dialog, IDC_FILL_TEXT) == BST_CHECKED) mode = fill_text;
            fill_memory_block(field_number(dialog, IDC_FILL_START), field_number(dialog, IDC_FILL_LENGTH),
                              field_text(dialog, IDC_FILL_DATA).c_str(), mode);
            return true;  // closes whether or not the range was taken
        });
    default: return FALSE;
    }
}

// PUSH and POP share the pair list and the choice; lparam is the combo box's id.
INT_PTR CALLBACK stack_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        for (const char* name : register_pair_names)
            SendDlgItemMessageA(dialog, int(lparam), CB_ADDSTRING, 0, LPARAM(name));
        SendDlgItemMessageA(dialog, int(lparam), CB_SETCURSEL, push_pop_selection, 0);
        return TRUE;
    case WM_COMMAND:
        return answer_ok_cancel(dialog, wparam, [dialog] {
            const int id = int(GetWindowLongPtrA(dialog, DWLP_USER));
            const int choice = int(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
            if (id == IDC_POP_PAIR) {
                if (choice >= 0) pop_value(push_pop_selection = choice);
            } else {
                // The text names a pair (as a choice from the list does) or is a number.
                if (choice >= 0) push_pop_selection = choice;
                push_value(push_pop_selection, field_text(dialog, id).c_str());
            }
            return true;
        });
    default: return FALSE;
    }
}

INT_PTR CALLBACK stack_pointer_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM)
{
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg != WM_COMMAND) return FALSE;
    return answer_ok_cancel(dialog, wparam, [dialog] {
        alter_stack_pointer(field_text(dialog, IDC_NEW_SP).c_str());
        return true;
    });
}

}  // namespace

void open_view_memory()
{
    open_modeless(view_window, DEBUG_VIEWMEMORY, nullptr, view_proc);
    draw_frame();
}

void open_memory_editor(HWND owner, bool edit_rom)
{
    if (editor_window && memory_editor.edit_rom != edit_rom) DestroyWindow(editor_window);
    if (!editor_window) editor_open(edit_rom);
    open_modeless(editor_window, WREN_MEMORY, owner, editor_proc);
    if (editor_window) SetWindowTextA(editor_window, edit_rom ? "Edit ROM" : "Edit Memory");
}

void refresh_memory_windows()
{
    refresh_editor();
    if (view_window) refresh_view();
}

void memory_tool(HWND owner, int command)
{
    switch (command) {
    case IDM_DBG_FIND: DialogBoxParamA(app_instance, DEBUG_FIND, owner, find_proc, 0); break;
    case IDM_DBG_COPY_MEMORY: DialogBoxParamA(app_instance, DEBUG_COPYMEMORY, owner, copy_proc, 0); break;
    case IDM_DBG_FILL_MEMORY: DialogBoxParamA(app_instance, DEBUG_FILLMEMORY, owner, fill_proc, 0); break;
    case IDM_DBG_PUSH_VALUE: DialogBoxParamA(app_instance, DEBUG_PUSH_STK, owner, stack_proc, IDC_PUSH_PAIR); break;
    case IDM_DBG_POP_VALUE: DialogBoxParamA(app_instance, DEBUG_POP_STK, owner, stack_proc, IDC_POP_PAIR); break;
    case IDM_DBG_ALTER_SP: DialogBoxParamA(app_instance, WREN_STKPOINTER, owner, stack_pointer_proc, 0); break;
    default: break;
    }
    take_snapshot();  // the tools write the memory itself
}
