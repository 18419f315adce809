// Every opcode of the seven tables, run on the Z80 itself: a listing line must
// cover exactly the bytes the processor runs from its address, and its byte column
// must show those bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80.h"
#include "debugger/disassembler.h"

namespace {

constexpr uint16_t origin = 0x8000;
constexpr uint16_t stack_top = 0xC000;

struct OpcodeTable { const char* name; uint8_t prefix[3]; int prefix_length; };

// The bytes before the opcode; the index-bit tables carry a displacement.
const OpcodeTable tables[] = {{"main", {}, 0}, {"CB", {0xCB}, 1}, {"ED", {0xED}, 1}, {"DD", {0xDD}, 1},
                               {"FD", {0xFD}, 1}, {"DDCB", {0xDD, 0xCB, 0x05}, 3}, {"FDCB", {0xFD, 0xCB, 0xFB}, 3}};

// Runs the processor from origin and returns where it carries on: after a call or
// restart, the address it would return to; 0 when it jumped away or stayed put
// (HALT, a repeating block instruction). A DD or FD that the processor drops is one
// instruction of its own, but the listing shows it with the instruction after it,
// so then one more instruction runs.
uint32_t processor_continues_at(const uint8_t* bytes, uint32_t line_end, uint8_t flags, uint16_t bc)
{
    reset_machine();
    std::memcpy(flat_memory + origin, bytes, 8);
    z80.pc = origin;
    z80.sp = stack_top;
    z80.af.lo = flags;
    z80.bc.w = bc;
    for (int step = 0;; ++step) {
        const uint16_t before = z80.pc, sp_before = z80.sp;
        execute_instruction();
        uint32_t next = z80.pc;
        const auto forward = [&] { return next > before && next <= origin + 8u; };
        if (!forward() && z80.sp == uint16_t(sp_before - 2))
            next = flat_memory[z80.sp] | flat_memory[uint16_t(z80.sp + 1)] << 8;
        if (!forward()) return 0;
        const bool dropped_prefix = step == 0 && next == origin + 1u && (bytes[0] == 0xDD || bytes[0] == 0xFD);
        if (!dropped_prefix || next >= line_end) return next;
    }
}

TEST(DisassemblerAgainstCpu, EveryOpcodeCoversTheBytesTheProcessorRuns)
{
    int unobserved = 0;
    for (const OpcodeTable& table : tables) {
        for (int opcode = 0; opcode < 256; ++opcode) {
            uint8_t bytes[8] = {};
            std::memcpy(bytes, table.prefix, size_t(table.prefix_length));
            bytes[table.prefix_length] = uint8_t(opcode);

            std::memset(flat_memory, 0, sizeof flat_memory);
            std::memcpy(flat_memory + origin, bytes, sizeof bytes);
            Instruction in;
            decode_instruction(flat_memory, origin, disasm_hex, in);
            char line[line_size];
            format_line(in, false, line);
            const std::string where = std::string(table.name) + " " + std::to_string(opcode) + ": " + line;

            char shown[9];  // the instruction's bytes in hexadecimal, blank-filled to four
            std::snprintf(shown, sizeof shown, "%02X%02X%02X%02X", bytes[0], bytes[1], bytes[2], bytes[3]);
            std::fill(shown + 2 * in.length, shown + 8, ' ');
            EXPECT_EQ(std::string(line).substr(6, 8), shown) << where;

            // Conditions false one way round are true the other; B = 1 ends the
            // repeating I/O blocks, BC = 1 the others.
            const uint32_t line_end = origin + uint32_t(in.length);
            uint32_t reached = processor_continues_at(bytes, line_end, 0x00, 0x0001);
            if (!reached) reached = processor_continues_at(bytes, line_end, 0xFF, 0x0100);
            if (!reached) {
                // Unconditional jumps and returns go where their operand or the stack
                // says, whatever their length.
                const std::string m = in.mnemonic;
                EXPECT_TRUE(m == "HALT" || m == "RET" || m == "RETN" || m == "RETI" || m.rfind("JP    ", 0) == 0)
                    << where;
                ++unobserved;
                continue;
            }
            EXPECT_EQ(reached, line_end) << where;
        }
    }
    // JP nn, JP (HL), RET and HALT with and without DD or FD, and the eight ED returns.
    EXPECT_EQ(unobserved, 20);
}

}  // namespace
