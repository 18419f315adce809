// The picture: display-file fetches turned into pixels, the sync generators, the
// row counter and the frame ends, and the real ROM's own picture.
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
        z80.pc = pc;
        line_end = line_end_none;
        sync_length = 0;
        line_tstates_left = 207;
        run_scanline();
    }
    // The same for the display file at `file`, which the CPU runs 32K higher.
    void run_display_line(uint16_t file) { run_fresh_line(uint16_t(file + 0x8000)); }

    // The eight pixels drawn for the first display-file byte, as a pattern (1 = black).
    uint8_t first_character_pattern()
    {
        uint8_t pattern = 0;
        for (int k = 8; k < 16; ++k) pattern = uint8_t(pattern << 1 | (scanline_pixels[k] == black_colour));
        return pattern;
    }

    // The pattern shown for display-file byte `b`, the rest of the line blank characters.
    uint8_t shown_pattern(uint8_t b)
    {
        std::memset(memory + 0x4400, 0x01, 64);
        memory[0x4400] = b;
        row_counter = 0;
        run_display_line(0x4400);
        return first_character_pattern();
    }

    // Runs whole scanlines until the CPU has passed `address`, storing each one.
    void run_lines_past(uint16_t address)
    {
        for (int guard = 0; guard < 100 && z80.pc <= address; ++guard) {
            run_scanline();
            store_scanline();
        }
    }
};

TEST_F(DisplayTest, CharactersComeFromTheRomFontRowByRow)
{
    const uint8_t font[8] = {0x81, 0x42, 0x24, 0x18, 0xF0, 0x0F, 0xAA, 0x55};
    std::memcpy(rom_image + 0x1E00, font, 8);
    z80.i = 0x1E;
    std::memset(memory + 0x4000, 0x01, 64);  // character 1 is blank in this font
    memory[0x4000] = 0x00;
    memory[0x4001] = 0x80;  // the same character inverted
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(row_counter, row);
        run_display_line(0x4000);
        EXPECT_EQ(pixel_count, longest_scanline);
        EXPECT_EQ(first_character_pattern(), font[row]) << "row " << row;
        for (int k = 0; k < 8; ++k) {
            const bool lit = (font[row] >> (7 - k)) & 1;
            EXPECT_EQ(scanline_pixels[16 + k], lit ? picture_colour : black_colour) << "row " << row;
            EXPECT_EQ(scanline_pixels[24 + k], picture_colour);
        }
    }
    EXPECT_EQ(row_counter, 0);

    // A byte with bit 6 set is executed, and draws nothing.
    memory[0x4000] = 0x76;
    const uint32_t shift_before = shift_register;
    EXPECT_EQ(fetch_opcode(0xC000), 0x76);
    EXPECT_EQ(shift_register, shift_before);
    EXPECT_EQ(fetch_opcode(0xC001), 0x00);  // a character is executed as a NOP
}

TEST_F(DisplayTest, CharacterGeneratorsAndHiresCardsChooseThePattern)
{
    opt_model_type = 6;
    set_ram_top();
    rom_image[0x1E08] = 0x3C;
    z80.i = 0x1E;
    EXPECT_EQ(shown_pattern(0x01), 0x3C);
    EXPECT_EQ(shown_pattern(0x81), 0xC3);
    z80.i = 0x40;  // patterns above the ROM: a black block
    EXPECT_EQ(shown_pattern(0x01), 0xFF);
    EXPECT_EQ(shown_pattern(0x81), 0x00);

    // CHR$16 reads 128 characters from RAM with I at 0x80-0xBF.
    chr_generator = chr_chr16;
    z80.i = 0x80;
    memory[0x8000 + 0x41 * 8] = 0x18;
    EXPECT_EQ(shown_pattern(0x81), uint8_t(~0x18));
    z80.i = 0xC0;
    EXPECT_EQ(shown_pattern(0x01), 0xFF);

    // The Quicksilva board switches to its own RAM once it has been written.
    chr_generator = chr_quicksilva;
    z80.i = 0x1E;
    EXPECT_EQ(shown_pattern(0x01), 0x3C);
    write_byte(0x8400 + 0x41 * 8, 0x66);
    EXPECT_EQ(shown_pattern(0x81), uint8_t(~0x66));
    chr_generator = chr_none;

    // Pseudo hi-res: the pattern address is I and the refresh counter before the fetch.
    hires_card = hires_wrx;
    z80.i = 0x50;
    z80.r = 0x10;
    memory[0x5010] = 0x99;
    EXPECT_EQ(shown_pattern(0x00), 0x99);

    // G007 with I odd draws the display-file byte itself.
    hires_card = hires_g007;
    z80.i = 0x1F;
    EXPECT_EQ(shown_pattern(0x2C), 0x2C);
}

