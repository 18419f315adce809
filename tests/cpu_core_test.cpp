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

}  // namespace

TEST(DispatchTables, EverySlotHasAHandler)
{
    for (int t = 0; t < z80_table_count; ++t)
        for (int op = 0; op < 256; ++op) EXPECT_NE(z80_handler(Z80Table(t), op), nullptr) << t << " " << op;
}

TEST(Prefixes, IndexPrefixBeforeAnUnindexedOpcodeActsAlone)
{
    load({0xDD, 0x00, 0x00});
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(z80.pc, 1);
    EXPECT_EQ(r_register(), 1);
    EXPECT_EQ(run_one(), 4u);  // the NOP, as an instruction of its own
    EXPECT_EQ(z80.pc, 2);
    EXPECT_EQ(r_register(), 2);

    // FD EB: EX DE,HL exchanges DE and HL, and IY is left alone.
    load({0xFD, 0xEB});
    z80.de.w = 0x1111;
    z80.hl.w = 0x2222;
    z80.iy.w = 0x3333;
    run_one();
    run_one();
    EXPECT_EQ(z80.hl.w, 0x1111);
    EXPECT_EQ(z80.de.w, 0x2222);
    EXPECT_EQ(z80.iy.w, 0x3333);

    // DD FD 21 nn: the DD is lost, FD 21 loads IY.
    load({0xDD, 0xFD, 0x21, 0x34, 0x12});
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(run_one(), 14u);
    EXPECT_EQ(z80.iy.w, 0x1234);
    EXPECT_EQ(z80.ix.w, 0);
    EXPECT_EQ(z80.pc, 5);
}

TEST(Prefixes, EdFdAndEdFeLeaveTheSecondByteToRunAlone)
{
    load({0xED, 0xFD, 0x21, 0x34, 0x12});
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(z80.pc, 1);
    EXPECT_EQ(r_register(), 1);
    EXPECT_EQ(run_one(), 14u);  // FD 21: LD IY,nn
    EXPECT_EQ(z80.iy.w, 0x1234);

    load({0xED, 0xFE, 0x05});
    z80.af.hi = 5;
    EXPECT_EQ(run_one(), 8u);
    EXPECT_EQ(run_one(), 7u);  // FE 05: CP 5
    EXPECT_TRUE(z80.af.lo & 0x40);
}

TEST(Prefixes, UndefinedEdOpcodesAreEightStateNops)
{
    for (int op : {0x00, 0x3F, 0x77, 0x7F, 0x80, 0x9F, 0xA4, 0xAF, 0xB7, 0xBC, 0xFB, 0xFF}) {
        load({0xED, op});
        z80.af.w = 0x1234;
        z80.bc.w = 0x5678;
        z80.hl.w = 0x9ABC;
        z80.iff1 = 1;
        Z80Registers expected = z80;
        EXPECT_EQ(run_one(), 8u) << op;
        expected.pc = 2;
        expected.r = 2;
        EXPECT_EQ(std::memcmp(&z80, &expected, sizeof z80), 0) << op;
    }
}

TEST(Refresh, RisesOncePerOpcodeFetch)
{
    struct Case {
        std::initializer_list<int> code;
        int rise;
    };
    const Case cases[] = {
        {{0x00}, 1},                          // NOP
        {{0xCB, 0x00}, 2},                    // RLC B
        {{0xED, 0x44}, 2},                    // NEG
        {{0xDD, 0x21, 0x00, 0x00}, 2},        // LD IX,0
        {{0xFD, 0xCB, 0x01, 0x06}, 2},        // RLC (IY+1): displacement and opcode do not count
        {{0xDD, 0xCB, 0x01, 0x46}, 2},        // BIT 0,(IX+1)
        {{0xED, 0xB0}, 2},                    // LDIR, one pass
    };
    for (const Case& c : cases) {
        load(c.code);
        z80.bc.w = 2;
        run_one();
        EXPECT_EQ(r_register(), c.rise) << std::hex << *c.code.begin();
    }
}

TEST(Refresh, LdRaSetsBit7WhichCountingKeeps)
{
    // LD A,0xFF; LD R,A; NOP; LD A,R
    load({0x3E, 0xFF, 0xED, 0x4F, 0x00, 0xED, 0x5F});
    run_one();
    run_one();
    EXPECT_EQ(r_register(), 0xFF);
    EXPECT_LT(z80.r, 0x80);
    run_one();  // the low 7 bits wrap to 0; bit 7 stays
    EXPECT_EQ(r_register(), 0x80);
    z80.iff2 = 1;
    run_one();  // LD A,R reads R as it stands after its own two fetches
    EXPECT_EQ(z80.af.hi, 0x82);
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
    EXPECT_EQ(z80.pc, 0x38);
}

TEST(Interrupts, RefusedWhileDisabledButTheRequestIsCleared)
{
    load({0x00});
    z80.iff1 = 0;
    int_pending = 1;
    EXPECT_FALSE(accept_interrupt());
    EXPECT_EQ(int_pending, 0);
    EXPECT_EQ(tstates, 0u);
    EXPECT_EQ(z80.pc, 0);
    EXPECT_EQ(z80.sp, 0x8000);
}

