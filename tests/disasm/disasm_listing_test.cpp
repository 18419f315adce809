// Whole listings: the ROM's first page against a listing made without this program, the
// listing's extent for every RAM size, Disassemble to File and the PC log line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "debugger/listing.h"
#include "disasm_test_util.h"

namespace {

// The ROM's first 256 bytes with routine and system-variable names, disassembled
// and laid out independently of this program.
const char* const rom_first_page = R"(
0000  D3FD     OUT   (#FD),A
0002  01FF7F   LD    BC,#7FFF
0005  C3CB03   JP    RAM-CHECK
0008  2A1640   LD    HL,(CH_ADD)
000B  221840   LD    (X_PTR),HL
000E  1846     JR    ERROR-2
0010  A7       AND   A
0011  C2F107   JP    NZ,PRINT-CH
0014  C3F507   JP    PRINT-SP
0017  FF       RST   #38
0018  2A1640   LD    HL,(CH_ADD)
001B  7E       LD    A,(HL)
001C  A7       AND   A
001D  C0       RET   NZ
001E  00       NOP
001F  00       NOP
0020  CD4900   CALL  CH-ADD+1
0023  18F7     JR    #001C
0025  FF       RST   #38
0026  FF       RST   #38
0027  FF       RST   #38
0028  C39D19   JP    CALCULATE
002B  F1       POP   AF
002C  D9       EXX
002D  E3       EX    (SP),HL
002E  D9       EXX
002F  C9       RET
0030  C5       PUSH  BC
0031  2A1440   LD    HL,(E_LINE)
0034  E5       PUSH  HL
0035  C38814   JP    RESERVE
0038  0D       DEC   C
0039  C24500   JP    NZ,#0045
003C  E1       POP   HL
003D  05       DEC   B
003E  C8       RET   Z
003F  CBD9     SET   3,C
0041  ED4F     LD    R,A
0043  FB       EI
0044  E9       JP    (HL)
0045  D1       POP   DE
0046  C8       RET   Z
0047  18F8     JR    #0041
0049  2A1640   LD    HL,(CH_ADD)
004C  23       INC   HL
004D  221640   LD    (CH_ADD),HL
0050  7E       LD    A,(HL)
0051  FE7F     CP    #7F
0053  C0       RET   NZ
0054  18F6     JR    #004C
0056  E1       POP   HL
0057  6E       LD    L,(HL)
0058  FD7500   LD    (IY+#00),L
005B  ED7B0240 LD    SP,(ERR_SP)
005F  CD0702   CALL  SLOW/FAST
0062  C3BC14   JP    SET-MEM
0065  FF       RST   #38
0066  08       EX    AF,AF'
0067  3C       INC   A
0068  FA6D00   JP    M,#006D
006B  2802     JR    Z,NMI-CONT
006D  08       EX    AF,AF'
006E  C9       RET
006F  08       EX    AF,AF'
0070  F5       PUSH  AF
0071  C5       PUSH  BC
0072  D5       PUSH  DE
0073  E5       PUSH  HL
0074  2A0C40   LD    HL,(D_FILE)
0077  CBFC     SET   7,H
0079  76       HALT
007A  D3FD     OUT   (#FD),A
007C  DDE9     JP    (IX)
007E  3F       CCF
007F  3D       DEC   A
0080  283B     JR    Z,#00BD
0082  2638     LD    H,#38
0084  29       ADD   HL,HL
0085  2B       DEC   HL
0086  2C       INC   L
0087  363C     LD    (HL),#3C
0089  2A3739   LD    HL,(#3937)
008C  1D       DEC   E
008D  1E1F     LD    E,#1F
008F  2021     JR    NZ,#00B2
0091  1C       INC   E
0092  25       DEC   H
0093  24       INC   H
0094  23       INC   HL
0095  223534   LD    (#3435),HL
0098  2E3A     LD    L,#3A
009A  3E76     LD    A,#76
009C  31302F   LD    SP,#2F30
009F  2D       DEC   L
00A0  00       NOP
00A1  1B       DEC   DE
00A2  323327   LD    (#2733),A
00A5  0E19     LD    C,#19
00A7  0F       RRCA
00A8  18E3     JR    #008D
00AA  E1       POP   HL
00AB  E4E5E2   CALL  PO,#E2E5
00AE  C0       RET   NZ
00AF  D9       EXX
00B0  E0       RET   PO
00B1  DBDD     IN    A,(#DD)
00B3  75       LD    (HL),L
00B4  DADEDF   JP    C,#DFDE
00B7  72       LD    (HL),D
00B8  77       LD    (HL),A
00B9  74       LD    (HL),H
00BA  73       LD    (HL),E
00BB  70       LD    (HL),B
00BC  71       LD    (HL),C
00BD  0B       DEC   BC
00BE  11100D   LD    DE,#0D10
00C1  DC7914   CALL  C,#1479
00C4  15       DEC   D
00C5  16D8     LD    D,#D8
00C7  0C       INC   C
00C8  1A       LD    A,(DE)
00C9  12       LD    (DE),A
00CA  13       INC   DE
00CB  17       RLA
00CC  CDCEC1   CALL  #C1CE
00CF  78       LD    A,B
00D0  CACBCC   JP    Z,#CCCB
00D3  D1       POP   DE
00D4  D2C7C8   JP    NC,#C8C7
00D7  C9       RET
00D8  CF       RST   #08
00D9  40       LD    B,B
00DA  78       LD    A,B
00DB  78       LD    A,B
00DC  78       LD    A,B
00DD  78       LD    A,B
00DE  78       LD    A,B
00DF  78       LD    A,B
00E0  78       LD    A,B
00E1  78       LD    A,B
00E2  78       LD    A,B
00E3  78       LD    A,B
00E4  C2D3C4   JP    NZ,#C4D3
00E7  D6D5     SUB   #D5
00E9  78       LD    A,B
00EA  D4C6C5   CALL  NC,#C5C6
00ED  D0       RET   NC
00EE  78       LD    A,B
00EF  78       LD    A,B
00F0  42       LD    B,D
00F1  D7       RST   #10
00F2  41       LD    B,C
00F3  08       EX    AF,AF'
00F4  0A       LD    A,(BC)
00F5  09       ADD   HL,BC
00F6  8A       ADC   A,D
00F7  89       ADC   A,C
00F8  81       ADD   A,C
00F9  82       ADD   A,D
00FA  07       RLCA
00FB  84       ADD   A,H
00FC  0601     LD    B,#01
00FE  02       LD    (BC),A
00FF  87       ADD   A,A
)";

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

TEST(DisassemblerListing, RomFirstPageMatchesAnIndependentListing)
{
    std::memset(test_image, 0, sizeof test_image);
    ASSERT_TRUE(load_rom(test_image)) << "the ROM image is missing from the shared folder";
    Listing* listing = build_listing(test_image, 0x100, DisasmStyle{16, true, true});
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing_text(*listing), rom_first_page);
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
