// What the instruction suites cannot see: prefixes acting alone, undefined ED opcodes,
// the refresh register's wrap, HALT and the interrupt entries.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80.h"

namespace {

using Times = std::vector<uint32_t>;

// A hard reset, then the given bytes at address 0 and the stack at 0x8000.
void load(const std::vector<int>& code)
{
    reset_machine();
    uint16_t a = 0;
    for (int b : code) flat_memory[a++] = uint8_t(b);
    z80.sp = 0x8000;
}

// Runs `count` instructions and returns the T-states of each.
Times run(int count = 1)
{
    Times spent;
    for (uint32_t before = tstates; count-- > 0; before = tstates) {
        execute_instruction();
        spent.push_back(tstates - before);
    }
    return spent;
}

uint16_t stacked_word() { return uint16_t(flat_memory[z80.sp] | flat_memory[uint16_t(z80.sp + 1)] << 8); }

}  // namespace

// A grid written short leaves its last slots empty, and the opcodes there would jump to nothing.
TEST(Grids, EverySlotOfEveryTableNamesAHandler) { EXPECT_EQ(z80_empty_slots(), 0); }

TEST(Prefixes, APrefixWithoutMeaningForItsOpcodeActsAloneAndCountsInR)
{
    // Each lone prefix costs 8 T-states and one R step; the next byte runs afresh.
    struct Case { std::vector<int> code; Times tstates; int r, iy, hl; };
    const Case cases[] = {
        {{0xDD, 0x00}, {8, 4}, 2, 0, 0},
        {{0xFD, 0xEB, 0xDD, 0xFD, 0x21, 0x34, 0x12}, {8, 4, 8, 14}, 5, 0x1234, 0x1111},  // EX DE,HL; LD IY,nn
        {{0xED, 0xFD, 0x21, 0x34, 0x12, 0xED, 0xFE, 0x05}, {8, 14, 8, 7}, 5, 0x1234, 0},  // ED alone; CP 5
    };
    for (const Case& c : cases) {
        load(c.code);
        z80.de.w = 0x1111, z80.af.hi = 5;
        EXPECT_EQ(run(int(c.tstates.size())), c.tstates) << c.code.size();
        EXPECT_EQ(r_register(), c.r) << c.code.size();
        EXPECT_EQ(z80.iy.w, c.iy) << c.code.size();
        EXPECT_EQ(z80.hl.w, c.hl) << c.code.size();
        EXPECT_EQ(z80.ix.w, 0) << c.code.size();
    }
    EXPECT_TRUE(z80.af.lo & 0x40);  // CP 5 with A = 5

    for (int op : {0x00, 0x3F, 0x77, 0x7F, 0x80, 0x9F, 0xA4, 0xAF, 0xB7, 0xBC, 0xFB, 0xFF}) {
        load({0xED, op});  // undefined: an 8-T-state NOP
        z80.af.w = 0x1234, z80.bc.w = 0x5678, z80.hl.w = 0x9ABC;
        Z80Registers expected = z80;
        EXPECT_EQ(run(), Times{8}) << op;
        expected.pc = 2, expected.r = 2;
        EXPECT_EQ(std::memcmp(&z80, &expected, sizeof z80), 0) << op;
    }
    // LD A,0xFF; LD R,A; NOP; LD A,R: the refresh count wraps in 7 bits under bit 7.
    load({0x3E, 0xFF, 0xED, 0x4F, 0x00, 0xED, 0x5F});
    run(3);
    EXPECT_EQ(r_register(), 0x80);
    run();
    EXPECT_EQ(z80.af.hi, 0x82);  // R after LD A,R's own two fetches
}

TEST(Interrupts, HaltWaitsForOneAndEachKindTakesItUnlessDisabled)
{
    load({0x00, 0x76, 0x00});  // each step refetches the HALT
    z80.iff1 = z80.iff2 = 1, z80.im = 1;
    EXPECT_EQ(run(4), (Times{4, 4, 4, 4}));
    EXPECT_EQ(z80.pc, 1);
    EXPECT_EQ(r_register(), 4);
    EXPECT_TRUE(accept_interrupt());
    EXPECT_EQ(z80.halted, 0);
    EXPECT_EQ(stacked_word(), 2);  // the address after the HALT

    // Disabled, the request is refused but cleared all the same.
    load({0x00});
    int_pending = 1;
    EXPECT_FALSE(accept_interrupt());
    EXPECT_EQ(int_pending, 0);
    EXPECT_EQ(z80.sp, 0x8000);

    // Modes 0 and 1: RST 38 in 13 T-states; mode 2: through the vector at I * 256 + 0xFF
    // (low byte) and the byte after it (high byte), in 19.
    for (int mode : {0, 1, 2}) {
        load({0x00});
        flat_memory[0x1EFF] = 0x34, flat_memory[0x1F00] = 0x12;
        z80.pc = 0x4321, z80.i = 0x1E, z80.im = uint8_t(mode);
        z80.iff1 = z80.iff2 = 1;
        int_pending = 1;
        EXPECT_TRUE(accept_interrupt());
        EXPECT_EQ(int_pending, 0);
        EXPECT_EQ(tstates, mode == 2 ? 19u : 13u) << mode;
        EXPECT_EQ(z80.pc, mode == 2 ? 0x1234 : 0x38) << mode;
        EXPECT_EQ(stacked_word(), 0x4321);
        EXPECT_EQ(z80.iff1 | z80.iff2, 0);
        EXPECT_EQ(r_register(), 1);
    }

    // An NMI to a CPU halted past the end of its line is taken at once; the wait within
    // the line is the display tests'.
    load({0x76});
    tstates_per_line = 207;
    run();
    EXPECT_EQ(accept_nmi(430), 4);
    EXPECT_EQ(z80.pc, 0x66);
    EXPECT_EQ(stacked_word(), 1);
}
