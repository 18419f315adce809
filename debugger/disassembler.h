// The Z80 disassembler: one instruction at a time from bytes the caller supplies,
// written in a fixed layout, with ROM routine and system-variable names in place
// of addresses when asked. It never touches the machine.
#pragma once
#include <cstdint>

// How operands are written.
struct DisasmStyle {
    int number_base;        // 16: "#0A", "#1234"; 10: "10", "4660"
    bool rom_labels;        // ROM routine names for addresses ("CALL  ERROR-1")
    bool system_variables;  // system-variable names for addresses ("LD    HL,(CH_ADD)")
};

constexpr DisasmStyle disasm_hex = {16, false, false};

constexpr int mnemonic_size = 30;  // text plus its terminator
constexpr int line_size = 52;      // a listing or file line of at most 51 characters

// One decoded instruction.
struct Instruction {
    uint32_t address;
    int length;                  // bytes the line covers, 1 to 4
    int32_t byte_slot[4];        // the bytes in instruction order, -1 = empty
    char mnemonic[mnemonic_size];
};

// The emulated address space as the processor sees it, read without side effects.
using MemoryReader = uint8_t (*)(uint16_t);

// Decodes the instruction at address. The image is a flat 64 KiB copy of the address
// space; reads at 0x10000 and above give 0, so an instruction running off the top is
// completed with zero bytes.
void decode_instruction(const uint8_t* image, uint32_t address, const DisasmStyle& style,
                        Instruction& out);
void decode_instruction(MemoryReader peek, uint32_t address, const DisasmStyle& style,
                        Instruction& out);

// Writes the line "address bytes mnemonic": the address as "%04X " (or "%d " when
// decimal_address), a space, the byte column padded to four bytes, a space, the
// mnemonic. out holds line_size characters. Returns the length written.
int format_line(const Instruction& in, bool decimal_address, char* out);
