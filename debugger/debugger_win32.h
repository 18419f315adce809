// The debugger's windows: what their files share, and what the main window opens.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "shell/shell_win32.h"
#include "video/output_win32.h"

// ---- opened from the main window ----
// Runs the debugger window modally (centred on PC after a breakpoint hit); returns
// when it closes. Over the main window (disabled meanwhile) when `over_main`.
void open_debugger(bool over_main);
void open_view_registers();
void open_view_memory();
void open_view_disassembly();
void toggle_pc_logging();
void log_one_frame();
// The check marks of PC Logging and PC log One frame, as the log stands now.
void check_pc_log_menu();
// The debugger's modeless windows see their dialog messages; true when one took it.
bool debug_dialog_message(MSG* msg);
// Closes every debugger window (quitting).
void close_debug_windows();

// ---- shared by the debugger's windows ----
// A pane: a child window showing lines in the debugger font, drawn off-screen and
// copied to the screen; its window text holds the same lines for screen readers.
HWND create_pane(HWND parent, int id, int x, int y, int width, int height);
// Draws the lines; `marked` (an index, -1 for none) in white on blue, lines whose
// address is `highlight` on yellow. `current` marks the text's line with ">" (-2: no marks).
void draw_pane(HWND pane, const std::vector<std::string>& lines, int marked = -1, long highlight = -1,
               int current = -2);
// The register pane: each register at the left, the bytes or flags beside it.
void draw_register_pane(HWND pane);
// The pixel size of a character cell of the debugger font.
SIZE pane_cell();
// Sizes the window so that its client area is width x height.
void fit_client(HWND window, int width, int height);
HWND create_scroll_bar(HWND parent, int id, int x, int y, int width, int height);
void set_scroll(HWND bar, int low, int high, int page, int position);
// The position a scroll message asks for, from the current one and the steps.
int scroll_target(WPARAM request, int position, int line, int page);

// Report lists: the columns (name and width in pixels), and a row added at the end.
struct ListColumn {
    const char* name;
    int width;
};
void set_list_columns(HWND list, std::initializer_list<ListColumn> columns);
void add_list_row(HWND list, std::initializer_list<const char*> cells);

// Windows that keep their place in the configuration: restore on opening, and keep
// it as the window moves.
void restore_placement(HWND window, const WindowPlacement& placement);
void keep_placement(HWND window, WindowPlacement& placement);

// The save-file dialog (no filter); false when cancelled. The emulation is paused
// while it is open.
bool ask_save_file(HWND owner, std::string& path);
// A modeless window opened once: a second command brings it forward.
void open_modeless(HWND& window, const char* template_name, HWND owner, DLGPROC proc);
void forget_modeless(HWND window);
// What the modeless tool windows answer alike: a move keeps their place (unless
// `placement` is null), Cancel and the close box destroy them, and once destroyed they
// are forgotten and `handle` cleared. True, with the dialog procedure's answer in
// `result`, for those messages.
bool tool_window_message(HWND window, UINT msg, WPARAM wparam, HWND& handle, WindowPlacement* placement,
                         INT_PTR& result);

// The text of a dialog's field (up to 255 characters), and the number it holds.
std::string field_text(HWND dialog, int id);
uint32_t field_number(HWND dialog, int id);
// The OK and Cancel buttons of a modal dialog: OK ends it with IDOK when accept()
// agrees (a dialog whose entry is refused stays open), Cancel ends it with IDCANCEL.
template <class Accept>
INT_PTR answer_ok_cancel(HWND dialog, WPARAM wparam, Accept accept)
{
    if (LOWORD(wparam) == IDOK && accept()) EndDialog(dialog, IDOK);
    else if (LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

// After any debugger command: repaint the debugger's panes and tabs, the register
// and disassembly views, and present the picture.
void refresh_debug_windows();

// Breakpoints and the run-until questions.
void open_breakpoints(HWND owner);
void refresh_breakpoints();  // the list, with its hit counts
void ask_run_until_tstate(HWND owner);
void ask_run_until_port(HWND owner, bool write);
// Memory views and tools.
void open_memory_editor(HWND owner, bool edit_rom);
void refresh_memory_windows();
void memory_tool(HWND owner, int command);
// System variables and Disassemble To File.
void open_system_variables(HWND owner);
void open_disassemble_to_file(HWND owner);
