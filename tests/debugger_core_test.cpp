// The debugger's stepping, runs, breakpoints and PC log on the real ROM and on
// short programs in RAM, as the debugger's user sees them: where the machine stops,
// what it has done by then, and what the log holds.
#include <cstdio>
#include <fstream>

#include "core/machine_state.h"
#include "debugger/breakpoints.h"
#include "debugger/debugger.h"
#include "debugger/pc_log.h"
#include "machine_fixture.h"

namespace {

constexpr uint16_t keyboard_routine = 0x02BB;  // KEYBOARD, called once a frame at the K cursor

std::vector<uint16_t> pcs_at_hits;
void note_hit(int) { pcs_at_hits.push_back(z80.pc); }

void reset_debugger()
{
    clear_breakpoints();
    stop_pc_log();
    run_flag = false;
    for (bool& armed : armed_opcodes) armed = false;
    headless_breakpoint_hits = 0;
    headless_last_breakpoint = -1;
    headless_breakpoint_report = note_hit;
    headless_stop_after_polls = -1;
    pcs_at_hits.clear();
}

void add(const std::string& spec)
{
    std::string message;
    ASSERT_TRUE(add_breakpoint_spec(spec, message)) << spec << ": " << message;
}

// Runs whole frames, carrying on after each breakpoint stop, until `frames` more have completed.
void run_whole_frames(uint32_t frames)
{
    const uint32_t end = frames_run + frames;
    for (int calls = 0; frames_run < end && calls < 100000; ++calls) run_frame();
}

class DebuggerRam : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        reset_debugger();
    }
    void TearDown() override { reset_debugger(); }
};

class DebuggerRom : public DebuggerRam {
protected:
    void SetUp() override
    {
        DebuggerRam::SetUp();
        headless_foreground = false;
        ASSERT_EQ(machine_init(shared_rom_folder()), 0);
        for (int i = 0; i < 200; ++i) run_frame();  // the K cursor
    }
    void TearDown() override
    {
        DebuggerRam::TearDown();
        headless_foreground = true;
    }
};

TEST_F(DebuggerRom, ABreakpointOnTheKeyboardRoutineStopsTheFrameLoopThereAndItCarriesOnAsIfNeverStopped)
{
    const uint32_t first_frame = frames_run;
    add("#02BB if A<>A");                                  // false: never fires
    add("$2BB if (IY+0)=#FF and SP>#4000 or FRAMES<0");  // ERR_NR at IY: #FF, no error
    run_frame();
    ASSERT_EQ(headless_breakpoint_hits, 1);
    EXPECT_EQ(headless_last_breakpoint, 1);
    EXPECT_EQ(z80.pc, keyboard_routine);  // stopped where it fired, before the routine runs
    EXPECT_LT(tstates, frame_length);     // inside the frame
    EXPECT_EQ(breakpoints[1].hits, 1u);

    // Stopped once a frame, the machine ends up exactly where an unstopped one does.
    run_whole_frames(30);
    EXPECT_GE(headless_breakpoint_hits, 30);
    EXPECT_EQ(breakpoints[0].hits, 0u);
    EXPECT_EQ(breakpoints[1].hits, uint32_t(headless_breakpoint_hits));
    for (uint16_t pc : pcs_at_hits) EXPECT_EQ(pc, keyboard_routine);
    const Z80Registers stopped = z80;
    const uint32_t stopped_tstates = tstates, frames = frames_run - first_frame;
    std::vector<uint32_t> stopped_picture(frame_buffer, frame_buffer + frame_buffer_width * frame_buffer_height);

    clear_breakpoints();
    ASSERT_EQ(machine_init(shared_rom_folder()), 0);
    for (uint32_t i = 0; i < 200 + frames; ++i) run_frame();
    EXPECT_EQ(std::memcmp(&stopped, &z80, sizeof z80), 0);
    EXPECT_EQ(tstates, stopped_tstates);
    EXPECT_TRUE(std::equal(stopped_picture.begin(), stopped_picture.end(), frame_buffer));
}

