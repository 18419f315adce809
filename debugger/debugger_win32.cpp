// The debugger window "Wren81 Debugger", the "View Registers" and "Disassembly"
// windows, and the panes, scroll bars and places they share. They draw the texts of
// debugger_text.h and call the debugger's commands; the stepping is the core's.
#include "debugger/debugger_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "debugger/debugger.h"
#include "debugger/debugger_text.h"
#include "debugger/debugger_windows.h"
#include "debugger/memory_tools.h"

namespace {

// ---- panes ----

const char pane_class[] = "Wren81Pane";
const COLORREF pane_paper = RGB(255, 255, 255), pane_ink = RGB(0, 0, 0);
const COLORREF marked_paper = RGB(0, 0, 255), marked_ink = RGB(255, 255, 255);
const COLORREF highlight_paper = RGB(255, 255, 128);

LRESULT CALLBACK pane_proc(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_ERASEBKGND: return 1;  // the picture covers it all
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(pane, &ps);
        const HDC source = CreateCompatibleDC(dc);
        const HGDIOBJ old = SelectObject(source, HBITMAP(GetWindowLongPtrA(pane, GWLP_USERDATA)));
        RECT r;
        GetClientRect(pane, &r);
        BitBlt(dc, 0, 0, r.right, r.bottom, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        EndPaint(pane, &ps);
        return 0;
    }
    case WM_DESTROY: DeleteObject(HBITMAP(GetWindowLongPtrA(pane, GWLP_USERDATA))); break;
    default: break;
    }
    return DefWindowProcA(pane, msg, wparam, lparam);
}

void register_pane_class()
{
    static bool registered;
    if (registered) return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = pane_proc;
    wc.hInstance = app_instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = pane_class;
    registered = RegisterClassA(&wc) != 0;
}

// ---- the modeless windows of the debugger, which take their dialog messages ----

HWND modeless[8];

// ---- the debugger window ----

// Client-area layout in pixels; each pane sits 5 pixels in from its place.
constexpr int register_pane_id = 1201, memory_pane_id = 1202, code_pane_id = 1203;
constexpr int memory_scroll_id = 1204, code_scroll_id = 1205;
constexpr int code_lines = 30, code_page = 27;

HWND debugger_window, tab_pages[3];
HWND registers_window, disassembly_window;

HWND item(HWND window, int id) { return GetDlgItem(window, id); }

