// Decoding a handful of bytes placed at some address in an otherwise empty image.
#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "debugger/disassembler.h"

struct Decoded {
    std::string mnemonic;
    int length;
    std::string line;  // as the listing writes it
};

inline uint8_t test_image[65536];

inline Decoded decode_bytes(std::initializer_list<uint8_t> bytes, const DisasmStyle& style = disasm_hex,
                            uint32_t address = 0x8000)
{
    std::memset(test_image, 0, sizeof test_image);
    uint32_t a = address;
    for (uint8_t b : bytes) test_image[a++ & 0xFFFF] = b;
    Instruction in;
    decode_instruction(test_image, address, style, in);
    char line[line_size];
    format_line(in, false, line);
    return {in.mnemonic, in.length, line};
}
