#include "debugger/memory_tools.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "bus.h"
#include "debugger/debugger.h"
#include "debugger/debugger_text.h"
#include "debugger/listing.h"
#include "shell/errors.h"

uint32_t find_position;
int push_pop_selection;
MemoryEditor memory_editor = {0x2000, 1, 9, 0, false, 0, false};

const char* const register_pair_names[register_pair_count] = {"AF", "BC", "DE", "HL", "IX",
                                                             "IY", "AF'", "BC'", "DE'", "HL'"};

namespace {

constexpr int error_no_match = 0x50;
constexpr uint32_t rom_end = 0x2000;
constexpr uint32_t editor_rows = 32, editor_row_bytes = 16;
constexpr uint32_t editor_page = editor_rows * editor_row_bytes;  // 512
constexpr int first_column = 9, last_column = 54, column_step = 3;

// The tools write the flat memory array directly, with no memory-mapping side
// effects, and keep the snapshot in step so the panes show the change.
void tool_write(uint32_t address, uint8_t value)
{
    memory[address] = value;
    debug_snapshot[address] = page_map_byte(uint16_t(address));
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = char(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Find's numbers: an invalid one can match no byte.
uint32_t find_number(const std::string& text)
{
    long value = 0;
    return parse_address_text(text.c_str(), value) ? uint32_t(value) : 0x10000;
}

// The pattern to search for; a value above 0xFF in it never matches.
std::vector<uint32_t> find_pattern(const char* text, FindMode mode)
{
    std::vector<uint32_t> pattern;
    if (mode == find_word) {
        const uint32_t v = find_number(text);
        if (v > 0xFFFF) return {0x10000};
        return {v & 0xFF, v >> 8};
    }
    if (mode == find_bytes) {
        std::string s = text;
        for (size_t start = 0;;) {
            const size_t comma = s.find(',', start);
            pattern.push_back(find_number(s.substr(start, comma - start)));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        return pattern;
    }
    for (const char* p = text; *p; ++p) pattern.push_back(uint8_t(*p));
    return pattern;
}

bool matches_at(uint32_t address, const std::vector<uint32_t>& pattern)
{
    for (size_t i = 0; i < pattern.size(); ++i)
        if (page_map_byte(uint16_t(address + i)) != pattern[i]) return false;
    return true;
}

// The code pane moves to the first listing line at or after the address.
void show_in_code_pane(uint32_t address)
{
    if (!debug_listing) return;
    for (const ListingLine* line = debug_listing->first; line; line = line->next)
        if (line->address >= address) return scroll_code_pane(line->line_number);
}

uint32_t editor_low() { return memory_editor.edit_rom ? 0 : rom_end; }

void set_caret(int row, int column)
{
    memory_editor.caret_row = row;
    memory_editor.caret_column = column;
    memory_editor.byte_index = uint32_t((row - 1) * editor_row_bytes + (column - first_column) / column_step);
}

}  // namespace

uint8_t page_map_byte(uint16_t address) { return bank[address >> 13][address & 0x1FFF]; }

uint32_t parse_number_field(const char* text)
{
    int base = 10;
    if (*text == '#' || *text == '$') base = 16, ++text;
    uint64_t value = 0;
    for (int d; (d = hex_value(*text)) >= 0 && d < base; ++text)
        value = std::min<uint64_t>(value * base + d, 0xFFFFFFFFu);
    return uint32_t(value);
}

// ---- Find ----

long find_memory(const char* text, FindMode mode, bool next)
{
    const std::vector<uint32_t> pattern = find_pattern(text, mode);
    const uint32_t top = memory_top();
    uint32_t from = next ? find_position + 1 : 0;
    if (!pattern.empty() && pattern.size() <= top)
        for (uint32_t a = from; a + pattern.size() <= top; ++a)
            if (matches_at(a, pattern)) {
                find_position = a;
                highlight_address = int(a);
                show_in_code_pane(a);
                return long(a);
            }
    report_error(error_no_match);
    return -1;
}

// ---- blocks ----

bool copy_memory_block(uint32_t source, uint32_t destination, uint32_t length)
{
    const uint32_t top = memory_top();
    if (uint64_t(destination) + length >= top || uint64_t(source) + length >= top) return false;
    std::vector<uint8_t> block(length);
    for (uint32_t i = 0; i < length; ++i) block[i] = page_map_byte(uint16_t(source + i));
    for (uint32_t i = 0; i < length; ++i) tool_write(destination + i, block[i]);
    return true;
}

bool fill_memory_block(uint32_t start, uint32_t length, const char* data, FillMode mode)
{
    const uint32_t top = memory_top();
    if (mode == fill_text) {
        const size_t n = strnlen(data, 255);
        if (uint64_t(start) + n >= top) return false;
        for (size_t i = 0; i < n; ++i) tool_write(uint32_t(start + i), uint8_t(data[i]));
        return true;
    }
    if (uint64_t(start) + length >= top) return false;
    const uint32_t value = parse_number_field(data);
    if (mode == fill_byte) {
        for (uint32_t i = 0; i < length; ++i) tool_write(start + i, uint8_t(value));
        return true;
    }
    // Low byte, high byte pairs: an odd length writes one byte past it.
    for (uint32_t a = start; a < start + length; a += 2) {
        tool_write(a, uint8_t(value));
        tool_write(a + 1, uint8_t(value >> 8));
    }
    return true;
}

// ---- stack ----

namespace {

RegPair* pair_record(int index)
{
    RegPair* const pairs[register_pair_count] = {&z80.af, &z80.bc, &z80.de, &z80.hl, &z80.ix,
                                                 &z80.iy, &z80.af_alt, &z80.bc_alt, &z80.de_alt, &z80.hl_alt};
    return index >= 0 && index < register_pair_count ? pairs[index] : nullptr;
}

// Stack bytes go through the bus, as the processor's own would, but take no time.
void stack_write(uint16_t address, uint8_t value)
{
    const uint32_t t = tstates;
    write_byte(address, value);
    tstates = t;
    debug_snapshot[address] = page_map_byte(fold_address(address));
}

uint8_t stack_read(uint16_t address) { return page_map_byte(fold_address(address)); }

}  // namespace

uint16_t register_pair_value(int index)
{
    const RegPair* p = pair_record(index);
    return p ? p->w : 0;
}

void set_register_pair(int index, uint16_t value)
{
    if (RegPair* p = pair_record(index)) p->w = value;
}

bool push_value(int pair_index, const char* typed_text)
{
    for (int i = 0; typed_text && i < register_pair_count; ++i)
        if (std::strcmp(typed_text, register_pair_names[i]) == 0) pair_index = i, typed_text = nullptr;
    uint32_t value = register_pair_value(pair_index);
    if (typed_text && *typed_text) {
        long typed = 0;
        if (!std::isdigit(uint8_t(*typed_text)) && *typed_text != '#' && *typed_text != '$') return false;
        if (!parse_address_text(typed_text, typed) || typed > 0xFFFF) return false;
        value = uint32_t(typed);
    } else if (!pair_record(pair_index)) {
        return false;
    }
    stack_write(--z80.sp, uint8_t(value >> 8));
    stack_write(--z80.sp, uint8_t(value));
    return true;
}

void pop_value(int pair_index)
{
    if (!pair_record(pair_index)) return;
    const uint8_t low = stack_read(z80.sp++);
    const uint8_t high = stack_read(z80.sp++);
    set_register_pair(pair_index, uint16_t(high << 8 | low));  // AF: F low, A high
}

bool alter_stack_pointer(const char* decimal_text)
{
    while (*decimal_text == ' ') ++decimal_text;
    if (!std::isdigit(uint8_t(*decimal_text))) return false;
    uint64_t value = 0;
    for (; std::isdigit(uint8_t(*decimal_text)) && value < 0x10000; ++decimal_text) value = value * 10 + (*decimal_text - '0');
    if (value > 0xFFFF) return false;
    z80.sp = uint16_t(value);
    return true;
}

void restore_rom()
{
    if (load_roms() == 0) take_snapshot();
}

// ---- the memory editor ----

void editor_open(bool edit_rom)
{
    memory_editor = {0, 1, first_column, 0, false, 0, edit_rom};
    memory_editor.view_start = editor_low();
    take_snapshot();
}

uint32_t clamp_view_start(uint32_t start, bool edit_rom)
{
    const uint32_t low = edit_rom ? 0 : rom_end, high = std::max(low, memory_top() - editor_page);
    return std::clamp(start & ~(editor_row_bytes - 1), low, high);
}

int editor_caret_text_index() { return memory_editor.caret_column - 2; }

std::vector<std::string> editor_text_rows()
{
    const MemoryEditor& e = memory_editor;
    std::vector<std::string> rows = view_memory_rows(e.view_start);
    if (e.half_entered) {  // the digit typed so far stands in the byte's place
        std::string& row = rows[size_t(e.caret_row - 1)];
        const size_t at = size_t(editor_caret_text_index() - 1);
        const int d = e.first_digit & 15;
        if (at < row.size()) row[at] = char(d < 10 ? '0' + d : 'A' + d - 10);
    }
    return rows;
}

void editor_scroll(uint32_t start)
{
    memory_editor.view_start = clamp_view_start(start, memory_editor.edit_rom);
}

void editor_key(EditorKey key)
{
    MemoryEditor& e = memory_editor;
    if (e.half_entered) return;  // the byte is finished first
    const int row = e.caret_row, column = e.caret_column;
    switch (key) {
    case key_page_up: return editor_scroll(e.view_start < editor_page ? 0 : e.view_start - editor_page);
    case key_page_down: return editor_scroll(e.view_start + editor_page);
    case key_home: return set_caret(row, first_column);
    case key_end: return set_caret(row, last_column);
    case key_left: return set_caret(row, std::max(first_column, column - column_step));
    case key_right: return set_caret(row, std::min(last_column, column + column_step));
    case key_up: return set_caret(std::max(1, row - 1), column);
    case key_down: return set_caret(std::min(int(editor_rows), row + 1), column);
    }
}

void editor_digit(char digit)
{
    MemoryEditor& e = memory_editor;
    const int d = hex_value(digit);
    if (d < 0) return;
    if (!e.half_entered) {
        e.first_digit = d;
        e.half_entered = true;
        ++e.caret_column;
        return;
    }
    e.half_entered = false;
    --e.caret_column;
    editor_write(uint16_t(e.view_start + e.byte_index), uint8_t(e.first_digit << 4 | d));
    if (e.caret_column < last_column) set_caret(e.caret_row, e.caret_column + column_step);
}

void editor_write(uint16_t address, uint8_t value)
{
    if (address >= rom_end) {
        memory[fold_address(address)] = value;  // above the RAM top the RAM repeats
    } else {
        if (!memory_editor.edit_rom) return;
        rom_image[address] = value;  // until Restore ROM loads the image again
    }
    debug_snapshot[address] = value;
}
