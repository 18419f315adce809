// Whole listings: the ROM's first page against a listing made without this program, the
// listing's extent for every RAM size, Disassemble to File (the CLI writes a range
// to a file end to end) and the PC log line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "debugger/disassembler.h"
#include "debugger/listing.h"
#include "tests/file_helpers.h"

namespace {

uint8_t image[65536];
uint8_t peek_image(uint16_t address) { return image[address]; }

// The image holds the ROM and nothing else.
bool load_rom()
{
    const std::string rom = read_whole_file(WREN81_SHARED_DIR "/roms/zx81.rom");
    std::memset(image, 0, sizeof image);
    std::memcpy(image, rom.data(), std::min<size_t>(rom.size(), 8192));
    return rom.size() == 8192;
}

// What Disassemble to File writes for the range, and the line count it returns.
std::string file_lines(long start, long end, const DisasmStyle& style, long* count = nullptr)
{
    std::string text;
    const long n = disassemble_range(text, peek_image, start, end, style);
    if (count) *count = n;
    return text;
}

TEST(DisassemblerListing, RomFirstPageMatchesAnIndependentListing)
{
    ASSERT_TRUE(load_rom()) << "the ROM image is missing from the shared folder";
    Listing* listing = build_listing(image, 0x100, DisasmStyle{16, true, true});
    ASSERT_NE(listing, nullptr);
    std::string text;
    for (const ListingLine* line = listing->first; line; line = line->next) text += line->text + std::string("\n");
    // The ROM's first 256 bytes with routine and system-variable names, disassembled
    // and laid out independently of this program.
    EXPECT_EQ(text, read_whole_file(WREN81_TEST_DATA_DIR "/rom_first_page.txt"));
    EXPECT_EQ(listing->line_count, 164);
    EXPECT_EQ(listing->last->line_number, 164);
    free_listing(listing);
}

TEST(DisassemblerListing, ListingEndsAtTheMemoryTopOfEachRamSize)
{
    // Instructions of one to four bytes, repeated: ten bytes, four lines.
    const uint8_t pattern[10] = {0x00, 0x3E, 0x01, 0x21, 0x34, 0x12, 0xDD, 0x21, 0x34, 0x12};
    for (uint32_t a = 0; a < 0x10000; ++a) image[a] = pattern[a % 10];
    for (uint32_t top : {0u, 0x4400u, 0x4800u, 0x5000u, 0x6000u, 0x8000u, 0xC000u, 0x10000u}) {
        int expected = 0;
        uint32_t last_start = 0;
        for (uint32_t a = 0; a < top; a += uint32_t(expected++ % 4 + 1)) last_start = a;
        Listing* listing = build_listing(image, top, disasm_hex);
        ASSERT_NE(listing, nullptr);
        EXPECT_EQ(listing->line_count, expected) << std::hex << top;
        EXPECT_EQ(listing->last ? listing->last->address : 0u, last_start) << std::hex << top;
        free_listing(listing);
    }
}

TEST(DisassembleToFile, WritesWholeInstructionsUpToTheTopAndNothingForABadRange)
{
    ASSERT_TRUE(load_rom());
    // Decimal by default: decimal addresses and operands, hexadecimal bytes.
    EXPECT_EQ(file_lines(0, 0, {10, false, false}), "0  D3FD     OUT   (253),A\n");
    EXPECT_EQ(file_lines(8, 8, {10, false, true}), "8  2A1640   LD    HL,(CH_ADD)\n");
    // The top of memory ends the range whatever the last instruction's length.
    image[0xFFFE] = 0x21;
    long count = 0;
    EXPECT_EQ(file_lines(0xFFFE, 0xFFFF, disasm_hex, &count), "FFFE  210000   LD    HL,#0000\n");
    EXPECT_EQ(count, 1);

    // Empty and invalid ranges write nothing.
    EXPECT_EQ(file_lines(100, 99, disasm_hex, &count), "");
    EXPECT_EQ(count, 0);
    for (auto range : {std::pair<long, long>{100, 98}, {65536, 65536}, {0, 65536}, {-1, 5}}) {
        EXPECT_EQ(file_lines(range.first, range.second, disasm_hex, &count), "");
        EXPECT_EQ(count, -1) << range.first << ".." << range.second;
    }
}

TEST(AddressText, HashOrDollarForHexadecimal)
{
    const std::pair<const char*, long> good[] = {{"#4000", 0x4000}, {"$ff", 255}, {"0x10", 16},
                                                 {" 16384 ", 16384}, {"65536", 65536}};  // the range check refuses it
    for (const auto& [text, value] : good) {
        long v = -1;
        EXPECT_TRUE(parse_address_text(text, v)) << text;
        EXPECT_EQ(v, value) << text;
    }
    long v;
    for (const char* bad : {"", "#", "12G", "-1", "4000h", "#123456789", "1 2"})
        EXPECT_FALSE(parse_address_text(bad, v)) << bad;
}

TEST(PcLog, OneLinePerInstructionWithRegistersAndTstates)
{
    ASSERT_TRUE(load_rom());
    const std::string path = ::testing::TempDir() + "wren81_pc_log_lines.txt";
    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    write_pc_log_line(f, peek_image, 0x0005, 0xFFFF, 64583, true, false);
    write_pc_log_line(f, peek_image, 0x0038, 0x4016, 123, false, false);
    write_pc_log_line(f, peek_image, 0x0008, 0x0000, 0, false, true);
    std::fclose(f);
    EXPECT_EQ(read_whole_file(path),
              "PC = 0005  HL = FFFF  tstate = 64583  JP    RAM-CHECK\n"
              "PC = 0038  HL = 4016  tstate = 00123  DEC   C\n"
              "PC = 0008  HL = 0000  tstate = 00000  LD    HL,(CH_ADD)\n");
    std::remove(path.c_str());
}

}  // namespace
