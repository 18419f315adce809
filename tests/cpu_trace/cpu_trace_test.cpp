// The order of the CPU's bus accesses: 16-bit operands and pops read their high byte
// first, pushes write it first, and the indexed bit instructions fetch their
// displacement and final opcode as opcode fetches.
#include <gtest/gtest.h>

#include <initializer_list>
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

BusEvent fetched(int a) { return {Access::fetch, uint16_t(a)}; }
BusEvent read_at(int a) { return {Access::read, uint16_t(a)}; }
BusEvent written(int a) { return {Access::write, uint16_t(a)}; }

// A hard reset, the code at 0, the stack at 0x8000, and a clean access log.
void load(std::initializer_list<int> code)
{
    reset_machine();
    uint16_t a = 0;
    for (int b : code) trace_memory[a++] = uint8_t(b);
    z80.sp = 0x8000;
    trace_count = 0;
}

std::vector<BusEvent> run_one()
{
    trace_count = 0;
    execute_instruction();
    return std::vector<BusEvent>(trace_log, trace_log + trace_count);
}

std::vector<BusEvent> log_so_far() { return std::vector<BusEvent>(trace_log, trace_log + trace_count); }

}  // namespace

TEST(BusOrder, SixteenBitReadsTakeTheHighByteFirst)
{
    load({0x2A, 0x00, 0x90});  // LD HL,(0x9000)
    EXPECT_EQ(run_one(), (std::vector<BusEvent>{fetched(0), read_at(2), read_at(1), read_at(0x9001), read_at(0x9000)}));

    load({0xE1});  // POP HL
    EXPECT_EQ(run_one(), (std::vector<BusEvent>{fetched(0), read_at(0x8001), read_at(0x8000)}));

    load({0xC9});  // RET
    EXPECT_EQ(run_one(), (std::vector<BusEvent>{fetched(0), read_at(0x8001), read_at(0x8000)}));
}

TEST(BusOrder, ExchangeWithTheStackReadsThenWritesLowFirst)
{
    load({0xE3});  // EX (SP),HL
    EXPECT_EQ(run_one(),
              (std::vector<BusEvent>{fetched(0), read_at(0x8000), read_at(0x8001), written(0x8000), written(0x8001)}));
}

TEST(BusOrder, IndexedBitInstructionsFetchDisplacementAndOpcode)
{
    load({0xFD, 0xCB, 0x05, 0x06});  // RLC (IY+5)
    z80.iy.w = 0x9000;
    EXPECT_EQ(run_one(), (std::vector<BusEvent>{fetched(0), fetched(1), fetched(2), fetched(3), read_at(0x9005),
                                                written(0x9005)}));
    EXPECT_EQ(tstates, 23u);
}

// Pushes write the high byte first; the vector is read high byte first.
TEST(BusOrder, ModeTwoInterruptPushesThenReadsTheVectorHighFirst)
{
    load({0x00});
    z80.iff1 = 1;
    z80.im = 2;
    z80.i = 0x1E;
    accept_interrupt();
    EXPECT_EQ(log_so_far(), (std::vector<BusEvent>{written(0x7FFF), written(0x7FFE), read_at(0x1F00), read_at(0x1EFF)}));
}
