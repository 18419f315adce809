// The order of the CPU's bus accesses: 16-bit operands and pops read their high byte
// first, pushes write it first, and the indexed bit instructions fetch their
// displacement and final opcode as opcode fetches.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80.h"

// How a failing expectation shows an access.
void PrintTo(const BusEvent& e, std::ostream* os)
{
    static const char* const kinds[] = {"fetch", "read", "write", "in", "out"};
    *os << kinds[int(e.kind)] << " " << std::hex << e.address;
}

namespace {

BusEvent F(int a) { return {Access::fetch, uint16_t(a)}; }
BusEvent R(int a) { return {Access::read, uint16_t(a)}; }
BusEvent W(int a) { return {Access::write, uint16_t(a)}; }

TEST(BusOrder, EachInstructionAccessesTheBusInTheHardwaresOrder)
{
    struct Case {
        const char* name;
        std::vector<int> code;  // at 0; an empty program takes a mode 2 interrupt instead
        std::vector<BusEvent> accesses;
        uint32_t tstates;
    };
    const Case cases[] = {
        {"LD HL,(0x9000)", {0x2A, 0x00, 0x90}, {F(0), R(2), R(1), R(0x9001), R(0x9000)}, 16},
        {"POP HL", {0xE1}, {F(0), R(0x8001), R(0x8000)}, 10},
        {"RET", {0xC9}, {F(0), R(0x8001), R(0x8000)}, 10},
        {"EX (SP),HL", {0xE3}, {F(0), R(0x8000), R(0x8001), W(0x8000), W(0x8001)}, 19},
        {"RLC (IY+5)", {0xFD, 0xCB, 0x05, 0x06}, {F(0), F(1), F(2), F(3), R(0x9005), W(0x9005)}, 23},
        {"IM 2 interrupt", {}, {W(0x7FFF), W(0x7FFE), R(0x1F00), R(0x1EFF)}, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset_machine();
        for (size_t a = 0; a < c.code.size(); ++a) trace_memory[a] = uint8_t(c.code[a]);
        z80.sp = 0x8000, z80.iy.w = 0x9000;
        z80.iff1 = 1, z80.im = 2, z80.i = 0x1E;
        trace_count = 0;
        c.code.empty() ? void(accept_interrupt()) : execute_instruction();
        EXPECT_EQ(std::vector<BusEvent>(trace_log, trace_log + trace_count), c.accesses);
        EXPECT_EQ(tstates, c.tstates);
    }
}

}  // namespace
