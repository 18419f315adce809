// What the debugger's windows keep beside the debugger itself: the disassembly
// window's listing and top line, and the memory view's start. Portable, so the
// windows only draw and forward.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "debugger/listing.h"

// ---- View Disassembly: 40 lines of its own listing ----
constexpr int disassembly_view_lines = 40;
constexpr int disassembly_view_page = 35;
extern Listing* disassembly_view_listing;
extern int disassembly_view_top;  // from 1
// Takes the snapshot and builds the window's hexadecimal listing; top line 1.
void disassembly_view_open();
void disassembly_view_close();
// Clamps to 1 .. listing length - 40.
void disassembly_view_scroll(int top_line);
// The 40 lines from the top line, blank past the end.
std::vector<std::string> disassembly_view_lines_text();

// ---- View Memory: 32 rows of 16 bytes from its start ----
extern uint32_t memory_view_start;
// Takes the snapshot; the view starts at 0x2000.
void memory_view_open();
// Rounds down to 16 and clamps to 0x2000 .. memory top - 512.
void memory_view_scroll(uint32_t start);

// Where a line of the listing (or of a pane) starts: its first four hex digits,
// -1 for a blank line.
long line_address(const std::string& line);

// The lines joined with CR LF, the current one (index, -1 for none) marked with ">"
// at its start and the others with a space: the text a pane window carries for
// screen readers beside its picture.
std::string pane_text(const std::vector<std::string>& lines, int current = -2);

