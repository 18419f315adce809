#include "debugger/listing.h"

#include <cctype>
#include <cstdlib>
#include <new>

namespace {

// The Disassemble to File loop, writing each finished line to sink(text, length).
template <typename Sink>
long write_range(Sink&& sink, MemoryReader peek, long start, long end, const DisasmStyle& style)
{
    if (start < 0 || start > 0xFFFF || end > 0xFFFF || end < start - 1) return -1;
    long lines = 0;
    Instruction in;
    char line[line_size + 1];
    for (long address = start; address <= end; address += in.length, ++lines) {
        decode_instruction(peek, uint32_t(address), style, in);
        int length = format_line(in, style.number_base == 10, line);
        line[length++] = '\n';
        sink(line, length);
    }
    return lines;
}

}  // namespace

Listing* build_listing(const uint8_t* image, uint32_t memory_top, const DisasmStyle& style)
{
    if (memory_top > 0x10000) memory_top = 0x10000;
    Listing* listing = new (std::nothrow) Listing{0, nullptr, nullptr, nullptr};
    if (!listing) return nullptr;
    // No instruction is shorter than a byte, so memory_top lines always suffice.
    listing->records = memory_top ? new (std::nothrow) ListingLine[memory_top] : nullptr;
    if (memory_top && !listing->records) {
        delete listing;
        return nullptr;
    }
    Instruction in;
    for (uint32_t address = 0; address < memory_top; address += in.length) {
        decode_instruction(image, address, style, in);
        ListingLine& line = listing->records[listing->line_count];
        format_line(in, false, line.text);
        line.address = uint16_t(address);
        line.line_number = ++listing->line_count;
        line.next = nullptr;
        if (listing->last) listing->last->next = &line;
        else listing->first = &line;
        listing->last = &line;
    }
    return listing;
}

void free_listing(Listing* listing)
{
    if (!listing) return;
    delete[] listing->records;
    delete listing;
}

long disassemble_range(FILE* out, MemoryReader peek, long start, long end, const DisasmStyle& style)
{
    return write_range([out](const char* text, int length) { fwrite(text, 1, size_t(length), out); },
                       peek, start, end, style);
}

long disassemble_range(std::string& out, MemoryReader peek, long start, long end,
                       const DisasmStyle& style)
{
    return write_range([&out](const char* text, int length) { out.append(text, size_t(length)); },
                       peek, start, end, style);
}

bool parse_address_text(const char* text, long& value)
{
    while (*text == ' ') ++text;
    int base = 10;
    if (*text == '#' || *text == '$') {
        base = 16;
        ++text;
    } else if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    // Digits only, and few enough that no long can overflow.
    int digits = 0;
    while (base == 16 ? std::isxdigit(uint8_t(text[digits])) : std::isdigit(uint8_t(text[digits])))
        ++digits;
    const char* rest = text + digits;
    while (*rest == ' ') ++rest;
    if (digits == 0 || digits > 8 || *rest) return false;
    value = std::strtol(text, nullptr, base);
    return true;
}

int format_pc_log_line(char* out, size_t size, uint16_t pc, uint16_t hl, uint32_t tstates,
                       const char* mnemonic)
{
    return std::snprintf(out, size, "PC = %04X  HL = %04X  tstate = %05u  %s\n", unsigned(pc),
                         unsigned(hl), unsigned(tstates), mnemonic);
}

void write_pc_log_line(FILE* log, MemoryReader peek, uint16_t pc, uint16_t hl, uint32_t tstates,
                       bool rom_labels, bool system_variables)
{
    Instruction in;
    decode_instruction(peek, pc, DisasmStyle{16, rom_labels, system_variables}, in);
    char line[96];
    format_pc_log_line(line, sizeof line, pc, hl, tstates, in.mnemonic);
    fputs(line, log);
}