TEST_F(DebuggerRom, AWriteWatchpointOnTheScreensFirstCharacterFiresWhenPrintWritesThere)
{
    const uint16_t first_character = uint16_t((peek_byte(0x400C) | peek_byte(0x400D) << 8) + 1);  // D_FILE + 1
    type_keys("P^PA^P", 10, run_frame);                                // PRINT "A"
    ASSERT_EQ(peek_byte(first_character), 0x00);
    add("write " + std::to_string(first_character));
    type_keys("\n", 0, [] { run_whole_frames(1); });
    run_whole_frames(20);
    ASSERT_FALSE(pcs_at_hits.empty());
    EXPECT_LT(pcs_at_hits[0], 0x2000);  // the ROM's print routine
    EXPECT_EQ(peek_byte(first_character), 0x26);  // "A", written by the instruction before the stop
}

TEST_F(DebuggerRom, StepOverRunsTheCalledRoutineAndStepOutLeavesItAtItsReturn)
{
    // CALL KEYBOARD from free RAM, with A held down: the routine reads the keys into HL.
    load_code(0x6000, {0xCD, 0xBB, 0x02});
    key_matrix[1] &= 0xFE;
    z80.pc = 0x6000;
    const uint16_t sp = z80.sp;
    z80.hl.w = 0;
    const uint32_t tstates_before = tstates;
    step_over();
    EXPECT_EQ(z80.pc, 0x6003);
    EXPECT_EQ(z80.sp, sp);
    EXPECT_NE(z80.hl.w, 0xFFFF);                     // the key held, where no key reads as #FFFF
    EXPECT_GT(tstates - tstates_before, 17u + 10u);  // the CALL, the routine and its RET ran

    release_all_keys();
    z80.pc = 0x6000;
    single_step();  // into the routine
    ASSERT_EQ(z80.pc, keyboard_routine);
    ASSERT_EQ(z80.sp, sp - 2);
    step_out();
    EXPECT_EQ(z80.pc, 0x6003);
    EXPECT_EQ(z80.sp, sp);
    EXPECT_EQ(z80.hl.w, 0xFFFF);  // no key
}

TEST_F(DebuggerRom, SpecifiedTStateStopsAtTheFirstInstructionBoundaryAtOrAfterIt)
{
    add("#02BB");  // stopped inside a frame, as a user's breakpoint leaves it
    run_frame();
    ASSERT_EQ(z80.pc, keyboard_routine);
    clear_breakpoints();
    const uint32_t frames = frames_run;
    run_until_tstate(40000);
    EXPECT_EQ(frames_run, frames + 1);  // the rest of this frame, then into the next
    EXPECT_LT(instr_start_tstates, 40000u);
    EXPECT_GE(tstates, 40000u);

    // Past the frame's length it runs to the next frame's end.
    run_until_tstate(70000);
    EXPECT_EQ(frames_run, frames + 3);
    EXPECT_LT(tstates, 100u);

    // Stopped inside the vertical sync (NMIs off), stepping on through the OUT that
    // turns them on again leaves a machine in SLOW mode that still shows its frames.
    ASSERT_TRUE(run_until_port(false, 0xFE, 3));
    ASSERT_FALSE(nmi_generator_on);
    run_until_tstate(40000);
    EXPECT_TRUE(run_until_port(false, 0xFE, 3)) << "the ROM waits for a display that never comes";
}

TEST_F(DebuggerRam, RunsStopAtBreakpointsAndOnAnArmedHaltBeforeItRunsAndStepsBringTheCounterBackAtTheFrameEnd)
{
    // LD B,0 / DJNZ $ (256 turns) / HALT, in RAM
    load_code(0x4000, {0x06, 0x00, 0x10, 0xFE, 0x76});
    z80.pc = 0x4000;
    add("#4002 if B=#80");  // a breakpoint stops a run too
    run_to_end_of_frame();
    EXPECT_EQ(z80.pc, 0x4002);
    EXPECT_EQ(z80.bc.hi, 0x80);
    EXPECT_LT(tstates, frame_length);
    clear_breakpoints();

    arm_opcode(arm_halt);
    while (run_flag) run_flag = run_one_frame();
    EXPECT_EQ(z80.pc, 0x4004);
    EXPECT_EQ(z80.halted, 0);
    EXPECT_FALSE(armed_opcodes[arm_halt]);

    // A Single Step across the frame's end brings the counter back below the frame length.
    single_step();
    ASSERT_EQ(z80.halted, 1);
    tstates = frame_length - 2;
    single_step();
    EXPECT_LT(tstates, frame_length);
}

