// Whole listings: the ROM's first page against a listing made without this program, the
// listing's extent for every RAM size, Disassemble to File and the PC log line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "debugger/listing.h"
#include "disasm_test_util.h"

namespace {


bool load_rom(uint8_t* image)
{
    FILE* f = std::fopen(WREN81_SHARED_DIR "/roms/zx81.rom", "rb");
    if (!f) return false;
    const size_t n = std::fread(image, 1, 8192, f);
    std::fclose(f);
    return n == 8192;
}

std::string listing_text(const Listing& listing)
{
    std::string text = "\n";
    for (const ListingLine* line = listing.first; line; line = line->next) text += line->text + std::string("\n");
    return text;
}

// The ROM's first 256 bytes with routine and system-variable names, disassembled
// and laid out independently of this program.
std::string rom_first_page()
{
    std::string text = "\n";
    if (FILE* f = std::fopen(WREN81_TEST_DATA_DIR "/rom_first_page.txt", "rb")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

TEST(DisassemblerListing, RomFirstPageMatchesAnIndependentListing)
{
    std::memset(test_image, 0, sizeof test_image);
    ASSERT_TRUE(load_rom(test_image)) << "the ROM image is missing from the shared folder";
    Listing* listing = build_listing(test_image, 0x100, DisasmStyle{16, true, true});
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing_text(*listing), rom_first_page());
    EXPECT_EQ(listing->line_count, 164);
    EXPECT_EQ(listing->last->line_number, 164);
    EXPECT_EQ(listing->last->address, 0x00FF);
    free_listing(listing);
}

TEST(DisassemblerListing, ListingEndsAtTheMemoryTopOfEachRamSize)
{
    // Instructions of one to four bytes, repeated: ten bytes, four lines.
    const uint8_t pattern[10] = {0x00, 0x3E, 0x01, 0x21, 0x34, 0x12, 0xDD, 0x21, 0x34, 0x12};
    const uint32_t lengths[4] = {1, 2, 3, 4};
    for (uint32_t a = 0; a < 0x10000; ++a) test_image[a] = pattern[a % 10];
    for (uint32_t top : {0x4400u, 0x4800u, 0x5000u, 0x6000u, 0x8000u, 0xC000u, 0x10000u}) {
        int expected = 0;
        uint32_t last_start = 0;
        for (uint32_t a = 0; a < top; a += lengths[expected++ % 4]) last_start = a;
        Listing* listing = build_listing(test_image, top, disasm_hex);
        ASSERT_NE(listing, nullptr);
        EXPECT_EQ(listing->line_count, expected) << std::hex << top;
        EXPECT_EQ(listing->last->address, last_start) << std::hex << top;
        int walked = 0;
        for (const ListingLine* line = listing->first; line; line = line->next)
            if (line->line_number != ++walked) break;
        EXPECT_EQ(walked, expected) << std::hex << top;
        free_listing(listing);
    }
    Listing* empty = build_listing(test_image, 0, disasm_hex);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->line_count, 0);
    EXPECT_EQ(empty->first, nullptr);
    free_listing(empty);
}

uint8_t peek_test_image(uint16_t address) { return test_image[address]; }

constexpr DisasmStyle file_decimal = {10, false, false};

std::string file_lines(long start, long end, const DisasmStyle& style, long* count = nullptr)
{
    std::string text;
    const long n = disassemble_range(text, peek_test_image, start, end, style);
    if (count) *count = n;
    return text;
}

TEST(DisassembleToFile, WritesTheRangeWithWholeInstructions)
{
    std::memset(test_image, 0, sizeof test_image);
    ASSERT_TRUE(load_rom(test_image));
    // Decimal by default: decimal addresses and operands, hexadecimal bytes.
    EXPECT_EQ(file_lines(0, 0, file_decimal), "0  D3FD     OUT   (253),A\n");
    // The instruction starting at the end address is written whole.
    EXPECT_EQ(file_lines(0, 5, DisasmStyle{16, true, false}),
              "0000  D3FD     OUT   (#FD),A\n"
              "0002  01FF7F   LD    BC,#7FFF\n"
              "0005  C3CB03   JP    RAM-CHECK\n");
    EXPECT_EQ(file_lines(8, 8, DisasmStyle{10, false, true}), "8  2A1640   LD    HL,(CH_ADD)\n");
    // The top of memory ends the range whatever the last instruction's length.
    test_image[0xFFFE] = 0x21;
    long count = 0;
    EXPECT_EQ(file_lines(0xFFFE, 0xFFFF, disasm_hex, &count), "FFFE  210000   LD    HL,#0000\n");
    EXPECT_EQ(count, 1);
}

TEST(DisassembleToFile, EmptyAndInvalidRangesWriteNothing)
{
    long count = -2;
    EXPECT_EQ(file_lines(100, 99, file_decimal, &count), "");
    EXPECT_EQ(count, 0);
    for (auto range : {std::pair<long, long>{100, 98}, {65536, 65536}, {0, 65536}, {-1, 5}}) {
        EXPECT_EQ(file_lines(range.first, range.second, file_decimal, &count), "");
        EXPECT_EQ(count, -1) << range.first << ".." << range.second;
    }
}

TEST(DisassembleToFile, FileGetsTheSameLinesAfterWhatItHeld)
{
    std::memset(test_image, 0, sizeof test_image);
    ASSERT_TRUE(load_rom(test_image));
    const DisasmStyle style = {16, true, true};
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fputs("earlier content\n", f);
    const long count = disassemble_range(f, peek_test_image, 0x0000, 0x0400, style);
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;) text += char(c);
    std::fclose(f);
    long string_count = 0;
    EXPECT_EQ(text, "earlier content\n" + file_lines(0x0000, 0x0400, style, &string_count));
    EXPECT_EQ(count, string_count);
    EXPECT_GT(count, 300);
}

TEST(AddressText, HashOrDollarForHexadecimal)
{
    long v = -1;
    EXPECT_TRUE(parse_address_text("#4000", v));
    EXPECT_EQ(v, 0x4000);
    EXPECT_TRUE(parse_address_text("$ff", v));
    EXPECT_EQ(v, 255);
    EXPECT_TRUE(parse_address_text("0x10", v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(parse_address_text(" 16384 ", v));
    EXPECT_EQ(v, 16384);
    EXPECT_TRUE(parse_address_text("65536", v));  // parsed; the range check refuses it
    EXPECT_EQ(v, 65536);
    for (const char* bad : {"", "#", "12G", "-1", "4000h", "#123456789", "1 2"})
        EXPECT_FALSE(parse_address_text(bad, v)) << bad;
}

TEST(PcLog, OneLinePerInstructionWithRegistersAndTstates)
{
    char line[96];
    format_pc_log_line(line, sizeof line, 0x0038, 0x4016, 123, "DEC   C");
    EXPECT_STREQ(line, "PC = 0038  HL = 4016  tstate = 00123  DEC   C\n");

    std::memset(test_image, 0, sizeof test_image);
    ASSERT_TRUE(load_rom(test_image));
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    write_pc_log_line(f, peek_test_image, 0x0005, 0xFFFF, 64583, true, false);
    write_pc_log_line(f, peek_test_image, 0x0008, 0x0000, 0, false, true);
    std::rewind(f);
    char text[256] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_EQ(std::string(text, n),
              "PC = 0005  HL = FFFF  tstate = 64583  JP    RAM-CHECK\n"
              "PC = 0008  HL = 0000  tstate = 00000  LD    HL,(CH_ADD)\n");
}

}  // namespace
