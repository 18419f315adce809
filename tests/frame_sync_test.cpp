// Where the real ROM's frames end: in SLOW mode always on its own vertical sync, with
// the NMI generator timing the picture; in FAST mode, while BASIC computes, the NMI
// generator stays off and only the ROM's keyboard checks make syncs, so the picture
// rolls; it stands still again once the ROM waits for a key.
#include <utility>
#include <vector>

#include "machine_fixture.h"

namespace {

struct FrameEnds {
    int on_sync = 0, cut_off = 0;
    int lines_with_nmi = 0;
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

// Keys held for four frames and released for four, as a typist would.
void type(std::initializer_list<std::pair<ZxKey, bool>> keys)
{
    for (const auto& [key, shifted] : keys) {
        release_all_keys();
        if (shifted) press_key(zx_key_shift);
        press_key(key);
        for (int i = 0; i < 4; ++i) run_frame();
        release_all_keys();
        for (int i = 0; i < 30; ++i) run_frame();
    }
}

// 10 FOR I=1 TO 3000 / 20 NEXT I / RUN (keywords are keys in K mode).
void type_counting_loop_and_run()
{
    type({{zx_key_1, false}, {zx_key_0, false}, {zx_key_f, false}, {zx_key_i, false}, {zx_key_l, true},
          {zx_key_1, false}, {zx_key_4, true}, {zx_key_3, false}, {zx_key_0, false}, {zx_key_0, false},
          {zx_key_0, false}, {zx_key_newline, false}});
    type({{zx_key_2, false}, {zx_key_0, false}, {zx_key_n, false}, {zx_key_i, false}, {zx_key_newline, false}});
    type({{zx_key_r, false}, {zx_key_newline, false}});
}

class FrameSync : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        if (!z80_core_present()) GTEST_SKIP() << "needs the Z80 core";
        headless_foreground = false;  // the test presses the keys itself
        ASSERT_EQ(machine_init(shared_rom_folder()), 0);
        for (int i = 0; i < 200; ++i) run_frame();
    }
    void TearDown() override { headless_foreground = true; }
};

TEST_F(FrameSync, SlowModeFramesEndOnTheRomsVerticalSyncWhileBasicRuns)
{
    type_counting_loop_and_run();
    const FrameEnds ends = run_frames_watching(100);
    EXPECT_EQ(ends.cut_off, 0);
    EXPECT_NEAR(ends.on_sync, 100, 1);  // the ROM's frame is not exactly 64,584 T-states
    EXPECT_GT(ends.lines_with_nmi, 100 * 50);
}

TEST_F(FrameSync, FastModeHasNoSyncWhileBasicRunsAndAPictureWhileWaiting)
{
    type({{zx_key_f, true}, {zx_key_newline, false}});  // FAST
    type_counting_loop_and_run();
    FrameEnds ends = run_frames_watching(50);
    EXPECT_EQ(ends.lines_with_nmi, 0);
    EXPECT_LT(ends.on_sync, 48);  // only the ROM's keyboard checks make syncs: the picture rolls

    run_frames_watching(3000);  // the loop ends; the ROM waits for a key and shows its picture
    ends = run_frames_watching(50);
    EXPECT_EQ(ends.cut_off, 0);
    EXPECT_NEAR(ends.on_sync, 50, 1);
}

}  // namespace
