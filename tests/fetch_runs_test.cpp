// Runs of fetch-only instructions (HALT repeats, character fetches of the display
// file) are done in a batch where nothing watches each instruction. Whatever the
// machine runs, the batch must leave exactly what instruction-by-instruction running
// leaves: every frame's picture, the timing, the registers and the sound.
#include "cli/host_sound_headless.h"
#include "files/config.h"
#include "machine_fixture.h"
#include "tests/file_helpers.h"

namespace {

struct Settings { const char* name; int32_t model, m1not; uint8_t chr, ay; };

class FetchRuns : public MachineTest, public ::testing::WithParamInterface<Settings> {
protected:
    void TearDown() override
    {
        per_instruction_duties = fetch_runs_barred = vsync_sound_on = 0;
        headless_foreground = true;
        sound_shutdown();
        std::remove(wav_path().c_str());
    }

    // One file per machine: CTest runs the machines side by side.
    std::string wav_path() const { return std::string(WREN81_BUILD_DIR) + "/fetch_runs_" + GetParam().name + ".wav"; }

    // Boots the real ROM, types a program that prints a number and scrolls the screen
    // for each, and lets it run, with VSYNC sound captured. Returns a checksum of the
    // frame buffer after each frame, then the registers, timing and sound at the end.
    std::vector<uint64_t> run_machine(bool batched)
    {
        const Settings s = GetParam();
        opt_model_type = s.model, opt_M1Not = s.m1not, chr_generator = s.chr, ay_card = s.ay;
        per_instruction_duties = fetch_runs_barred = !batched, vsync_sound_on = 1;
        headless_foreground = false;  // the keys go straight into the key matrix
        headless_sound_fail_at = headless_sound_works;
        opt_freq = 44100, opt_soundbits = 16, opt_stereo = 0, opt_snd_volume = 40, opt_num_buffers = 4;
        opt_emulation_speed = 100;
        display_init();
        std::memset(frame_buffer, 0, sizeof frame_buffer);
        EXPECT_EQ(machine_init(shared_rom_folder()), 0);
        sound_shutdown();
        EXPECT_EQ(sound_init(), 0);
        EXPECT_TRUE(wav_capture_start(wav_path()));
        std::vector<uint64_t> trace;
        auto frame = [&] {
            run_frame();
            uint64_t h = 1469598103934665603ull;
            for (size_t i = 0; i < size_t(frame_buffer_width) * frame_buffer_height; ++i)
                h = (h ^ frame_buffer[i]) * 1099511628211ull;
            trace.push_back(h);
        };
        for (int n = 0; n < 150; ++n) frame();
        type_keys("5L^LI^L0\n10B\n20PI\n30LI^LI^K1\n40G10\nR\n", 4, frame);
        for (int n = 0; n < 100; ++n) frame();
        EXPECT_TRUE(wav_capture_finish());
        const uint8_t* record = reinterpret_cast<const uint8_t*>(&z80);
        trace.insert(trace.end(), record, record + sizeof z80);
        trace.insert(trace.end(), {tstates, uint64_t(line_tstates_left), uint64_t(row_counter), shift_register,
                                   sound_tstates});
        const std::string wav = read_whole_file(wav_path());
        EXPECT_GT(wav.size(), 44u);
        trace.insert(trace.end(), wav.begin(), wav.end());
        return trace;
    }
};

TEST_P(FetchRuns, LeaveWhatSingleInstructionsLeave)
{
    const std::vector<uint64_t> one_by_one = run_machine(false), batched = run_machine(true);
    ASSERT_EQ(batched.size(), one_by_one.size());
    for (size_t i = 0; i < batched.size(); ++i)
        ASSERT_EQ(batched[i], one_by_one[i]) << (i < 514 ? "picture of frame " : "state or sound at ") << i;
    // The program ran: the screen holds numbers printed by it (514 frames in all).
    EXPECT_NE(batched[513], batched[150]);
}

// The plain machine; the M1Not circuit (display fetches only from 0xC000); the
// CHR$16 board, whose patterns take the general route; an AY card, whose chip is
// clocked every instruction; the bare 1K machine with its collapsed display file.
INSTANTIATE_TEST_SUITE_P(Machines, FetchRuns,
                         ::testing::Values(Settings{"plain", 4, 32768, 0, 0}, Settings{"m1not", 4, 49152, 0, 0},
                                           Settings{"chr16", 4, 32768, 1, 0}, Settings{"zonx", 4, 32768, 0, 1},
                                           Settings{"ram1k", 0, 32768, 0, 0}),
                         [](const ::testing::TestParamInfo<Settings>& info) { return info.param.name; });

}  // namespace
