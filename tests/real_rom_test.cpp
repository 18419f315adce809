// Where the real ROM's frames end: in SLOW mode always on its own vertical sync; in
// FAST mode, while BASIC computes, only the ROM's keyboard checks make syncs, so the
// picture rolls; it stands still again once the ROM waits for a key.
#include "machine_fixture.h"

namespace {

struct FrameEnds {
    int on_sync = 0, cut_off = 0, lines_with_nmi = 0;
};

// Runs frames as the frame loop does, noting how each one ended.
FrameEnds run_frames_watching(int frames)
{
    FrameEnds ends;
    for (int f = 0; f < frames; ++f) {
        while (tstates < frame_length) {
            run_scanline();
            ends.lines_with_nmi += nmi_generator_on;
            const int sync = sync_length, line = scanline;
            store_scanline();
            if (line != 0 && scanline == 0 && column == 0) ++(sync > 290 ? ends.on_sync : ends.cut_off);
        }
        end_of_frame_duties();
        tstates -= frame_length;
    }
    return ends;
}

// 10 FOR I=1 TO 3000 / 20 NEXT I / RUN (keywords are keys in K mode), typed slowly.
void type_slowly(const char* text) { type_keys(text, 30, run_frame); }
const char* const counting_loop_and_run = "10FI^L1^43000\n20NI\nR\n";

class RealRom : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        headless_foreground = false;  // the test presses the keys itself
        ASSERT_EQ(machine_init(shared_rom_folder()), 0);
        for (int i = 0; i < 200; ++i) run_frame();
    }
    void TearDown() override { headless_foreground = true; }
};

TEST_F(RealRom, FastModeRollsWhileBasicRunsAndSlowModeFramesEndOnTheRomsSync)
{
    type_slowly("^F\n");  // FAST
    type_slowly(counting_loop_and_run);
    FrameEnds ends = run_frames_watching(50);
    EXPECT_EQ(ends.lines_with_nmi, 0);
    EXPECT_LT(ends.on_sync, 48);  // only the ROM's keyboard checks make syncs: the picture rolls

    run_frames_watching(3000);  // the loop ends; the ROM waits for a key and shows its picture
    ends = run_frames_watching(50);
    EXPECT_EQ(ends.cut_off, 0);
    EXPECT_NEAR(ends.on_sync, 50, 1);

    type_slowly("^D\nR\n");  // SLOW, and RUN again
    ends = run_frames_watching(100);
    EXPECT_EQ(ends.cut_off, 0);
    EXPECT_NEAR(ends.on_sync, 100, 1);  // the ROM's frame is not exactly 64,584 T-states
    EXPECT_GT(ends.lines_with_nmi, 100 * 50);
}

// Lines that hold the same pixels frame after frame are not redrawn; a new picture
// colour must still reach every one of them.
TEST_F(RealRom, ANewPictureColourReachesEveryLine)
{
    opt_colours = 2;  // green screen
    set_palette();
    for (int i = 0; i < 2; ++i) run_frame();
    int green = 0, other = 0;
    for (int y = 0; y < visible_height; ++y)
        for (int x = 0; x < visible_width; ++x) {
            const uint32_t p = frame_buffer[y * frame_buffer_width + x];
            green += p == 0x00B500;
            other += p != 0x00B500 && p != black_colour;
        }
    EXPECT_EQ(other, 0);
    EXPECT_GT(green, visible_width * visible_height / 2);
}

}  // namespace
