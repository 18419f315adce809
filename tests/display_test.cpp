// The picture: display-file fetches turned into pixels, the sync generators, the
// row counter and the frame ends.
#include <algorithm>
#include <tuple>
#include <vector>

#include "machine_fixture.h"

namespace {

class DisplayTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        hsync_generator_on = 1;  // as after the ROM's first OUT
    }
    // Runs one scanline from `pc`, with a fresh line timer and no sync pending.
    void run_fresh_line(uint16_t pc)
    {
        z80.pc = pc, line_end = line_end_none, sync_length = 0, line_tstates_left = 207;
        run_scanline();
    }
    // The pattern drawn for display-file byte `b` on `row` (1 = black) in pixels 8-15.
    uint8_t shown_pattern(uint8_t b, int row = 0)
    {
        std::memset(memory + 0x4400, 0x01, 64);
        memory[0x4400] = b;
        row_counter = row;
        run_fresh_line(0xC400);
        uint8_t pattern = 0;
        for (int k = 8; k < 16; ++k) pattern = uint8_t(pattern << 1 | (scanline_pixels[k] == black_colour));
        return pattern;
    }
};

TEST_F(DisplayTest, CharacterGeneratorsAndHiresCardsChooseThePattern)
{
    const uint8_t font[8] = {0x81, 0x42, 0x24, 0x18, 0xF0, 0x0F, 0xAA, 0x55};
    std::memcpy(rom_image + 0x1E00, font, 8);
    z80.i = 0x1E;
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(shown_pattern(0x00, row), font[row]) << "row " << row;
        EXPECT_EQ(shown_pattern(0x80, row), uint8_t(~font[row])) << "row " << row;
    }
    memory[0x4400] = 0x00;
    EXPECT_EQ(fetch_opcode(0xC400), 0x00);  // a character, whatever its pattern, is executed as a NOP
    memory[0x4400] = 0x76;
    EXPECT_EQ(fetch_opcode(0xC400), 0x76);  // bit 6 set: executed, nothing drawn
    z80.i = 0x40;                           // patterns above the ROM: a black block
    EXPECT_EQ(shown_pattern(0x00), 0xFF);
    EXPECT_EQ(shown_pattern(0x80), 0x00);

    opt_model_type = 6;  // 48K, so that 0x8000 is RAM of its own
    set_ram_top();
    chr_generator = chr_chr16;  // 128 characters from RAM with I at 0x80-0xBF
    z80.i = 0x80;
    memory[0x8000 + 0x41 * 8] = 0x18;
    EXPECT_EQ(shown_pattern(0x81), uint8_t(~0x18));
    z80.i = 0xC0;
    EXPECT_EQ(shown_pattern(0x01), 0xFF);

    chr_generator = chr_quicksilva;  // its own RAM once that has been written
    z80.i = 0x1E;
    EXPECT_EQ(shown_pattern(0x00), font[0]);
    write_byte(0x8400 + 0x41 * 8, 0x66);
    EXPECT_EQ(shown_pattern(0x81), uint8_t(~0x66));
    chr_generator = chr_none;

    hires_card = hires_wrx;  // pattern address from I and R before the fetch
    z80.i = 0x50, z80.r = 0x10;
    memory[0x5010] = 0x99;
    EXPECT_EQ(shown_pattern(0x00), 0x99);
    hires_card = hires_g007;  // with I odd, the display-file byte itself
    z80.i = 0x1F;
    EXPECT_EQ(shown_pattern(0x2C), 0x2C);

    hires_card = hires_none;
    opt_M1Not = 49152;  // with the M1Not circuit 0x8000-0xBFFF is ordinary memory
    memory[0x8000] = 0x05;
    EXPECT_EQ(fetch_opcode(0x8000), 0x05);
}

