// The I/O ports: the keyboard rows on 0xFE, the sync events, the Memotech mode
// port and the VSYNC sound extras.
#include "machine_fixture.h"

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
    EXPECT_EQ(port_in(0xFDFE), 0x7E);
    headless_keys['B'] = true;
    EXPECT_EQ(port_in(0x7CFE), 0x6E);  // A on row 1, B on row 7
    EXPECT_EQ(port_event, port_event_in_fe);
}

TEST_F(PortsTest, PortAccessesTakeFourTStatesAndMarkTheirEvent)
{
    const uint32_t t0 = tstates;
    port_in(0x00FF);
    port_out(0x00FF, 0);
    EXPECT_EQ(tstates - t0, 8u);
    EXPECT_EQ(port_event, port_event_out_other);
    port_event = 0;
    port_out(0x12FE, 0);
    EXPECT_EQ(port_event, port_event_out_fe);
    port_event = 0;
    port_out(0x00FD, 0);
    EXPECT_EQ(port_event, port_event_out_fd);
    port_event = 0;
    port_out(0x00DD, 0x0E);  // no Ace User card: an ordinary OUT
    EXPECT_EQ(port_event, port_event_out_other);
}

TEST_F(PortsTest, CardPortsAnswerOnlyWithTheirCard)
{
    EXPECT_EQ(port_in(0x035F), 0xFF);
    EXPECT_EQ(memotech_mode, 0);
    hires_card = hires_memotech;
    port_in(0x035F);
    EXPECT_EQ(memotech_mode, 3);

    z80.af.hi = 0x42;
    EXPECT_EQ(port_in(0x00FB), 0xFF);
    hires_card = hires_quicksilva;
    EXPECT_EQ(port_in(0x00FB), 0x42 ^ 0x81);
}

TEST_F(PortsTest, VsyncSoundFollowsTheSyncPorts)
{
    vsync_sound_on = 1;
    port_out(0x00FF, 0);
    EXPECT_EQ(vsync_level, 1);
    port_in(0xFEFE);
    EXPECT_EQ(vsync_level, 0);
    port_in(0x00F5);
    EXPECT_EQ(vsync_level, 1);
    port_in(0x00F5);
    EXPECT_EQ(vsync_level, 0);
    vsync_sound_on = 0;
    port_out(0x00FF, 0);
    EXPECT_EQ(vsync_level, 0);
}

}  // namespace