void fill_stack_tab()
{
    const HWND list = item(tab_pages[0], IDC_STACK_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (const auto& [address, contents] : stack_rows()) add_list_row(list, {address.c_str(), contents.c_str()});
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void fill_text_tab(HWND page, int first_id, const std::vector<std::string>& rows)
{
    for (size_t i = 0; i < rows.size(); ++i) SetDlgItemTextA(page, first_id + int(i), rows[i].c_str());
}

void show_tab(int tab)
{
    selected_tab = tab;
    for (int i = 0; i < 3; ++i) ShowWindow(tab_pages[i], i == tab ? SW_SHOW : SW_HIDE);
}

void refresh_debugger()
{
    const HWND w = debugger_window;
    draw_register_pane(item(w, register_pane_id));
    draw_pane(item(w, memory_pane_id), memory_pane_rows(memory_pane_start));
    int current = -1;
    const std::vector<std::string> code = code_pane_lines(current);
    draw_pane(item(w, code_pane_id), code, current, highlight_address, current);
    const int lines = debug_listing ? debug_listing->line_count : 1;
    set_scroll(item(w, code_scroll_id), 1, std::max(1, lines - 26) + code_page - 1, code_page, code_top_line);
    const int top = int(std::max<uint32_t>(0x2000, memory_top() - 128));
    set_scroll(item(w, memory_scroll_id), 0x2000, top + 255, 256, int(memory_pane_start));
    fill_stack_tab();
    fill_text_tab(tab_pages[1], IDC_INFO_MACHINE, info_rows());
    fill_text_tab(tab_pages[2], IDC_PORT_NMI, internal_rows());
}

void create_tabs(HWND window)
{
    const HWND tabs = item(window, IDC_DEBUG_TABS);
    const char* names[3] = {"Stack", "Info", "Internal"};
    const char* templates[3] = {DEBUG_STACK_INFO, DEBUG_HARDWARE_INFO, DEBUG_PORT_INFO};
    RECT r;
    GetWindowRect(tabs, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    for (int i = 0; i < 3; ++i) {
        TCITEMA tab = {};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<char*>(names[i]);
        TabCtrl_InsertItem(tabs, i, &tab);
    }
    TabCtrl_AdjustRect(tabs, FALSE, &r);
    for (int i = 0; i < 3; ++i) {
        tab_pages[i] = CreateDialogParamA(app_instance, templates[i], window, nullptr, 0);
        SetWindowPos(tab_pages[i], HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
    }
    set_list_columns(item(tab_pages[0], IDC_STACK_LIST), {{"Address", 75}, {"Contents", 75}});
    TabCtrl_SetCurSel(tabs, 0);
    show_tab(0);
}

// 282 pixels, or the 42 characters of its longest line in a wider font.
int register_pane_width() { return std::max(282, 6 + 42 * int(pane_cell().cx)); }

// The panes at their places: register pane 282 x 191 with the memory pane below it
// and the code pane beside them, each wider or taller where the font's cells need
// it; the tabs follow on the right and the window fits around them all.
void lay_out_debugger(HWND window)
{
    const SIZE cell = pane_cell();
    const int memory_width = std::max(250, 6 + 40 * int(cell.cx));
    const int left = std::max(register_pane_width(), memory_width + 25);
    const int register_height = std::max(191, 14 * int(cell.cy) + 8);
    const int memory_height = std::max(256, 16 * int(cell.cy) + 8);
    const int code_width = std::max(217, 6 + 35 * int(cell.cx));
    const int code_height = std::max(404, code_lines * int(cell.cy) + 8);
    const int memory_top_y = 5 + register_height;
    create_pane(window, register_pane_id, 5, 5, left, register_height);
    create_pane(window, memory_pane_id, 5, memory_top_y, memory_width, memory_height);
    create_scroll_bar(window, memory_scroll_id, 7 + memory_width, memory_top_y + 4, 18, memory_height - 58);
    create_pane(window, code_pane_id, 5 + left, 5, code_width, code_height);
    create_scroll_bar(window, code_scroll_id, 5 + left + code_width, 9, 18, code_height - 16);

    const HWND tabs = item(window, IDC_DEBUG_TABS);
    RECT r;
    GetWindowRect(tabs, &r);
    const int tabs_left = 5 + left + code_width + 18 + 12;
    SetWindowPos(tabs, nullptr, tabs_left, 6, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
    fit_client(window, tabs_left + (r.right - r.left) + 6,
               std::max({memory_top_y + memory_height + 5, code_height + 10, int(r.bottom - r.top) + 12}));
}

void close_debugger()
{
    if (!debugger_window) return;
    const HWND w = debugger_window;
    debugger_close_window();
    debugger_window = nullptr;  // ends the modal loop
    DestroyWindow(w);
}

// A command of the menu (or its key); every one ends with the windows repainted.
void debugger_command(HWND window, int id)
{
    switch (id) {
    case IDM_DBG_DISASSEMBLE_TO_FILE: open_disassemble_to_file(window); return;
    case IDM_DBG_BREAKPOINTS: open_breakpoints(window); return;
    case IDM_DBG_SYSTEM_VARIABLES: open_system_variables(window); return;
    case IDM_DBG_RESTORE_ROM: restore_rom(); break;
    case IDM_DBG_QUIT: close_debugger(); return;
    case IDM_DBG_SINGLE_STEP: single_step(); break;
    case IDM_DBG_STEP_OVER: step_over(); break;
    case IDM_DBG_STEP_OUT: step_out(); break;
    case IDM_DBG_START_OF_FRAME: run_to_start_of_frame(); break;
    case IDM_DBG_END_OF_FRAME: run_to_end_of_frame(); break;
    case IDM_DBG_INTERRUPT: run_until_interrupt(); break;
    case IDM_DBG_SPECIFIED_TSTATE: ask_run_until_tstate(window); break;
    case IDM_DBG_PORT_READ:
    case IDM_DBG_PORT_WRITE: ask_run_until_port(window, id == IDM_DBG_PORT_WRITE); break;
    case IDM_DBG_UNTIL_DI:
    case IDM_DBG_UNTIL_EI:
    case IDM_DBG_UNTIL_HALT:
    case IDM_DBG_UNTIL_IM1:
    case IDM_DBG_UNTIL_IM2:
    case IDM_DBG_UNTIL_LD_A_R:
    case IDM_DBG_UNTIL_LD_R_A:
        arm_opcode(ArmedOpcode(id - IDM_DBG_UNTIL_DI));
        InvalidateRect(window, nullptr, FALSE);  // the repaints run the frames
        break;
    case IDM_DBG_EDIT_MEMORY: open_memory_editor(window, false); return;
    case IDM_DBG_EDIT_ROM: open_memory_editor(window, true); return;
    case IDM_DBG_FIND:
    case IDM_DBG_COPY_MEMORY:
    case IDM_DBG_FILL_MEMORY:
    case IDM_DBG_PUSH_VALUE:
    case IDM_DBG_POP_VALUE:
    case IDM_DBG_ALTER_SP: memory_tool(window, id); break;
    default: return;
    }
    refresh_debug_windows();
    refresh_memory_windows();
}

// The keys of the debugger window, whichever of its controls has the focus.
bool debugger_key(WPARAM key)
{
    switch (key) {
    case VK_F9: debugger_command(debugger_window, IDM_DBG_SINGLE_STEP); return true;
    case VK_F11: debugger_command(debugger_window, IDM_DBG_STEP_OVER); return true;
    case VK_F7: debugger_command(debugger_window, IDM_DBG_STEP_OUT); return true;
    case VK_F8: debugger_command(debugger_window, IDM_DBG_END_OF_FRAME); return true;
    case VK_F12: close_debugger(); return true;
    case VK_ESCAPE: return true;  // stops a run, polled by the run itself
    default: return false;
    }
}

void scroll_pane(HWND window, HWND bar, WPARAM request)
{
    if (bar == item(window, code_scroll_id))
        scroll_code_pane(scroll_target(request, code_top_line, 1, code_page));
    else
        scroll_memory_pane(uint32_t(scroll_target(request, int(memory_pane_start), 8, 256)));
    refresh_debugger();
}

INT_PTR CALLBACK debugger_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        debugger_window = window;
        restore_placement(window, placement_debugger);
        lay_out_debugger(window);
        create_tabs(window);
        refresh_debugger();
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        if (run_flag) {
            if (!run_one_frame()) run_flag = false;
            refresh_debug_windows();
            if (run_flag) InvalidateRect(window, nullptr, FALSE);
        }
        return TRUE;
    }
    case WM_VSCROLL: scroll_pane(window, HWND(lparam), wparam); return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lparam)->idFrom == IDC_DEBUG_TABS &&
            reinterpret_cast<NMHDR*>(lparam)->code == TCN_SELCHANGE)
            show_tab(TabCtrl_GetCurSel(item(window, IDC_DEBUG_TABS)));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) != IDCANCEL) debugger_command(window, LOWORD(wparam));  // Esc is the runs' stop
        return TRUE;
    case WM_MOVE: keep_placement(window, placement_debugger); return FALSE;  // kept if the program quits
    case WM_CLOSE: close_debugger(); return TRUE;
    default: return FALSE;
    }
}