TEST_F(DebuggerRam, ConditionsReadRegistersMemoryAndCountersAndMalformedOnesNameTheFault)
{
    // NOP at 0: a breakpoint at 1 is checked after it, with these registers.
    z80.af.hi = 0x12, z80.hl.w = 0x4010, z80.ix.w = 0x4020, z80.iy.w = 0x4030, z80.bc_alt.w = 0xBEEF;
    z80.i = 0x1E, z80.r = 0x05, z80.r7 = 0x80;
    memory[0x4010] = 0x34, memory[0x4022] = 0x56, memory[0x402F] = 0x78, memory[0x5000] = 0x9A;
    const std::pair<const char*, bool> cases[] = {
        {"a=#12", true},           {"A = 18", true},           {"A<>$12", false},          {"(HL)=#34", true},
        {"(IX+2)=#56", true},      {"(iy-1)=#78", true},       {"(#5000)=154", true},      {"BC'=#BEEF", true},
        {"R=#86", true},           {"I>=#1E AND I<=#1E", true}, {"A<#12", false},          {"A>#11", true},
        {"A=1 OR HL=#4010", true}, {"(A=1 OR A=2) AND PC=1", false}, {"TSTATES>0", true},  {"PC=1", true},
    };
    for (const auto& [condition, fires] : cases) {
        clear_breakpoints();
        std::string message;
        ASSERT_TRUE(add_breakpoint(break_execute, "1", condition, message)) << condition << ": " << message;
        z80.pc = 0, z80.r = 0x05;
        headless_breakpoint_hits = 0;
        execute_instruction();
        EXPECT_EQ(headless_breakpoint_hits, fires ? 1 : 0) << condition;
    }

    const std::pair<const char*, const char*> faults[] = {
        {"Q=1", "unknown register 'Q'"},   {"(A=1", "expected ')'"},    {"A=", "expected a number"},
        {"A 1", "expected =, <>"},         {"A=#", "hexadecimal"},      {"A=1 B=2", "expected AND or OR"},
        {"A=1)", "unmatched ')'"},         {"A=99999999999", "too large"}, {"(IX+)=1", "(IX+d)"},
    };
    for (const auto& [condition, fault] : faults) {
        std::string message;
        EXPECT_FALSE(add_breakpoint(break_execute, "#10", condition, message)) << condition;
        EXPECT_NE(message.find(fault), std::string::npos) << condition << " gave: " << message;
    }
    EXPECT_EQ(breakpoint_count, 1);  // only the last good one of the first table
}

TEST_F(DebuggerRam, TheTableHoldsTwoHundredFiftySixAndAddressTextFollowsTheAddDialog)
{
    std::string message;
    EXPECT_FALSE(add_breakpoint(break_execute, "x12", "", message));  // ignored, no message
    EXPECT_FALSE(add_breakpoint(break_execute, "#10000", "", message));
    EXPECT_TRUE(message.empty());
    ASSERT_TRUE(add_breakpoint(break_write, "$4000-$40FF", "", message));
    EXPECT_EQ(breakpoint_address_text(0), "4000-40FF write");
    ASSERT_TRUE(add_breakpoint(break_port_in, "#FE", "", message));
    ASSERT_TRUE(add_breakpoint(break_port_out, "#1FE", "", message));
    EXPECT_EQ(breakpoint_address_text(2), "01FE out");
    delete_breakpoint(0);
    EXPECT_EQ(breakpoint_address_text(0), "FE in");
    for (int i = breakpoint_count; i < max_breakpoints; ++i) ASSERT_TRUE(add_breakpoint(break_execute, "12", "", message));
    const int errors = headless_error_count;
    EXPECT_FALSE(add_breakpoint(break_execute, "13", "", message));
    EXPECT_EQ(headless_error_count, errors + 1);
    EXPECT_NE(headless_last_error.find("07 - Only 256 breakpoints allowed"), std::string::npos) << headless_last_error;
    EXPECT_EQ(breakpoint_count, max_breakpoints);
}