TEST_F(DisplayTest, M1NotCircuitMovesTheDisplayAreaUp)
{
    memory[0x4000] = 0x05;
    EXPECT_EQ(fetch_opcode(0x8000), 0x00);
    opt_M1Not = 49152;
    EXPECT_EQ(fetch_opcode(0x8000), 0x05);  // an ordinary fetch, folded onto 0x4000
    EXPECT_EQ(fetch_opcode(0xC000), 0x00);
}

TEST_F(DisplayTest, RowCounterRestartsWhenVerticalSyncEnds)
{
    REQUIRE_Z80_CORE();
    load_code(0x4000, {0xDB, 0xFE, 0xD3, 0xFF});  // IN A,(0xFE); OUT (0xFF),A; then NOPs
    z80.pc = 0x4000;
    row_counter = 5;
    run_lines_past(0x4003);
    EXPECT_EQ(row_counter, 0);
    EXPECT_EQ(line_tstates_left, 207);  // the line timer restarts with the sync's end
    for (int expected : {1, 2, 3, 4, 5, 6, 7, 0, 1}) {
        run_scanline();
        store_scanline();
        EXPECT_EQ(row_counter, expected);
    }
}

TEST_F(DisplayTest, OnlyALongVerticalSyncLateInTheFrameEndsIt)
{
    REQUIRE_Z80_CORE();
    struct Case {
        int nops;        // the sync lasts the IN's 11 T-states and these NOPs
        int start_line;
        bool frame_ends;
    };
    for (const Case c : {Case{73, 299, true}, Case{47, 299, false}, Case{73, 249, false}}) {
        std::memset(memory + 0x4000, 0, 0x200);
        memory[0x4000] = 0xDB;
        memory[0x4001] = 0xFE;
        memory[0x4002 + c.nops] = 0xD3;
        memory[0x4003 + c.nops] = 0xFF;
        z80.pc = 0x4000;
        scanline = uint16_t(c.start_line);
        column = 0;
        run_lines_past(uint16_t(0x4003 + c.nops));
        EXPECT_EQ(scanline == 0, c.frame_ends) << c.nops << " NOPs at line " << c.start_line;
        EXPECT_GT(scanline + 0, c.frame_ends ? -1 : c.start_line);
    }
}

TEST_F(DisplayTest, VerticalSyncIsDrawnBlackUnlessTheNmiGeneratorRuns)
{
    REQUIRE_Z80_CORE();
    for (int nmi_on : {0, 1}) {
        nmi_generator_on = nmi_on;
        hsync_generator_on = 1;
        load_code(0x4000, {0xDB, 0xFE});  // IN A,(0xFE), then NOPs
        run_fresh_line(0x4000);
        // The IN's own pixels are drawn before it acts; the NOPs after it show the level.
        EXPECT_EQ(scanline_pixels[40], nmi_on ? picture_colour : black_colour);
        EXPECT_EQ(line_end != line_end_none, nmi_on == 1);  // no line ends during the sync
    }
}

TEST_F(DisplayTest, NmiHoldsAHaltedCpuToTheNextLine)
{
    REQUIRE_Z80_CORE();
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

TEST_F(DisplayTest, RealRomBootsToTheInverseKCursor)
{
    REQUIRE_Z80_CORE();
    ASSERT_EQ(machine_init(shared_rom_folder()), 0);
    for (int frame = 0; frame < 200; ++frame) run_frame();

    const uint16_t d_file = uint16_t(memory[0x400C] | memory[0x400D] << 8);
    bool cursor_in_file = false;
    for (int i = 0; i < 800 && !cursor_in_file; ++i) cursor_in_file = peek_byte(uint16_t(d_file + i)) == 0xB0;
    EXPECT_TRUE(cursor_in_file);

    // The inverse K: the ROM font's character 0x30 with black and the picture colour swapped.
    const uint8_t* k_font = rom_image + 0x1E00 + 0x30 * 8;
    auto cursor_at = [&](int x, int y) {
        for (int row = 0; row < 8; ++row)
            for (int bit = 0; bit < 8; ++bit) {
                const bool ink = (k_font[row] >> (7 - bit)) & 1;
                const uint32_t want = ink ? picture_colour : black_colour;
                if (frame_buffer[(y + row) * frame_buffer_width + x + bit] != want) return false;
            }
        return true;
    };
    int found_x = -1, found_y = -1;
    for (int y = 0; y + 8 <= visible_height && found_x < 0; ++y)
        for (int x = 0; x + 8 <= visible_width && found_x < 0; ++x)
            if (cursor_at(x, y)) found_x = x, found_y = y;
    EXPECT_GE(found_x, 0);
    EXPECT_GT(found_y, visible_height / 2);  // on the edit line at the bottom

    // Each frame ends on the ROM's vertical sync, so the picture stands still.
    std::vector<uint32_t> before(frame_buffer, frame_buffer + frame_buffer_width * visible_height);
    run_frame();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), frame_buffer));
}

}  // namespace