// ---- View Registers ----

bool registers_key(WPARAM key);

void close_registers()
{
    if (!registers_window) return;
    const HWND w = registers_window;
    registers_window = nullptr;
    DestroyWindow(w);
}

void registers_command(HWND window, int id)
{
    switch (id) {
    case IDM_REG_SINGLE_STEP: single_step(); break;
    case IDM_REG_STEP_OVER: step_over(); break;
    case IDM_REG_STEP_OUT: step_out(); break;
    case IDM_REG_END_OF_FRAME: run_to_end_of_frame(); break;
    case IDM_REG_TSTATE: ask_run_until_tstate(window); break;
    case IDM_REG_SYSTEM_VARIABLES: open_system_variables(window); return;
    default: return;
    }
    refresh_debug_windows();
}

bool registers_key(WPARAM key)
{
    switch (key) {
    case VK_F9: registers_command(registers_window, IDM_REG_SINGLE_STEP); return true;
    case VK_F11: registers_command(registers_window, IDM_REG_STEP_OVER); return true;
    case VK_F8: registers_command(registers_window, IDM_REG_END_OF_FRAME); return true;
    case VK_F7: registers_command(registers_window, IDM_REG_TSTATE); return true;
    default: return false;
    }
}

INT_PTR CALLBACK registers_proc(HWND window, UINT msg, WPARAM wparam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        registers_window = window;
        restore_placement(window, placement_view_registers);
        create_pane(window, register_pane_id, 5, 5, register_pane_width(), 191);
        fit_client(window, register_pane_width() + 10, 201);
        refresh_debug_windows();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) != IDCANCEL) registers_command(window, LOWORD(wparam));
        return TRUE;
    case WM_MOVE: keep_placement(window, placement_view_registers); return FALSE;
    case WM_CLOSE: close_registers(); return TRUE;
    default: return FALSE;
    }
}