TEST_F(DisplayTest, BatchedFetchesDrawWhatSingleOnesDraw)
{
    // Stretches of one character (plain, inverse, blank) and mixed ones, which the
    // batches take eight and whole words at a time, against one fetch at a time.
    for (int i = 0; i < 64 * 8; ++i) rom_image[0x1E00 + i] = uint8_t(i * 37 + 11);
    std::memset(rom_image + 0x1E00, 0, 8);  // code 0, the space, blank
    auto repeat = [](std::initializer_list<std::pair<uint8_t, int>> runs) {
        std::vector<uint8_t> row;
        for (auto [b, n] : runs) row.insert(row.end(), n, b);
        return row;
    };
    const std::vector<uint8_t> rows[] = {
        repeat({{0x05, 24}, {0x85, 16}, {0x76, 1}}), repeat({{0x01, 1}, {0x00, 25}, {0x80, 8}, {0x76, 1}}),
        {0x07, 0x87, 0x09, 0x3F, 0xBF, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x12, 0x92, 0x12, 0x12, 0x12,
         0x12, 0x12, 0x12, 0x12, 0x12, 0x76}};
    z80.i = 0x1E;
    // What a line leaves from `pc`, run in batches or one instruction at a time.
    auto line = [&](uint16_t pc, int counter, bool batched) {
        per_instruction_duties = fetch_runs_barred = !batched;
        row_counter = counter, shift_register = inverse_register = 0, tstates = 0;
        z80.r = 0, z80.iff1 = z80.halted = 0, int_pending = 0;  // no interrupt to cut the batches short
        run_fresh_line(pc);
        std::vector<uint32_t> seen(scanline_pixels, scanline_pixels + pixel_count);
        seen.insert(seen.end(), {z80.pc, tstates, shift_register, inverse_register, z80.bc.w});
        return seen;
    };
    for (const auto& row : rows)
        for (int counter = 0; counter < 8; counter += 3) {
            std::copy(row.begin(), row.end(), memory + 0x4400);
            EXPECT_EQ(line(0xC400, counter, true), line(0xC400, counter, false)) << "row " << int(row[0]) << ", line " << counter;
        }
    // CB at 0x7FFF: the second opcode byte is a display fetch from 0x8000 (the RAM at
    // 0x4000 on a 16K machine), whose pattern is drawn, after NOPs batched or not.
    std::memset(memory + 0x7FF0, 0x00, 15);
    memory[0x7FFF] = 0xCB, memory[0x4000] = 0x05, memory[0x4001] = 0x76;
    const std::vector<uint32_t> batched = line(0x7FF0, 2, true);
    EXPECT_EQ(batched, line(0x7FF0, 2, false));
    EXPECT_NE(std::count(batched.begin(), batched.end(), black_colour), 0) << "the pattern is drawn";
    per_instruction_duties = fetch_runs_barred = 0;
}

TEST_F(DisplayTest, QuietRunsWriteAndReadWhereSingleInstructionsDo)
{
    rom_image[0x1000] = 0x77;
    load_code(0x4000, {0x3E, 0x5A,        // LD A,0x5A
                       0x32, 0x00, 0x10,  // LD (0x1000),A: the ROM keeps its byte
                       0x32, 0x23, 0x81,  // LD (0x8123),A: above the 16K top, folds to 0x4123
                       0x3A, 0x00, 0x10,  // LD A,(0x1000)
                       0x47,              // LD B,A
                       0x3A, 0x23, 0x41,  // LD A,(0x4123)
                       0x4F});            // LD C,A; then NOPs
    auto line = [&](bool quiet) {
        memory[0x4123] = 0;
        per_instruction_duties = !quiet;
        fast_mode = 1;  // no sound samples to stop a run
        tstates = 0, z80.iff1 = 0, int_pending = 0;
        run_fresh_line(0x4000);
        per_instruction_duties = fast_mode = 0;
        return std::vector<uint32_t>{z80.bc.w, memory[0x4123], rom_image[0x1000], z80.pc, tstates};
    };
    const std::vector<uint32_t> quiet = line(true);
    EXPECT_EQ(quiet, line(false));
    EXPECT_EQ(quiet[0], 0x775Au);
    EXPECT_EQ(quiet[1], 0x5Au);
    EXPECT_EQ(quiet[2], 0x77u);
}

