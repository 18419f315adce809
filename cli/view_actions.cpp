#include "cli/view_actions.h"

#include <cstdio>
#include <vector>

#include "cli/zx81_keys.h"
#include "core/machine_state.h"
#include "debugger/debugger.h"
#include "debugger/debugger_text.h"
#include "debugger/listing.h"
#include "debugger/memory_tools.h"
#include "files/config.h"

namespace {

int bad_input(const std::string& what)
{
    std::fprintf(stderr, "wren81-cli: %s\n", what.c_str());
    return 2;
}

bool parse_value(const std::string& text, long limit, long& value)
{
    return parse_address_text(text.c_str(), value) && value >= 0 && value <= limit;
}

void print_trimmed(const std::string& prefix, std::string line)
{
    line.erase(line.find_last_not_of(' ') + 1);
    std::printf("%s%s\n", prefix.c_str(), line.c_str());
}

int show_registers()
{
    take_snapshot();
    for (const std::string& line : register_pane_lines()) print_trimmed("", line);
    return 0;
}

int show_memory(const std::string& arg)
{
    long start = 0;
    if (!parse_value(arg, 0xFFFF, start)) return bad_input("--memory takes an address from 0 to 65535 (#hex, $hex or decimal)");
    take_snapshot();
    for (const std::string& row : memory_pane_rows(uint32_t(start))) print_trimmed("", row);
    return 0;
}

// The code pane located at PC, from a listing of its own when the debugger has none.
int show_code()
{
    take_snapshot();
    const bool own_listing = debug_listing == nullptr;
    if (own_listing)
        debug_listing = build_listing(debug_snapshot, memory_top(), DisasmStyle{16, opt_dis_rom != 0, opt_dis_sv != 0});
    locate_pc();
    int current = -1;
    const std::vector<std::string> lines = code_pane_lines(current);
    for (int i = 0; i < int(lines.size()); ++i) print_trimmed(i == current ? ">" : " ", lines[i]);
    if (own_listing) {
        free_listing(debug_listing);
        debug_listing = nullptr;
        current_line = nullptr;
    }
    return 0;
}

int show_stack()
{
    take_snapshot();
    for (const auto& row : stack_rows()) std::printf("%s\t%s\n", row.first.c_str(), row.second.c_str());
    return 0;
}

int show_system_variables()
{
    for (const SysvarRow& row : system_variable_rows())
        std::printf("%s\t%s\t%s\n", row.name.c_str(), row.address.c_str(), row.value.c_str());
    return 0;
}

// ADDR=BYTE[,BYTE...]: the bytes from ADDR on, as the memory editor with Edit ROM
// writes them (so ROM addresses patch the ROM image for the rest of the run).
int poke(const std::string& arg)
{
    const size_t equals = arg.find('=');
    long address = 0;
    if (equals == std::string::npos || !parse_value(arg.substr(0, equals), 0xFFFF, address))
        return bad_input("--poke takes ADDR=BYTE[,BYTE...] with ADDR from 0 to 65535");
    std::vector<uint8_t> bytes;
    for (size_t start = equals + 1;;) {
        const size_t comma = arg.find(',', start);
        long value = 0;
        if (!parse_value(arg.substr(start, comma - start), 0xFF, value))
            return bad_input("--poke: each byte is a number from 0 to 255, in \"" + arg + "\"");
        bytes.push_back(uint8_t(value));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (address + long(bytes.size()) > 0x10000) return bad_input("--poke: the bytes run past address 65535");
    const bool edit_rom = memory_editor.edit_rom;
    memory_editor.edit_rom = true;
    for (uint8_t b : bytes) editor_write(uint16_t(address++), b);
    memory_editor.edit_rom = edit_rom;
    return 0;
}

// The text as the screen shows it, searched as a string of bytes (a space is code 0).
int find_screen_text(const std::string& arg)
{
    std::vector<uint8_t> codes;
    std::string bad;
    if (arg.empty()) return bad_input("--find-text needs some text");
    if (!zx81_codes(arg, codes, bad)) return bad_input("--find-text: the ZX81 has no character \"" + bad + "\"");
    std::string pattern;
    for (uint8_t c : codes) pattern += (pattern.empty() ? "" : ",") + std::to_string(c);
    const long found = find_memory(pattern.c_str(), find_bytes, false);
    if (found < 0) return 1;  // the error is reported
    std::printf("found: %04lX\n", found);
    return 0;
}

}  // namespace

int view_action_arity(const std::string& name)
{
    if (name == "--regs" || name == "--code" || name == "--stack" || name == "--sysvars") return 0;
    if (name == "--memory" || name == "--poke" || name == "--find-text") return 1;
    return -1;
}

int view_action(const std::string& name, const std::string& arg)
{
    if (name == "--regs") return show_registers();
    if (name == "--memory") return show_memory(arg);
    if (name == "--code") return show_code();
    if (name == "--stack") return show_stack();
    if (name == "--sysvars") return show_system_variables();
    if (name == "--poke") return poke(arg);
    return find_screen_text(arg);
}
