// What the options sheet's controls, OK and Cancel do to the settings and the machine.
#include <algorithm>
#include <cstdio>

#include "cli/host_sound_headless.h"
#include "files/config.h"
#include "machine_fixture.h"
#include "shell/options.h"
#include "tests/file_helpers.h"

namespace {

class OptionsSheet : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        opt_draw_mode = 0, opt_GDI = 1, opt_DirectDraw = opt_Direct3D = 0;
        opt_border_size = 0, opt_frameskip = 1, opt_snd_volume = 40;
        model_changed = 0;
    }
    void TearDown() override { sound_shutdown(), vsync_sound_on = 0; }
};

}  // namespace

TEST_F(OptionsSheet, AModelClickResetsTheMachineOnOkOnce)
{
    ASSERT_EQ(load_roms(), 0);
    options_open();
    memory[0x4000] = 0x11, memory[0xC000] = 0x22;
    EXPECT_EQ(peek_byte(0xC000), 0x11) << "16K: the RAM repeats above its top";
    options_select_model(6);
    EXPECT_EQ(ram_top, 0x10000u) << "the RAM top follows the button at once";
    EXPECT_EQ(peek_byte(0xC000), 0x22) << "and so do the reads above the old top";
    memory[0x4400] = 0xAA;
    options_ok_machine();
    EXPECT_EQ(memory[0x4400], 0) << "OK after a model click clears memory";
    memory[0x4400] = 0xAA;
    options_open();
    options_ok_machine();
    EXPECT_EQ(memory[0x4400], 0xAA) << "a later OK without a model click resets again";
}

TEST_F(OptionsSheet, CancelPutsSettingsAndBoardsBackWhileSlidersMakeTheBorderCustom)
{
    opt_snd_volume = 45;
    options_open();
    EXPECT_EQ(volume_slider_position(), 4);
    options_select_draw_mode(2);
    options_select_model(6);
    options_toggle_m1not();
    ay_card = hires_card = 1;
    options_set_display_sliders({1, 2, 3, 4, 0, 0, 7});  // as the Frameskip slider alone reports
    EXPECT_TRUE(opt_border_size == 3 && opt_Direct3D == 1);
    options_cancel();
    EXPECT_TRUE(opt_draw_mode == 0 && opt_GDI == 1 && opt_Direct3D == 0);
    EXPECT_TRUE(opt_model_type == 4 && opt_M1Not == 32768 && opt_frameskip == 1 && opt_border_size == 0);
    EXPECT_TRUE(ay_card == 0 && hires_card == 0);
    EXPECT_EQ(opt_snd_volume, 45) << "a volume the slider cannot show survives the sheet";
}

// A changed sound setting rebuilds the output in the new format: the old partial
// block is dropped, the new blocks start afresh and keep their new size.
TEST_F(OptionsSheet, ASoundChangeRebuildsTheOutputCleanly)
{
    headless_sound_fail_at = headless_sound_works, headless_sound_caps = {100000, 1};
    headless_sound_cursor_step = 0;
    opt_freq = 44100, opt_soundbits = 16, opt_stereo = 1, opt_num_buffers = 8, opt_emulation_speed = 100;
    ASSERT_EQ(sound_init(), 0);
    vsync_sound_on = 1, vsync_level = 1;  // loud samples waiting in the staging buffer
    for (int i = 0; i < 1000; ++i) sound_advance(4);

    options_set_bits(8);
    options_toggle_stereo();
    options_set_frequency(11025);
    EXPECT_TRUE(headless_sound_format.rate == 11025 && headless_sound_format.bits == 8 &&
                headless_sound_format.channels == 1);
    const uint32_t block = block_bytes;
    EXPECT_EQ(block, 64584u / 289);  // one frame of 289-T-state samples, a byte each
    EXPECT_EQ(headless_sound_buffer_bytes, 8 * block);
    const std::string path = std::string(WREN81_BUILD_DIR) + "/options_capture.wav";
    ASSERT_TRUE(wav_capture_start(path));
    uint32_t first_block_tstates = 0;
    for (; headless_sound_blocks < 1; first_block_tstates += 4) sound_advance(4);
    while (headless_sound_blocks < 2) sound_advance(4);
    options_set_frequency(11025);  // the same entry again: nothing restarts
    while (headless_sound_blocks < 3) sound_advance(4);
    ASSERT_TRUE(wav_capture_finish());
    const std::string wav = read_whole_file(path);
    std::remove(path.c_str());
    EXPECT_NEAR(first_block_tstates, block * 289, 4) << "the first new block is not a whole frame";
    ASSERT_EQ(wav.size(), 44 + 3 * block + (block & 1));  // data padded to an even length
    EXPECT_EQ(std::count(wav.begin() + 44, wav.begin() + 44 + 3 * block, 0), long(3 * block))
        << "old samples reached the new output";
    // A fresh output counts block 1 as written, so its third block is block 4.
    EXPECT_EQ(headless_sound_last_offset, 4 * block) << "the repeated entry restarted the output";
}

// A folder chosen in the browser is the GUI options test's.
TEST_F(OptionsSheet, FolderFieldsShowFolders)
{
    const std::string s(1, path_separator());
    const std::pair<std::string, std::string> cases[] = {
        {"C:" + s + "games" + s + "frogger.p", "C:" + s + "games" + s},
        {"C:" + s + "tapes" + s + " ", "C:" + s + "tapes" + s},  // the blank the file leaves
        {s + "top", s + "top"},                                 // a leading separator stays whole
        {"plain", "plain"},
    };
    for (const auto& [stored, shown] : cases) EXPECT_EQ(folder_field_text(stored.c_str()), shown) << stored;
}