TEST_F(DisplayTest, VerticalSyncStopsTheLinesAndRestartsTheRowCounter)
{
    load_code(0x4000, {0xDB, 0xFE});  // IN A,(0xFE), then NOPs
    nmi_generator_on = 1;             // no vertical sync while the NMI generator runs
    run_fresh_line(0x4000);
    EXPECT_EQ(scanline_pixels[40], picture_colour);
    EXPECT_EQ(line_end, line_end_hsync);

    load_code(0x4000, {0xDB, 0xFE, 0xD3, 0xFF});  // IN A,(0xFE); OUT (0xFF),A
    nmi_generator_on = 0;
    row_counter = 5;
    run_fresh_line(0x4000);
    EXPECT_EQ(scanline_pixels[26], black_colour);  // the sync level between IN and OUT
    EXPECT_EQ(line_end, line_end_vsync);
    EXPECT_EQ(line_tstates_left, 207);  // the line timer restarts with the sync's end
    std::vector<int> rows{row_counter};  // the row counter at successive HSYNC points
    for (int line = 0; line < 12; ++line) {
        store_scanline();
        run_scanline();
        if (row_counter != rows.back()) rows.push_back(row_counter);
    }
    ASSERT_GE(rows.size(), 10u);
    EXPECT_EQ(std::vector<int>(rows.begin(), rows.begin() + 10), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0, 1}));
}

TEST_F(DisplayTest, OnlyALongVerticalSyncLateInTheFrameEndsIt)
{
    // The sync lasts the IN's 11 T-states and the NOPs; it must pass 290 pixels.
    for (auto [nops, start_line, frame_ends] : {std::tuple{73, 299, true}, {47, 299, false}, {73, 249, false}}) {
        std::memset(memory + 0x4000, 0, 0x200);
        load_code(0x4000, {0xDB, 0xFE});
        load_code(uint16_t(0x4002 + nops), {0xD3, 0xFF});
        z80.pc = 0x4000, scanline = uint16_t(start_line), column = 0;
        for (int guard = 0; guard < 100 && z80.pc <= 0x4003 + nops; ++guard) run_scanline(), store_scanline();
        EXPECT_EQ(scanline == 0, frame_ends) << nops << " NOPs at line " << start_line;
    }
}

TEST_F(DisplayTest, HorizontalHoldDecidesWhereALineStartsInTheFrame)
{
    for (int hold : {0, 8, 9}) {
        horizontal_hold = hold;
        apply_display_holds();
        scanline = 10, column = 0;
        run_fresh_line(0x4000);  // NOPs: a 414-pixel line
        store_scanline();
        EXPECT_EQ(scanline, hold < 9 ? 11 : 10) << "hold " << hold;
        EXPECT_EQ(column, hold < 9 ? 0 : 414) << "hold " << hold;
    }
}

TEST_F(DisplayTest, NmiHoldsAHaltedCpuToTheNextLine)
{
    load_code(0x4000, {0x76});  // HALT
    z80.pc = 0x4000;
    nmi_generator_on = 1;
    line_tstates_left = 199;  // the HSYNC point comes at pixel 400
    run_scanline();
    // 50 HALT steps, then the NMI: 11 wait states and 4 more.
    EXPECT_EQ(tstates, 200u + 15u);
    EXPECT_EQ(z80.pc, 0x0066);
    EXPECT_EQ(line_tstates_left, 207 - 16);
    store_scanline();
    run_scanline();
    // The NMI's 16 T-states past the HSYNC point open the next line: a full line again.
    EXPECT_EQ(pixel_count, longest_scanline);
}

}  // namespace
