// Every text the debugger's windows show, made here so the windows only draw them
// and the command line can print them. The panes read memory from a flat 64 KiB
// image: the debugger's snapshot (debug_snapshot), never the live address space, so
// that drawing them never disturbs the machine (a read can switch a hi-res card).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/machine_state.h"
#include "debugger/debugger.h"
#include "machine/memory.h"

// ---- register pane ----
// Where the pane's texts start, in pixels of the pane and in character cells of the
// fixed-pitch debugger font (about 7 pixels a cell): the register at x = 3, the
// bytes beside it at x = 60, the flags beside AF and AF' at x = 96.
constexpr int register_pane_left_x = 3;
constexpr int register_bytes_x = 60;
constexpr int register_flags_x = 96;
constexpr int register_bytes_column = 8;
constexpr int register_flags_column = 13;
constexpr int register_pane_line_count = 14;

// One line of the pane in its two pieces, as the window draws them.
struct RegisterPaneLine {
    std::string left;    // drawn at register_pane_left_x; empty on the last line
    std::string beside;  // drawn at beside_x
    int beside_x;        // register_bytes_x or register_flags_x
    int beside_column;   // the same position in character cells
};
std::vector<RegisterPaneLine> register_pane_parts(const uint8_t* image);
// The 14 lines as single strings, the text beside each register padded to its
// column, for printing.
std::vector<std::string> register_pane_lines(const uint8_t* image);
// The flags text of F: "S Z - H - P N C" with "-" for clear flags.
std::string flags_text(uint8_t f);
// " %02X" for each of the 8 bytes from address, two spaces, the 8 bytes as characters.
std::string bytes_beside(const uint8_t* image, uint16_t address);
// A byte as the panes show it as a character: below 32 or above 127 as ".".
inline char pane_char(uint8_t b) { return b < 32 || b > 127 ? '.' : char(b); }

// ---- memory pane, code pane, tabs ----
constexpr int memory_pane_rows_count = 16;
constexpr int code_pane_lines_count = 30;
constexpr int code_pane_width = 35;  // characters of a listing line shown
constexpr int view_memory_rows_count = 32;

// 16 memory-pane rows of 8 bytes from start: "%04X", three spaces, "%02X " per byte,
// a space, the bytes as characters.
std::vector<std::string> memory_pane_rows(const uint8_t* image, uint32_t start);
// The 30 code-pane lines of the listing from top_line (35 characters each, blank past
// the end); current is set to the index of the line whose address is pc, -1 when none
// shows.
std::vector<std::string> code_pane_lines(const Listing* listing, int top_line, uint16_t pc, int& current);
// Stack tab: "%04X" address and "%02X%02X" word (high byte first), every even offset
// from SP up to the memory top; empty when SP is at or above it.
std::vector<std::pair<std::string, std::string>> stack_rows(const uint8_t* image, uint16_t sp, uint32_t top);
// Info tab: the machine, the frame and scanline lengths, the program file's name and
// format as the loader keeps them, and its length (empty while no file is held).
std::vector<std::string> info_rows();
// Internal tab: the display hardware.
std::vector<std::string> internal_rows();
// 32 rows of 16 bytes (View Memory and the editor): "%04X", three spaces, "%02X " per
// byte, two more spaces, the bytes as characters.
std::vector<std::string> view_memory_rows(const uint8_t* image, uint32_t start);
// System Variables: the name, "#" and the address, and "#%02X" for each byte of the
// variable separated by ", ".
struct SysvarRow {
    std::string name, address, value;
};
std::vector<SysvarRow> system_variable_rows(const uint8_t* image);

// ---- from the debugger's snapshot ----
// The panes as the windows show them, read from debug_snapshot (take it first).
inline std::vector<std::string> register_pane_lines() { return register_pane_lines(debug_snapshot); }
inline std::vector<std::string> memory_pane_rows(uint32_t start) { return memory_pane_rows(debug_snapshot, start); }
inline std::vector<std::string> code_pane_lines(int& current)
{
    return code_pane_lines(debug_listing, code_top_line, z80.pc, current);
}
inline std::vector<std::pair<std::string, std::string>> stack_rows()
{
    return stack_rows(debug_snapshot, z80.sp, memory_top());
}
inline std::vector<std::string> view_memory_rows(uint32_t start) { return view_memory_rows(debug_snapshot, start); }
// The system variables are plain RAM: read as they are now.
inline std::vector<SysvarRow> system_variable_rows() { return system_variable_rows(memory); }
