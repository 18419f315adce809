// Every text the debugger's windows show, made here so the windows only draw them
// and the command line can print them.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The 14 register-pane lines, the text beside each register included.
std::vector<std::string> register_pane_lines();
// The flags text of F: "S Z - H - P N C" with "-" for clear flags.
std::string flags_text(uint8_t f);
// 16 memory-pane rows of 8 bytes from start.
std::vector<std::string> memory_pane_rows(uint32_t start);
// The 30 code-pane lines from the top line (35 characters each, blank past the end);
// current is set to the index of the line at PC, -1 when none shows.
std::vector<std::string> code_pane_lines(int& current);
// Stack tab: "%04X" address and "%02X%02X" word, from SP to the memory top.
std::vector<std::pair<std::string, std::string>> stack_rows();
std::vector<std::string> info_rows();
std::vector<std::string> internal_rows();
// 32 rows of 16 bytes (View Memory and the editor).
std::vector<std::string> view_memory_rows(uint32_t start);
// System Variables: name, "#address", value bytes.
struct SysvarRow {
    std::string name, address, value;
};
std::vector<SysvarRow> system_variable_rows();
