// What the instruction suites cannot see: prefixes acting alone, the refresh register,
// HALT, the interrupt entries and the port addresses of every I/O form.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80.h"

namespace {

// A hard reset, then the given bytes at address 0 and the stack at 0x8000.
void load(std::initializer_list<int> code)
{
    reset_machine();
    uint16_t a = 0;
    for (int b : code) flat_memory[a++] = uint8_t(b);
    z80.sp = 0x8000;
}

// Runs one instruction and returns its T-states.
uint32_t run_one()
{
    const uint32_t before = tstates;
    execute_instruction();
    return tstates - before;
}

uint16_t stacked_word() { return uint16_t(flat_memory[z80.sp] | flat_memory[uint16_t(z80.sp + 1)] << 8); }

uint16_t pc_at_trap;
void note_trap() { pc_at_trap = z80.pc; }

}  // namespace

TEST(DispatchTables, EverySlotHasAHandler)
{
    for (int t = 0; t < z80_table_count; ++t)
        for (int op = 0; op < 256; ++op) EXPECT_NE(z80_handler(Z80Table(t), op), nullptr) << t << " " << op;
}

TEST(Prefixes, APrefixWithoutMeaningForItsOpcodeActsAlone)
{
    // DD 00: the DD costs 8 T-states and one R step; the NOP then runs on its own.
    load({0xDD, 0x00});
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(z80.pc, 1);
    EXPECT_EQ(r_register(), 1);
    EXPECT_EQ(run_one(), 4u);
    EXPECT_EQ(r_register(), 2);

    // FD EB is EX DE,HL, leaving IY alone; DD FD 21 loses the DD and loads IY.
    load({0xFD, 0xEB, 0xDD, 0xFD, 0x21, 0x34, 0x12});
    z80.de.w = 0x1111;
    z80.hl.w = 0x2222;
    run_one();
    run_one();
    EXPECT_EQ(z80.hl.w, 0x1111);
    EXPECT_EQ(z80.iy.w, 0);
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(run_one(), 14u);
    EXPECT_EQ(z80.iy.w, 0x1234);
    EXPECT_EQ(z80.ix.w, 0);

    // ED FD and ED FE likewise: FD then acts as a prefix, FE 05 is CP 5.
    load({0xED, 0xFD, 0x21, 0x34, 0x12, 0xED, 0xFE, 0x05});
    z80.af.hi = 5;
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(r_register(), 1);
    EXPECT_EQ(run_one(), 14u);
    EXPECT_EQ(z80.iy.w, 0x1234);
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(run_one(), 7u);
    EXPECT_TRUE(z80.af.lo & 0x40);
}

TEST(Prefixes, UndefinedEdOpcodesAreEightStateNops)
{
    for (int op : {0x00, 0x3F, 0x77, 0x7F, 0x80, 0x9F, 0xA4, 0xAF, 0xB7, 0xBC, 0xFB, 0xFF}) {
        load({0xED, op});
        z80.af.w = 0x1234;
        z80.bc.w = 0x5678;
        z80.hl.w = 0x9ABC;
        Z80Registers expected = z80;
        EXPECT_EQ(run_one(), 8u) << op;
        expected.pc = 2;
        expected.r = 2;
        EXPECT_EQ(std::memcmp(&z80, &expected, sizeof z80), 0) << op;
    }
}

TEST(Refresh, RisesOncePerOpcodeFetchAndKeepsBit7)
{
    // NOP, RLC B, NEG, LD IX,0, RLC (IY+1), BIT 0,(IX+1), one pass of LDIR: the
    // displacement and final opcode of the indexed bit forms do not count.
    const std::initializer_list<int> programs[] = {{0x00}, {0xCB, 0x00}, {0xED, 0x44}, {0xDD, 0x21, 0, 0},
                                                   {0xFD, 0xCB, 1, 0x06}, {0xDD, 0xCB, 1, 0x46}, {0xED, 0xB0}};
    const int rise[] = {1, 2, 2, 2, 2, 2, 2};
    for (int k = 0; k < 7; ++k) {
        load(programs[k]);
        z80.bc.w = 2;
        run_one();
        EXPECT_EQ(r_register(), rise[k]) << k;
    }

    // LD A,0xFF; LD R,A; NOP; LD A,R: the count wraps in 7 bits under the stored bit 7.
    load({0x3E, 0xFF, 0xED, 0x4F, 0x00, 0xED, 0x5F});
    run_one();
    run_one();
    EXPECT_EQ(r_register(), 0xFF);
    EXPECT_LT(z80.r, 0x80);
    run_one();
    EXPECT_EQ(r_register(), 0x80);
    z80.iff2 = 1;
    run_one();
    EXPECT_EQ(z80.af.hi, 0x82);  // R after LD A,R's own two fetches
    EXPECT_EQ(z80.af.lo & 0x04, 0x04);  // P/V shows IFF2
}

TEST(Halt, EachStepRefetchesTheHaltUntilAnInterrupt)
{
    load({0x00, 0x76, 0x00});
    z80.iff1 = z80.iff2 = 1;
    z80.im = 1;
    run_one();
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(run_one(), 4u);
        EXPECT_EQ(z80.pc, 1);
        EXPECT_EQ(z80.halted, 1);
    }
    EXPECT_EQ(r_register(), 4);
    EXPECT_TRUE(accept_interrupt());
    EXPECT_EQ(z80.halted, 0);
    EXPECT_EQ(stacked_word(), 2);  // the address after the HALT
}

