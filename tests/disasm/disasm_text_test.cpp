// What the disassembler writes for single instructions: the forms a reader of a
// listing depends on, and the places where a careless decoder goes wrong.
#include <gtest/gtest.h>

#include "disasm_test_util.h"

namespace {

constexpr DisasmStyle decimal = {10, false, false};
constexpr DisasmStyle rom_names = {16, true, false};
constexpr DisasmStyle all_names = {16, true, true};

TEST(DisassemblerText, LineLayoutPadsTheByteColumnToFourBytes)
{
    EXPECT_EQ(decode_bytes({0xD3, 0xFD}, disasm_hex, 0).line, "0000  D3FD     OUT   (#FD),A");
    EXPECT_EQ(decode_bytes({0xDD, 0x21, 0x34, 0x12}).line, "8000  DD213412 LD    IX,#1234");
    EXPECT_EQ(decode_bytes({0x00}).line, "8000  00       NOP");
}

TEST(DisassemblerText, IndexPrefixesNameIxAndIyAndTheirHalves)
{
    EXPECT_EQ(decode_bytes({0xDD, 0xCB, 0x05, 0x06}).mnemonic, "RLC   (IX+#05)");
    EXPECT_EQ(decode_bytes({0xFD, 0xCB, 0xFB, 0x46}).mnemonic, "BIT   0,(IY-#05)");
    EXPECT_EQ(decode_bytes({0xFD, 0xCB, 0x80, 0xFE}).mnemonic, "SET   7,(IY-#80)");
    // The register-copying DDCB forms still read as the plain (IX+d) operation.
    EXPECT_EQ(decode_bytes({0xDD, 0xCB, 0x05, 0x00}).mnemonic, "RLC   (IX+#05)");
    // The displacement comes before the immediate.
    EXPECT_EQ(decode_bytes({0xDD, 0x36, 0x05, 0x10}).mnemonic, "LD    (IX+#05),#10");
    EXPECT_EQ(decode_bytes({0xDD, 0x36, 0x05, 0x10}).length, 4);
    // Beside (IX+d) the plain H and L stay; elsewhere they are the index halves.
    EXPECT_EQ(decode_bytes({0xDD, 0x66, 0x05}).mnemonic, "LD    H,(IX+#05)");
    EXPECT_EQ(decode_bytes({0xFD, 0x75, 0xFF}).mnemonic, "LD    (IY-#01),L");
    EXPECT_EQ(decode_bytes({0xFD, 0x6C}).mnemonic, "LD    IYL,IYH");
    EXPECT_EQ(decode_bytes({0xDD, 0x26, 0x07}).mnemonic, "LD    IXH,#07");
    EXPECT_EQ(decode_bytes({0xFD, 0xBD}).mnemonic, "CP    IYL");
    EXPECT_EQ(decode_bytes({0xDD, 0x86, 0x80}).mnemonic, "ADD   A,(IX-#80)");
    // HL as a pair.
    EXPECT_EQ(decode_bytes({0xDD, 0x29}).mnemonic, "ADD   IX,IX");
    EXPECT_EQ(decode_bytes({0xDD, 0xE3}).mnemonic, "EX    (SP),IX");
    EXPECT_EQ(decode_bytes({0xFD, 0xF9}).mnemonic, "LD    SP,IY");
    EXPECT_EQ(decode_bytes({0xDD, 0x22, 0x34, 0x12}).mnemonic, "LD    (#1234),IX");
}

TEST(DisassemblerText, PrefixesThatChangeNothing)
{
    // Arithmetic on B, C, D, E or A: the prefix stands alone and the next line
    // starts at the opcode.
    const Decoded add = decode_bytes({0xDD, 0x80});
    EXPECT_EQ(add.mnemonic, "DEFB  DD ?");
    EXPECT_EQ(add.length, 1);
    EXPECT_EQ(add.line, "8000  DD       DEFB  DD ?");
    EXPECT_EQ(decode_bytes({0xFD, 0xAF}).mnemonic, "DEFB  FD ?");
    // A prefix before another prefix is dropped by the processor.
    EXPECT_EQ(decode_bytes({0xDD, 0xDD, 0x21, 0x34, 0x12}).length, 1);
    EXPECT_EQ(decode_bytes({0xFD, 0xED, 0x4B}).mnemonic, "DEFB  FD ?");
    // Elsewhere the plain instruction, with the prefix in the byte column.
    const Decoded load = decode_bytes({0xFD, 0x47});
    EXPECT_EQ(load.line, "8000  FD47     LD    B,A");
    EXPECT_EQ(decode_bytes({0xDD, 0x04}).mnemonic, "INC   B");
    EXPECT_EQ(decode_bytes({0xDD, 0x3E, 0x05}).line, "8000  DD3E05   LD    A,#05");
    EXPECT_EQ(decode_bytes({0xDD, 0xEB}).mnemonic, "EX    DE,HL");
    EXPECT_EQ(decode_bytes({0xDD, 0xC3, 0x34, 0x12}).line, "8000  DDC33412 JP    #1234");
}

TEST(DisassemblerText, EdGroup)
{
    EXPECT_EQ(decode_bytes({0xED, 0xB3}).mnemonic, "OUTIR");
    EXPECT_EQ(decode_bytes({0xED, 0x80}).mnemonic, "LD*");
    EXPECT_EQ(decode_bytes({0xED, 0xA4}).mnemonic, "*I");
    EXPECT_EQ(decode_bytes({0xED, 0x4E}).mnemonic, "*");
    EXPECT_EQ(decode_bytes({0xED, 0x70}).mnemonic, "IN    (HL),(C)");
    EXPECT_EQ(decode_bytes({0xED, 0x43, 0x34, 0x12}).line, "8000  ED433412 LD    (#1234),BC");
    EXPECT_EQ(decode_bytes({0xED, 0x7B, 0x02, 0x40}, all_names).mnemonic, "LD    SP,(ERR_SP)");
    // Opcodes with no meaning are two-byte no-operations, except ED FD and ED FE,
    // where the processor runs the ED alone.
    EXPECT_EQ(decode_bytes({0xED, 0x00}).line, "8000  ED00     *");
    EXPECT_EQ(decode_bytes({0xED, 0xFC}).length, 2);
    EXPECT_EQ(decode_bytes({0xED, 0xFD}).line, "8000  ED       DEFB  ED ?");
}

TEST(DisassemblerText, SllIsOneColumnShorterThanTheOtherShifts)
{
    EXPECT_EQ(decode_bytes({0xCB, 0x30}).mnemonic, "SLL  B");
    EXPECT_EQ(decode_bytes({0xCB, 0x38}).mnemonic, "SRL   B");
    EXPECT_EQ(decode_bytes({0xDD, 0xCB, 0x02, 0x36}).mnemonic, "SLL  (IX+#02)");
}

TEST(DisassemblerText, RelativeTargetsWrapRoundTheAddressSpace)
{
    EXPECT_EQ(decode_bytes({0x18, 0xFE}, disasm_hex, 0).mnemonic, "JR    #0000");
    EXPECT_EQ(decode_bytes({0x18, 0xFE}, rom_names, 0).mnemonic, "JR    START");
    EXPECT_EQ(decode_bytes({0x10, 0x80}, disasm_hex, 1).mnemonic, "DJNZ  #FF83");
    EXPECT_EQ(decode_bytes({0x38, 0x7F}, disasm_hex, 0xFFF0).mnemonic, "JR    C,#0071");
    EXPECT_EQ(decode_bytes({0xDD, 0x20, 0x02}).mnemonic, "JR    NZ,#8005");
}

TEST(DisassemblerText, NamesReplaceAddressesButNeverBytes)
{
    EXPECT_EQ(decode_bytes({0xCD, 0x08, 0x00}, rom_names).mnemonic, "CALL  ERROR-1");
    EXPECT_EQ(decode_bytes({0xCD, 0x08, 0x00}).mnemonic, "CALL  #0008");
    // Of two names for one address the first row's is shown.
    EXPECT_EQ(decode_bytes({0xC3, 0x30, 0x00}, rom_names).mnemonic, "JP    BC-SPACES");
    // The last rows of both tables are found.
    EXPECT_EQ(decode_bytes({0xCD, 0xE2, 0x1D}, rom_names).mnemonic, "CALL  TO-POWER");
    EXPECT_EQ(decode_bytes({0x2A, 0x5D, 0x40}, all_names).mnemonic, "LD    HL,(MEMBOT)");
    // Each table only when asked for.
    EXPECT_EQ(decode_bytes({0x2A, 0x16, 0x40}, rom_names).mnemonic, "LD    HL,(#4016)");
    EXPECT_EQ(decode_bytes({0x2A, 0x16, 0x40}, {16, false, true}).mnemonic, "LD    HL,(CH_ADD)");
    EXPECT_EQ(decode_bytes({0xCD, 0x08, 0x00}, {16, false, true}).mnemonic, "CALL  #0008");
    // The second byte of a two-byte variable has no name of its own.
    EXPECT_EQ(decode_bytes({0x2A, 0x17, 0x40}, all_names).mnemonic, "LD    HL,(#4017)");
    // 8-bit values and restart targets stay numbers.
    EXPECT_EQ(decode_bytes({0x3E, 0x08}, all_names).mnemonic, "LD    A,#08");
    EXPECT_EQ(decode_bytes({0xCF}, all_names).mnemonic, "RST   #08");
    EXPECT_EQ(decode_bytes({0xDD, 0x36, 0x08, 0x00}, all_names).mnemonic, "LD    (IX+#08),#00");
}

TEST(DisassemblerText, DecimalOperands)
{
    EXPECT_EQ(decode_bytes({0x3E, 0x0A}, decimal).mnemonic, "LD    A,10");
    EXPECT_EQ(decode_bytes({0xC7}, decimal).mnemonic, "RST   0");
    EXPECT_EQ(decode_bytes({0xFF}, decimal).mnemonic, "RST   56");
    EXPECT_EQ(decode_bytes({0xC3, 0x34, 0x12}, decimal).mnemonic, "JP    4660");
    EXPECT_EQ(decode_bytes({0xD3, 0xFD}, decimal).mnemonic, "OUT   (253),A");
    EXPECT_EQ(decode_bytes({0xDD, 0x35, 0xFB}, decimal).mnemonic, "DEC   (IX-5)");
    EXPECT_EQ(decode_bytes({0x18, 0xFE}, decimal, 0).mnemonic, "JR    0");
    EXPECT_EQ(decode_bytes({0x18, 0x00}, decimal, 0xFFFE).mnemonic, "JR    0");
    // Names still apply.
    EXPECT_EQ(decode_bytes({0xCD, 0x08, 0x00}, {10, true, false}).mnemonic, "CALL  ERROR-1");
    EXPECT_EQ(decode_bytes({0x2A, 0x16, 0x40}, {10, false, true}).mnemonic, "LD    HL,(CH_ADD)");
    EXPECT_EQ(decode_bytes({0xCD, 0x01, 0x01}, {10, true, true}).mnemonic, "CALL  257");
    // The address column turns decimal, the byte column stays hexadecimal.
    decode_bytes({0x18, 0xFE}, decimal, 0);
    Instruction in;
    decode_instruction(test_image, 0, decimal, in);
    char line[line_size];
    format_line(in, true, line);
    EXPECT_STREQ(line, "0  18FE     JR    0");
}

uint8_t peek_test_image(uint16_t address) { return test_image[address]; }

TEST(DisassemblerText, InstructionsRunningOffTheTopAreCompletedWithZeros)
{
    decode_bytes({0x21, 0x34}, disasm_hex, 0xFFFE);
    test_image[0] = test_image[1] = 0x99;  // what a read wrapping round to 0 would see
    Instruction from_image, from_reader;
    decode_instruction(test_image, 0xFFFE, disasm_hex, from_image);
    decode_instruction(peek_test_image, 0xFFFE, disasm_hex, from_reader);
    for (const Instruction* in : {&from_image, &from_reader}) {
        char line[line_size];
        format_line(*in, false, line);
        EXPECT_STREQ(line, "FFFE  213400   LD    HL,#0034");
        EXPECT_EQ(in->length, 3);
    }
    EXPECT_EQ(decode_bytes({0xCD}, rom_names, 0xFFFF).line, "FFFF  CD0000   CALL  START");
    EXPECT_EQ(decode_bytes({0xFD}, disasm_hex, 0xFFFF).line, "FFFF  FD00     NOP");
}

}  // namespace