// ---- View Disassembly ----

constexpr int disassembly_pane_id = 1206;

// The 262 x 525 pane (wider for a wide font) with the scroll bar beside it.
void lay_out_disassembly(HWND window)
{
    const SIZE cell = pane_cell();
    const int width = std::max(262, 6 + 44 * int(cell.cx));
    const int height = std::max(525, disassembly_view_lines * int(cell.cy) + 8);
    create_pane(window, disassembly_pane_id, 5, 5, width, height);
    SetWindowPos(item(window, IDC_DISASM_SCROLL), nullptr, 8 + width, 5, 18, height, SWP_NOZORDER);
    fit_client(window, width + 31, height + 10);
}

void refresh_disassembly()
{
    draw_pane(item(disassembly_window, disassembly_pane_id), disassembly_view_lines_text());
    const int lines = disassembly_view_listing ? disassembly_view_listing->line_count : 1;
    set_scroll(item(disassembly_window, IDC_DISASM_SCROLL), 1,
               std::max(1, lines - disassembly_view_lines) + disassembly_view_page - 1, disassembly_view_page,
               disassembly_view_top);
}

INT_PTR CALLBACK disassembly_proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_INITDIALOG:
        disassembly_window = window;
        restore_placement(window, placement_view_disassembly);
        disassembly_view_open();
        lay_out_disassembly(window);
        refresh_disassembly();
        return TRUE;
    case WM_VSCROLL:
        if (GetDlgCtrlID(HWND(lparam)) == IDC_DISASM_SCROLL) {
            disassembly_view_scroll(scroll_target(wparam, disassembly_view_top, 1, disassembly_view_page));
            refresh_disassembly();
        }
        return TRUE;
    case WM_MOVE: keep_placement(window, placement_view_disassembly); return FALSE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) SendMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return TRUE;
    case WM_DESTROY:
        disassembly_view_close();
        forget_modeless(window);
        disassembly_window = nullptr;
        return TRUE;
    default: return FALSE;
    }
}