TEST(Interrupts, ModesZeroAndOneRestartAt38In13States)
{
    for (int mode : {0, 1}) {
        load({0x00});
        z80.pc = 0x1234;
        z80.iff1 = z80.iff2 = 1;
        z80.im = uint8_t(mode);
        int_pending = 1;
        EXPECT_TRUE(accept_interrupt());
        EXPECT_EQ(int_pending, 0);
        EXPECT_EQ(tstates, 13u);
        EXPECT_EQ(z80.pc, 0x38);
        EXPECT_EQ(z80.sp, 0x7FFE);
        EXPECT_EQ(stacked_word(), 0x1234);
        EXPECT_EQ(z80.iff1 | z80.iff2, 0);
        EXPECT_EQ(r_register(), 1);
    }
}

TEST(Interrupts, ModeTwoJumpsThroughTheVectorIn19States)
{
    load({0x00});
    z80.pc = 0x4321;
    z80.iff1 = z80.iff2 = 1;
    z80.im = 2;
    z80.i = 0x1E;
    flat_memory[0x1EFF] = 0x34;  // low byte
    flat_memory[0x1F00] = 0x12;  // high byte
    EXPECT_TRUE(accept_interrupt());
    EXPECT_EQ(tstates, 19u);
    EXPECT_EQ(z80.pc, 0x1234);
    EXPECT_EQ(stacked_word(), 0x4321);
}

TEST(Nmi, TakenAt66WithoutChargingThePushes)
{
    load({0x00});
    z80.pc = 0x1234;
    z80.iff1 = 1;
    z80.iff2 = 1;
    EXPECT_EQ(accept_nmi(100), 4);
    EXPECT_EQ(tstates, 0u);  // the caller adds the result
    EXPECT_EQ(z80.pc, 0x66);
    EXPECT_EQ(z80.iff1, 0);
    EXPECT_EQ(z80.iff2, 1);
    EXPECT_EQ(stacked_word(), 0x1234);
    EXPECT_EQ(r_register(), 1);

    // RETN at 0x66 brings IFF1 back from IFF2.
    flat_memory[0x66] = 0xED;
    flat_memory[0x67] = 0x45;
    EXPECT_EQ(run_one(), 14u);
    EXPECT_EQ(z80.pc, 0x1234);
    EXPECT_EQ(z80.iff1, 1);
}

TEST(Nmi, HaltedCpuWaitsForTheEndOfTheScanline)
{
    load({0x76});
    tstates_per_line = 207;
    run_one();
    EXPECT_EQ(accept_nmi(100), 4 + (207 - 50 + 4));
    EXPECT_EQ(z80.halted, 0);
    EXPECT_EQ(stacked_word(), 1);

    load({0x76});
    run_one();
    EXPECT_EQ(accept_nmi(430), 4);  // past the end of the line: no wait
    EXPECT_EQ(accept_nmi(100), 4) << "no longer halted, so no wait";
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
    EXPECT_EQ(z80.af.hi, 0x12);  // the flat bus answers with the high byte
    run_one();
    EXPECT_EQ(flat_last_out_port, 0x1256);
    EXPECT_EQ(flat_last_out_value, 0x12);

    for (int r = 0; r < 8; ++r) {
        load({0xED, 0x40 + 8 * r, 0xED, 0x41 + 8 * r});  // IN r,(C); OUT (C),r
        z80.bc.w = 0xABCD;
        z80.hl.w = 0x1122;
        EXPECT_EQ(run_one(), 12u);
        EXPECT_EQ(flat_last_in_port, 0xABCD) << r;
        z80.bc.w = 0xABCD;
        run_one();
        EXPECT_EQ(flat_last_out_port, 0xABCD) << r;
        if (r == 6) {
            EXPECT_EQ(flat_last_out_value, 0) << "OUT (C),0";
        }
    }

    // Block input: BC addresses the port before B counts down; block output after.
    for (int op : {0xA2, 0xAA, 0xB2, 0xBA}) {
        load({0xED, op});
        z80.bc.w = 0x0510;
        z80.hl.w = 0x9000;
        run_one();
        EXPECT_EQ(flat_last_in_port, 0x0510) << op;
        EXPECT_EQ(z80.bc.hi, 4) << op;
    }
    for (int op : {0xA3, 0xAB, 0xB3, 0xBB}) {
        load({0xED, op});
        z80.bc.w = 0x0510;
        z80.hl.w = 0x9000;
        flat_memory[0x9000] = 0x77;
        run_one();
        EXPECT_EQ(flat_last_out_port, 0x0410) << op;
        EXPECT_EQ(flat_last_out_value, 0x77) << op;
    }
}

TEST(Ports, InFKeepsCarryAndStoresNothing)
{
    load({0xED, 0x70});
    z80.af.w = 0x5501;
    z80.bc.w = 0x00FE;  // the flat bus answers 0x00
    const Z80Registers before = z80;
    run_one();
    EXPECT_EQ(z80.af.lo, 0x40 | 0x04 | 0x01);  // Z, even parity, carry kept
    EXPECT_EQ(z80.af.hi, before.af.hi);
    EXPECT_EQ(z80.bc.w, before.bc.w);
    EXPECT_EQ(z80.hl.w, before.hl.w);
}

namespace {
uint16_t pc_at_trap;
void note_trap() { pc_at_trap = z80.pc; }
}  // namespace

TEST(Trap, EdFcCallsTheLoadTrapWithPcPastIt)
{
    load({0xED, 0xFC, 0x00});
    flat_trap_handler = note_trap;
    pc_at_trap = 0;
    EXPECT_EQ(run_one(), 8u);
    flat_trap_handler = nullptr;
    EXPECT_EQ(pc_at_trap, 2);
}
