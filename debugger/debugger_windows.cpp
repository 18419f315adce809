#include "debugger/debugger_windows.h"

#include <algorithm>
#include <cstdlib>

#include "debugger/debugger.h"
#include "debugger/memory_tools.h"

Listing* disassembly_view_listing;
int disassembly_view_top = 1;
uint32_t memory_view_start = 0x2000;

void disassembly_view_open()
{
    take_snapshot();
    free_listing(disassembly_view_listing);
    disassembly_view_listing = build_listing(debug_snapshot, memory_top(), disasm_hex);
    disassembly_view_top = 1;
}

void disassembly_view_close()
{
    free_listing(disassembly_view_listing);
    disassembly_view_listing = nullptr;
}

void disassembly_view_scroll(int top_line)
{
    const int count = disassembly_view_listing ? disassembly_view_listing->line_count : 0;
    disassembly_view_top = std::max(1, std::min(top_line, count - disassembly_view_lines));
}

std::vector<std::string> disassembly_view_lines_text()
{
    std::vector<std::string> lines(disassembly_view_lines);
    if (!disassembly_view_listing) return lines;
    const ListingLine* line = disassembly_view_listing->first;
    while (line && line->line_number < disassembly_view_top) line = line->next;
    for (int i = 0; line && i < disassembly_view_lines; ++i, line = line->next) lines[i] = line->text;
    return lines;
}

void memory_view_open()
{
    take_snapshot();
    memory_view_start = 0x2000;
}

void memory_view_scroll(uint32_t start) { memory_view_start = clamp_view_start(start, false); }

long line_address(const std::string& line)
{
    if (line.size() < 4) return -1;
    char digits[5] = {line[0], line[1], line[2], line[3], 0};
    char* end = nullptr;
    const long value = std::strtol(digits, &end, 16);
    return *end ? -1 : value;
}

std::string pane_text(const std::vector<std::string>& lines, int current)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (current != -2) text += int(i) == current ? ">" : " ";
        text += lines[i];
        if (i + 1 < lines.size()) text += "\r\n";
    }
    return text;
}