// Runs a window modally with a loop of its own, so that its keys reach it whichever
// control has the focus; the loop ends when `window` is cleared.
void run_modal(HWND& window, bool (*keys)(WPARAM))
{
    MSG msg;
    for (;;) {
        if (!window) return;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(got == 0 ? int(msg.wParam) : 1);  // for the main loop to see
            return;
        }
        const bool ours = msg.hwnd == window || IsChild(window, msg.hwnd);
        if (msg.message == WM_KEYDOWN && ours && keys(msg.wParam)) continue;
        if ((ours && IsDialogMessageA(window, &msg)) || debug_dialog_message(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

// ---- shared pieces ----

SIZE pane_cell()
{
    static SIZE cell;
    if (cell.cy) return cell;
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font_fixed);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    cell = {tm.tmAveCharWidth, tm.tmHeight + tm.tmExternalLeading};
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return cell;
}

HWND create_pane(HWND parent, int id, int x, int y, int width, int height)
{
    register_pane_class();
    const HWND pane = CreateWindowExA(0, pane_class, "", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                      reinterpret_cast<HMENU>(INT_PTR(id)), app_instance, nullptr);
    const HDC dc = GetDC(pane);
    SetWindowLongPtrA(pane, GWLP_USERDATA, LONG_PTR(CreateCompatibleBitmap(dc, width, height)));
    ReleaseDC(pane, dc);
    return pane;
}

namespace {

// Draws into the pane's picture: white paper, then each row as the painter puts it.
template <typename Painter>
void paint_pane(HWND pane, Painter paint_rows)
{
    RECT r;
    GetClientRect(pane, &r);
    const HDC screen = GetDC(pane);
    const HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old_bitmap = SelectObject(dc, HBITMAP(GetWindowLongPtrA(pane, GWLP_USERDATA)));
    const HGDIOBJ old_font = SelectObject(dc, font_fixed);
    const HBRUSH paper = CreateSolidBrush(pane_paper);
    FillRect(dc, &r, paper);
    DeleteObject(paper);
    SetBkColor(dc, pane_paper);
    SetTextColor(dc, pane_ink);
    paint_rows(dc, r.right, pane_cell().cy);
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    DeleteDC(dc);
    ReleaseDC(pane, screen);
    InvalidateRect(pane, nullptr, FALSE);
}

void text_at(HDC dc, int x, int y, const std::string& text) { TextOutA(dc, x, y, text.c_str(), int(text.size())); }

}  // namespace

void draw_pane(HWND pane, const std::vector<std::string>& lines, int marked, long highlight, int current)
{
    if (!pane) return;
    paint_pane(pane, [&](HDC dc, int width, int height) {
        for (size_t i = 0; i < lines.size(); ++i) {
            const bool is_marked = int(i) == marked;
            const bool is_highlight = !is_marked && highlight >= 0 && line_address(lines[i]) == highlight;
            const RECT row = {0, int(i) * height, width, int(i + 1) * height};
            SetBkColor(dc, is_marked ? marked_paper : is_highlight ? highlight_paper : pane_paper);
            SetTextColor(dc, is_marked ? marked_ink : pane_ink);
            ExtTextOutA(dc, 3, row.top, ETO_OPAQUE, &row, lines[i].c_str(), UINT(lines[i].size()), nullptr);
        }
    });
    SetWindowTextA(pane, pane_text(lines, current).c_str());
}

void draw_register_pane(HWND pane)
{
    if (!pane) return;
    paint_pane(pane, [](HDC dc, int, int height) {
        int y = 0;
        for (const RegisterPaneLine& line : register_pane_parts(debug_snapshot)) {
            text_at(dc, register_pane_left_x, y, line.left);
            // At its pixel column, or further right where the font's cells are wider.
            text_at(dc, std::max(line.beside_x, 3 + line.beside_column * int(pane_cell().cx)), y, line.beside);
            y += height;
        }
    });
    SetWindowTextA(pane, pane_text(register_pane_lines()).c_str());
}

void fit_client(HWND window, int width, int height)
{
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, DWORD(GetWindowLongPtrA(window, GWL_STYLE)), GetMenu(window) != nullptr,
                       DWORD(GetWindowLongPtrA(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
}

HWND create_scroll_bar(HWND parent, int id, int x, int y, int width, int height)
{
    return CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(INT_PTR(id)), app_instance, nullptr);
}

void set_scroll(HWND bar, int low, int high, int page, int position)
{
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, low, high, UINT(page), position, 0};
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

int scroll_target(WPARAM request, int position, int line, int page)
{
    switch (LOWORD(request)) {
    case SB_LINEUP: return position - line;
    case SB_LINEDOWN: return position + line;
    case SB_PAGEUP: return position - page;
    case SB_PAGEDOWN: return position + page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return HIWORD(request);
    default: return position;
    }
}

void set_list_columns(HWND list, std::initializer_list<ListColumn> columns)
{
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    int i = 0;
    for (const ListColumn& c : columns) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = c.width;
        column.pszText = const_cast<char*>(c.name);
        ListView_InsertColumn(list, i++, &column);
    }
}

void add_list_row(HWND list, std::initializer_list<const char*> cells)
{
    LVITEMA entry = {};
    entry.mask = LVIF_TEXT;
    entry.iItem = ListView_GetItemCount(list);
    entry.pszText = const_cast<char*>(*cells.begin());
    const int row = ListView_InsertItem(list, &entry);
    int column = 0;
    for (const char* cell : cells)
        if (column++) ListView_SetItemText(list, row, column - 1, const_cast<char*>(cell));
}

void restore_placement(HWND window, const WindowPlacement& placement)
{
    POINT corner = {placement.left, placement.top};
    if (!MonitorFromPoint(corner, MONITOR_DEFAULTTONULL)) corner = {200, 200};
    SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void keep_placement(HWND window, WindowPlacement& placement)
{
    WINDOWPLACEMENT p{};
    p.length = sizeof p;
    if (!IsWindowVisible(window) || IsIconic(window) || !GetWindowPlacement(window, &p)) return;
    placement = {p.rcNormalPosition.left, p.rcNormalPosition.top};
}

void open_modeless(HWND& window, const char* template_name, HWND owner, DLGPROC proc)
{
    if (window) {
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
        return;
    }
    window = CreateDialogParamA(app_instance, template_name, owner, proc, 0);
    if (!window) return;
    for (HWND& slot : modeless)
        if (!slot) {
            slot = window;
            break;
        }
    ShowWindow(window, SW_SHOW);
}

void forget_modeless(HWND window)
{
    for (HWND& slot : modeless)
        if (slot == window) slot = nullptr;
}

std::string field_text(HWND dialog, int id)
{
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

uint32_t field_number(HWND dialog, int id) { return parse_number_field(field_text(dialog, id).c_str()); }

bool tool_window_message(HWND window, UINT msg, WPARAM wparam, HWND& handle, WindowPlacement* placement,
                         INT_PTR& result)
{
    result = TRUE;
    switch (msg) {
    case WM_MOVE:
        if (placement) keep_placement(window, *placement);
        result = FALSE;
        return true;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) DestroyWindow(window);
        return true;
    case WM_CLOSE: DestroyWindow(window); return true;
    case WM_DESTROY:
        forget_modeless(window);
        handle = nullptr;
        return true;
    default: return false;
    }
}

bool debug_dialog_message(MSG* msg)
{
    for (HWND window : modeless)
        if (window && IsDialogMessageA(window, msg)) return true;
    return false;
}

void refresh_debug_windows()
{
    if (debugger_window) refresh_debugger();
    if (registers_window) draw_register_pane(item(registers_window, register_pane_id));
    if (disassembly_window) refresh_disassembly();
    refresh_breakpoints();
    draw_frame();
}

// ---- opened from the main window ----

void open_debugger(bool over_main)
{
    if (debugger_window) return;
    debugger_open_window();
    if (over_main) EnableWindow(main_window, FALSE);
    if (CreateDialogParamA(app_instance, WREN_DEBUGGER, over_main ? main_window : nullptr, debugger_proc, 0)) {
        ShowWindow(debugger_window, SW_SHOW);
        SetForegroundWindow(debugger_window);
        run_modal(debugger_window, debugger_key);
    } else {
        debugger_close_window();
    }
    if (over_main) {
        EnableWindow(main_window, TRUE);
        SetForegroundWindow(main_window);
    }
    draw_frame();
}

void open_view_registers()
{
    if (registers_window) return;
    take_snapshot();
    if (!CreateDialogParamA(app_instance, DEBUG_VIEWREGS, nullptr, registers_proc, 0)) return;
    ShowWindow(registers_window, SW_SHOW);
    SetForegroundWindow(registers_window);
    run_modal(registers_window, registers_key);
    draw_frame();
}

void open_view_disassembly()
{
    open_modeless(disassembly_window, DEBUG_DISASM, nullptr, disassembly_proc);
    draw_frame();
}

void close_debug_windows()
{
    close_debugger();
    close_registers();
    for (HWND window : modeless)
        if (window) DestroyWindow(window);
}