TEST_F(DebuggerRam, PortWatchpointsAndPortRunsMatchTheLowByteUnlessAFullPortIsGiven)
{
    // LD A,#12 / OUT (#FE),A / IN A,(#FE) / JR back to the OUT, in RAM
    load_code(0x4000, {0x3E, 0x12, 0xD3, 0xFE, 0xDB, 0xFE, 0x18, 0xFA});
    z80.pc = 0x4000;
    add("out #FE");
    add("in #34FE");  // the IN's port is A * 256 + #FE = #12FE: no match
    for (int i = 0; i < 5; ++i) execute_instruction();
    EXPECT_EQ(breakpoints[0].hits, 2u);
    EXPECT_EQ(breakpoints[1].hits, 0u);
    clear_breakpoints();
    z80.pc = 0x4000;
    EXPECT_TRUE(run_until_port(false, 0x12FE, 2));
    EXPECT_EQ(z80.pc, 0x4006);  // just after the IN
    EXPECT_FALSE(run_until_port(false, 0x00FD, 2));
}

TEST_F(DebuggerRom, APortReadRunStopsJustAfterTheRomReadsTheKeyboardFromItsDisplayInterrupt)
{
    // Waiting at the K cursor the ROM reads port #FE only from the display's routines,
    // which a machine stepped without its NMIs never reaches.
    ASSERT_TRUE(run_until_port(false, 0xFE, 3));
    EXPECT_GT(z80.pc, keyboard_routine);
    EXPECT_LT(z80.pc, 0x02E7);  // inside KEYBOARD, after its IN
    EXPECT_LT(tstates, frame_length);
}

TEST_F(DebuggerRom, APcLogHasALinePerInstructionAndItsSizeQuestionDoublesTheLimit)
{
    EXPECT_FALSE(start_pc_log(::testing::TempDir() + "no/such/folder/x.log", false));  // refused
    EXPECT_FALSE(pc_logging);
    EXPECT_EQ(per_instruction_duties, 0);

    const std::string path = ::testing::TempDir() + "wren81_one_frame.log";
    std::remove(path.c_str());
    ASSERT_TRUE(start_pc_log(path, true));
    run_frame();
    EXPECT_FALSE(pc_log_one_frame);
    run_frame();  // closed: nothing more is written
    std::ifstream log(path);
    std::vector<std::pair<unsigned, unsigned>> lines;  // PC, T-state
    int halts_in_a_row = 0;
    for (std::string line; std::getline(log, line);) {
        unsigned pc = 0, hl = 0, t = 0;
        char mnemonic[64] = "";
        ASSERT_EQ(std::sscanf(line.c_str(), "PC = %4X  HL = %4X  tstate = %5u  %63[^\n]", &pc, &hl, &t, mnemonic), 4)
            << line;
        if (!lines.empty()) {
            EXPECT_GE(t, lines.back().second + 4) << line;
            // A HALT waiting at the end of a display row: every repeat is an instruction of its own.
            if (std::string(mnemonic) == "HALT" && pc == lines.back().first) halts_in_a_row += t - lines.back().second == 4;
        }
        lines.emplace_back(pc, t);
    }
    ASSERT_GT(lines.size(), 5000u);
    // The frame loop ends a frame at the end of a scanline (207 T-states).
    EXPECT_LT(lines.front().second, 250u);
    EXPECT_GT(lines.back().second, frame_length - 250);
    EXPECT_GT(halts_in_a_row, 100);
    std::remove(path.c_str());

    ASSERT_TRUE(start_pc_log(path, false));
    headless_log_questions = 0;
    headless_continue_log = true;
    for (int i = 0; i < 400 && headless_log_questions < 2; ++i) run_frame();  // about 90 KB a frame
    EXPECT_EQ(headless_log_questions, 2);   // at 10 MB, then at 20 MB
    EXPECT_EQ(pc_log_limit_mb, 40);
    headless_continue_log = false;
    while (pc_logging) run_frame();
    EXPECT_EQ(per_instruction_duties, 0);
    std::remove(path.c_str());
}

}  // namespace