TEST(Interrupts, TakenInEachModeAndRefusedWhileDisabled)
{
    // Disabled: refused, but the request is cleared all the same.
    load({0x00});
    int_pending = 1;
    EXPECT_FALSE(accept_interrupt());
    EXPECT_EQ(int_pending, 0);
    EXPECT_EQ(tstates, 0u);
    EXPECT_EQ(z80.sp, 0x8000);

    // Modes 0 and 1: RST 38 in 13 T-states; mode 2: through the vector at I * 256 + 0xFF
    // (low byte) and the byte after it (high byte), in 19.
    for (int mode : {0, 1, 2}) {
        load({0x00});
        flat_memory[0x1EFF] = 0x34;
        flat_memory[0x1F00] = 0x12;
        z80.pc = 0x4321;
        z80.iff1 = z80.iff2 = 1;
        z80.im = uint8_t(mode);
        z80.i = 0x1E;
        int_pending = 1;
        EXPECT_TRUE(accept_interrupt());
        EXPECT_EQ(int_pending, 0);
        EXPECT_EQ(tstates, mode == 2 ? 19u : 13u) << mode;
        EXPECT_EQ(z80.pc, mode == 2 ? 0x1234 : 0x38) << mode;
        EXPECT_EQ(stacked_word(), 0x4321);
        EXPECT_EQ(z80.iff1 | z80.iff2, 0);
        EXPECT_EQ(r_register(), 1);
    }
}

TEST(Nmi, TakenAt66WithTheWaitOfAHaltedCpu)
{
    load({0x00});
    z80.pc = 0x1234;
    z80.iff1 = z80.iff2 = 1;
    EXPECT_EQ(accept_nmi(100), 4);
    EXPECT_EQ(tstates, 0u);  // the pushes are not charged; the caller adds the result
    EXPECT_EQ(z80.pc, 0x66);
    EXPECT_EQ(z80.iff1, 0);
    EXPECT_EQ(stacked_word(), 0x1234);
    EXPECT_EQ(r_register(), 1);
    flat_memory[0x66] = 0xED;  // RETN brings IFF1 back from IFF2
    flat_memory[0x67] = 0x45;
    EXPECT_EQ(run_one(), 14u);
    EXPECT_EQ(z80.pc, 0x1234);
    EXPECT_EQ(z80.iff1, 1);

    // Halted at pixel 100 of a 207-T-state line: waits to 4 T-states past its end.
    load({0x76});
    tstates_per_line = 207;
    run_one();
    EXPECT_EQ(accept_nmi(100), 4 + (207 - 50 + 4));
    EXPECT_EQ(z80.halted, 0);
    EXPECT_EQ(stacked_word(), 1);
    load({0x76});
    run_one();
    EXPECT_EQ(accept_nmi(430), 4);  // past the end of the line: no wait
}

TEST(Control, EiRecordsItsStateAndDiClearsBoth)
{
    load({0xFB, 0xF3});
    tstates = 0x1234;
    run_one();
    EXPECT_EQ(z80.iff1 & z80.iff2, 1);
    EXPECT_EQ(z80.ei_stamp, 0x38);
    run_one();
    EXPECT_EQ(z80.iff1 | z80.iff2, 0);
}

TEST(Ports, EveryFormAddressesAllSixteenBits)
{
    load({0xDB, 0x34, 0xD3, 0x56});  // IN A,(0x34); OUT (0x56),A
    z80.af.hi = 0x12;
    EXPECT_EQ(run_one(), 11u);
    EXPECT_EQ(flat_last_in_port, 0x1234);
    run_one();
    EXPECT_EQ(flat_last_out_port, 0x1256);
    EXPECT_EQ(flat_last_out_value, 0x12);

    for (int r = 0; r < 8; ++r) {
        load({0xED, 0x40 + 8 * r, 0xED, 0x41 + 8 * r});  // IN r,(C); OUT (C),r
        z80.bc.w = 0xABCD;
        EXPECT_EQ(run_one(), 12u);
        EXPECT_EQ(flat_last_in_port, 0xABCD) << r;
        z80.bc.w = 0xABCD;
        run_one();
        EXPECT_EQ(flat_last_out_port, 0xABCD) << r;
        if (r == 6) {
            EXPECT_EQ(flat_last_out_value, 0) << "OUT (C),0";
        }
    }

    // Block input addresses BC before B counts down, block output after.
    for (int op : {0xA2, 0xAA, 0xB2, 0xBA, 0xA3, 0xAB, 0xB3, 0xBB}) {
        load({0xED, op});
        z80.bc.w = 0x0510;
        z80.hl.w = 0x9000;
        run_one();
        EXPECT_EQ((op & 1) ? flat_last_out_port : flat_last_in_port, (op & 1) ? 0x0410 : 0x0510) << op;
        EXPECT_EQ(z80.bc.hi, 4) << op;
    }
}

TEST(Ports, InFKeepsCarryAndStoresNothing)
{
    load({0xED, 0x70});
    z80.af.w = 0x5501;
    z80.bc.w = 0x00FE;  // the flat bus answers with the high byte, 0x00
    run_one();
    EXPECT_EQ(z80.af.w, 0x5500 | 0x40 | 0x04 | 0x01);  // A kept; Z, even parity, carry kept
    EXPECT_EQ(z80.bc.w, 0x00FE);
}

TEST(Trap, EdFcCallsTheLoadTrapWithPcPastIt)
{
    load({0xED, 0xFC});
    flat_trap_handler = note_trap;
    pc_at_trap = 0;
    EXPECT_EQ(run_one(), 8u);
    flat_trap_handler = nullptr;
    EXPECT_EQ(pc_at_trap, 2);
}
