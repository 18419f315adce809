// What the disassembler writes for single instructions: the forms a reader of a
// listing depends on, and the places where a careless decoder goes wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "debugger/disassembler.h"

namespace {

constexpr DisasmStyle hex = disasm_hex, decimal = {10, false, false}, rom_names = {16, true, false},
                      variables = {16, false, true}, all_names = {16, true, true};

uint8_t test_image[65536];

struct Case {
    std::vector<uint8_t> bytes;
    const char* line;  // as the listing writes it
    DisasmStyle style = hex;
    uint32_t address = 0x8000;
};

void expect_lines(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        std::memset(test_image, 0, sizeof test_image);
        for (size_t i = 0; i < c.bytes.size(); ++i) test_image[(c.address + i) & 0xFFFF] = c.bytes[i];
        Instruction in;
        decode_instruction(test_image, c.address, c.style, in);
        char line[line_size];
        format_line(in, false, line);
        EXPECT_STREQ(line, c.line);
    }
}

TEST(DisassemblerText, TheFormsAReaderDependsOnAndWhereADecoderGoesWrong)
{
    expect_lines({
        // Index prefixes name IX and IY and their halves.
        {{0xFD, 0xCB, 0xFB, 0x46}, "8000  FDCBFB46 BIT   0,(IY-#05)"},
        {{0xDD, 0xCB, 0x05, 0x00}, "8000  DDCB0500 RLC   (IX+#05)"},  // copying to B: read as the plain form
        {{0xDD, 0x36, 0x05, 0x10}, "8000  DD360510 LD    (IX+#05),#10"},  // displacement before immediate
        {{0xDD, 0x66, 0x05}, "8000  DD6605   LD    H,(IX+#05)"},  // beside (IX+d), plain H and L
        {{0xFD, 0x6C}, "8000  FD6C     LD    IYL,IYH"},
        {{0xDD, 0x86, 0x80}, "8000  DD8680   ADD   A,(IX-#80)"},
        // Arithmetic on B, C, D, E or A, or a second prefix: the prefix stands alone.
        {{0xDD, 0x80}, "8000  DD       DEFB  DD ?"},
        {{0xDD, 0xDD, 0x21, 0x34, 0x12}, "8000  DD       DEFB  DD ?"},
        {{0xFD, 0xED, 0x4B}, "8000  FD       DEFB  FD ?"},
        // Elsewhere the plain instruction, with the prefix in the byte column.
        {{0xFD, 0x47}, "8000  FD47     LD    B,A"},
        {{0xDD, 0x20, 0x02}, "8000  DD2002   JR    NZ,#8005"},
        {{0xED, 0x7B, 0x02, 0x40}, "8000  ED7B0240 LD    SP,(ERR_SP)", all_names},
        // No meaning: two-byte no-operations, except ED FD and ED FE, run as the ED alone.
        {{0xED, 0x00}, "8000  ED00     *"},
        {{0xED, 0xFC}, "8000  EDFC     *"},
        {{0xED, 0xFD}, "8000  ED       DEFB  ED ?"},
        // SLL is one column shorter than the other mnemonics.
        {{0xCB, 0x30}, "8000  CB30     SLL  B"},
        {{0xDD, 0xCB, 0x02, 0x36}, "8000  DDCB0236 SLL  (IX+#02)"},
        // Targets wrap round the address space; names replace addresses, never bytes.
        {{0x10, 0x80}, "0001  1080     DJNZ  #FF83", hex, 1},
        {{0x38, 0x7F}, "FFF0  387F     JR    C,#0071", hex, 0xFFF0},
        {{0xC3, 0x30, 0x00}, "8000  C33000   JP    BC-SPACES", rom_names},  // of two names, the first
        {{0xCD, 0xE2, 0x1D}, "8000  CDE21D   CALL  TO-POWER", rom_names},    // the tables' last rows
        {{0x2A, 0x16, 0x40}, "8000  2A1640   LD    HL,(#4016)", rom_names},  // each table only when asked
        {{0x2A, 0x16, 0x40}, "8000  2A1640   LD    HL,(CH_ADD)", variables},
        {{0xCD, 0x08, 0x00}, "8000  CD0800   CALL  #0008", variables},
        {{0x2A, 0x17, 0x40}, "8000  2A1740   LD    HL,(#4017)", all_names},  // a variable's second byte
        {{0x3E, 0x08}, "8000  3E08     LD    A,#08", all_names},  // 8-bit values and restarts stay numbers
        {{0xCF}, "8000  CF       RST   #08", all_names},
        // Running off the top: completed with zeros.
        {{0xCD}, "FFFF  CD0000   CALL  START", rom_names, 0xFFFF},
        {{0xFD}, "FFFF  FD00     NOP", hex, 0xFFFF},
        // Decimal operands; names still apply.
        {{0xDD, 0x35, 0xFB}, "8000  DD35FB   DEC   (IX-5)", decimal},
        {{0x18, 0x00}, "FFFE  1800     JR    0", decimal, 0xFFFE},
        {{0xCD, 0x08, 0x00}, "8000  CD0800   CALL  ERROR-1", {10, true, false}},
        {{0xCD, 0x01, 0x01}, "8000  CD0101   CALL  257", {10, true, true}},
    });
}

}  // namespace
