// The debugger's texts and memory tools as a user of its windows and of wren81-cli
// sees them: the register pane, the panes and tabs, Find, the block tools, the
// stack tools and the memory editor.
#include <cstring>
#include <string>
#include <vector>

#include "debugger/debugger_text.h"
#include "tests/machine_fixture.h"

namespace {

class DebuggerText : public MachineTest {
protected:
    uint8_t image[65536] = {};
};

TEST_F(DebuggerText, RegisterPaneShowsRegistersBytesFlagsAndGenerators)
{
    z80.pc = 0x4000, z80.sp = 0xFFFC;  // SP's 8 bytes wrap round to address 0
    z80.af.w = 0x12D7;                 // S Z H P N C and the two unused bits set
    z80.bc.w = 0x4000, z80.de.w = 0x0001, z80.hl.w = 0xBEEF, z80.ix.w = 0x4004, z80.iy.w = 0x4000;
    z80.af_alt.w = 0xFF00, z80.bc_alt.w = 0x0102, z80.de_alt.w = 0x0304, z80.hl_alt.w = 0x0506;
    z80.i = 0x1E, z80.r = 0x05, z80.r7 = 0x80, z80.im = 1, z80.iff1 = 0;
    nmi_generator_on = 1, hsync_generator_on = 0, tstates = 1234;
    const char hello[] = "HI\x01\x7F\x80 ok";
    std::memcpy(image + 0x4000, hello, 8);
    image[0xFFFC] = 0xAA, image[0] = 0x20;

    const std::vector<std::string> lines = register_pane_lines(image);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "PC  4000 48 49 01 7F 80 20 6F 6B  HI.\x7F. ok");
    EXPECT_EQ(lines[1], "SP  FFFC AA 00 00 00 20 00 00 00  .... ...");
    EXPECT_EQ(lines[2], "AF  12D7     S Z - H - P N C");
    EXPECT_EQ(lines[3], "BC  4000 48 49 01 7F 80 20 6F 6B  HI.\x7F. ok");
    EXPECT_EQ(lines[8], "AF' FF00     - - - - - - - -");
    EXPECT_EQ(lines[9], "BC' 0102 00 00 00 00 00 00 00 00  ........");
    EXPECT_EQ(lines[12], "IR  1E85 NMI Gen: 1 HSYNC Gen: 0");
    EXPECT_EQ(lines[13], "        IM 1 INTERRUPTS OFF TStates: 1234");

    // The window draws the pieces at their own x positions.
    const std::vector<RegisterPaneLine> parts = register_pane_parts(image);
    EXPECT_EQ(parts[2].left, "AF  12D7  ");
    EXPECT_EQ(parts[2].beside_x, register_flags_x);
    EXPECT_EQ(parts[5].left, "HL  BEEF ");
    EXPECT_EQ(parts[5].beside_x, register_bytes_x);
    EXPECT_EQ(parts[13].left, "");
    z80.iff1 = 1;
    EXPECT_EQ(register_pane_lines(image)[13], "        IM 1 INTERRUPTS ON  TStates: 1234");
}

TEST_F(DebuggerText, FlagsTextMarksEachFlagOnItsOwn)
{
    EXPECT_EQ(flags_text(0x00), "- - - - - - - -");
    EXPECT_EQ(flags_text(0x28), "- - - - - - - -");  // bits 5 and 3 are never shown
    EXPECT_EQ(flags_text(0x80), "S - - - - - - -");
    EXPECT_EQ(flags_text(0x41), "- Z - - - - - C");
    EXPECT_EQ(flags_text(0x16), "- - - H - P N -");
}

}  // namespace
