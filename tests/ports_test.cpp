// The I/O ports: the keyboard rows on 0xFE, the card ports and the VSYNC sound extras.
#include "machine_fixture.h"
#include "sound/sound_output.h"

namespace {

class PortsTest : public MachineTest {};

TEST_F(PortsTest, KeyboardPortReadsTheSelectedHalfRows)
{
    EXPECT_EQ(port_in(0xFEFE), 0x7F);
    headless_keys['Z'] = true;
    EXPECT_EQ(port_in(0xFEFE), 0x7D);
    EXPECT_EQ(port_in(0xFDFE), 0x7F);  // Z is not on the A-G half-row
    headless_keys['Z'] = false;
    headless_keys['A'] = true;
    EXPECT_EQ(port_in(0x00FE), 0x7E);  // every half-row selected
    headless_keys['B'] = true;
    EXPECT_EQ(port_in(0x7CFE), 0x6E);  // A on row 1, B on row 7
}

TEST_F(PortsTest, CardPortsAnswerOnlyWithTheirCard)
{
    EXPECT_EQ(port_in(0x035F), 0xFF);
    EXPECT_EQ(memotech_mode, 0);
    hires_card = hires_memotech;
    port_in(0x035F);
    EXPECT_EQ(memotech_mode, 3);

    ay_selected = 0;
    port_out(0x00CF, 0x1E);
    EXPECT_EQ(ay_selected, 0);
    ay_card = ay_zonx;
    port_out(0x00CF, 0x1E);  // ZONX register select, low four bits
    EXPECT_EQ(ay_selected, 14);

    z80.af.hi = 0x42;
    EXPECT_EQ(port_in(0x00FB), 0xFF);
    hires_card = hires_quicksilva;
    EXPECT_EQ(port_in(0x00FB), 0x42 ^ 0x81);
}

TEST_F(PortsTest, VsyncSoundFollowsTheSyncPorts)
{
    vsync_sound_on = 1;
    port_out(0x00FF, 0);
    const int after_out = vsync_level;
    port_in(0xFEFE);
    const int after_in = vsync_level;
    port_in(0x00F5);
    EXPECT_EQ((std::vector<int>{after_out, after_in, vsync_level}), (std::vector<int>{1, 0, 1}));
    vsync_sound_on = 0;
    port_out(0x00FF, 0);
    EXPECT_EQ(vsync_level, 1);  // the level stays while the switch is off
}

}  // namespace
