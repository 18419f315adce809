// Whole listings built from the disassembler: the chain of lines behind the
// disassembly and debugger windows, Disassemble to File, and the PC log line.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "debugger/disassembler.h"

struct ListingLine {
    char text[line_size];
    uint16_t address;
    int line_number;  // from 1
    ListingLine* next;
};

struct Listing {
    int line_count;
    ListingLine* first;
    ListingLine* last;
    ListingLine* records;  // one block holding every line
};

// Decodes a flat 64 KiB copy of the address space from address 0 up to, not
// including, memory_top (at most 0x10000), one line per instruction with the
// address as "%04X ". Returns nullptr when the memory for the lines cannot be had.
Listing* build_listing(const uint8_t* image, uint32_t memory_top, const DisasmStyle& style);
// Releases every line and the header; nullptr is allowed.
void free_listing(Listing* listing);

// Disassemble to File: one line per instruction from start while the address is at
// most end, each followed by a newline; an instruction that starts at or before end
// is written whole. The address is "%04X " in hexadecimal style and "%d " in decimal.
// A start or end above 65535, or an end below start - 1, writes nothing and returns
// -1; otherwise returns the number of lines.
long disassemble_range(FILE* out, MemoryReader peek, long start, long end, const DisasmStyle& style);
long disassemble_range(std::string& out, MemoryReader peek, long start, long end,
                       const DisasmStyle& style);

// Reads an address as typed by the user: "#" or "$" (or "0x") before hexadecimal
// digits, otherwise decimal. False for empty or malformed text.
bool parse_address_text(const char* text, long& value);

// The PC log's line for the instruction about to run at pc, always hexadecimal:
// "PC = %04X  HL = %04X  tstate = %05d  mnemonic\n". Returns the length written.
int format_pc_log_line(char* out, size_t size, uint16_t pc, uint16_t hl, uint32_t tstates,
                       const char* mnemonic);
void write_pc_log_line(FILE* log, MemoryReader peek, uint16_t pc, uint16_t hl, uint32_t tstates,
                       bool rom_labels, bool system_variables);
