// Runs of fetch-only instructions (HALT repeats, character fetches of the display
// file) are done in a batch where nothing watches each instruction. Whatever the
// machine runs, the batch must leave exactly what instruction-by-instruction running
// leaves: every frame's picture, the timing, the registers and the sound.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/host_sound_headless.h"
#include "files/config.h"
#include "machine_fixture.h"

namespace {

// What a run leaves, frame by frame and at its end.
struct Trace {
    std::vector<uint64_t> frames;  // a checksum of the whole frame buffer after each frame
    std::vector<uint8_t> registers;
    uint32_t tstates = 0;
    int line_tstates_left = 0, row_counter = 0;
    uint32_t shift_register = 0, sound_tstates = 0;
    std::vector<uint8_t> wav;
};

uint64_t checksum(const uint32_t* p, size_t n)
{
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

// Half-rows of the key matrix, bits 0-4; '^' is SHIFT and '\n' NEWLINE.
const char* const key_rows[8] = {"^ZXCV", "ASDFG", "QWERT", "12345", "09876", "POIUY", "\nLKJH", " .MNB"};

struct Settings {
    const char* name;
    int32_t model;
    int32_t m1not;
    uint8_t chr, ay;
};

class FetchRuns : public MachineTest, public ::testing::WithParamInterface<Settings> {
protected:
    void TearDown() override
    {
        per_instruction_duties = 0;
        vsync_sound_on = 0;
        headless_foreground = true;
        sound_shutdown();
        std::remove(wav_path().c_str());
    }

    // One file per machine: CTest runs the machines side by side.
    std::string wav_path() const { return std::string(WREN81_BUILD_DIR) + "/fetch_runs_" + GetParam().name + ".wav"; }

    void frame(Trace& t)
    {
        run_frame();
        t.frames.push_back(checksum(frame_buffer, frame_buffer_width * frame_buffer_height));
    }

    // Holds the keys ("^" with a key: shifted) for a few frames, then lets go.
    void type(Trace& t, const std::string& text)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            const bool shifted = text[i] == '^';
            if (shifted) ++i;
            for (int row = 0; row < 8; ++row)
                if (const char* k = std::strchr(key_rows[row], text[i]); k && text[i])
                    key_matrix[row] &= uint8_t(~(1u << (k - key_rows[row])));
            if (shifted) key_matrix[0] &= 0xFE;
            for (int n = 0; n < 4; ++n) frame(t);
            release_all_keys();
            for (int n = 0; n < 4; ++n) frame(t);
        }
    }

    // Boots the real ROM, types a program that prints a number and scrolls the screen
    // for each, and lets it run, with VSYNC sound captured.
    Trace run_machine(bool batched)
    {
        const Settings s = GetParam();
        Trace t;
        opt_model_type = s.model;
        opt_M1Not = s.m1not;
        chr_generator = s.chr;
        ay_card = s.ay;
        per_instruction_duties = batched ? 0 : 1;
        vsync_sound_on = 1;
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
        for (int n = 0; n < 150; ++n) frame(t);
        type(t, "5L^LI^L0\n10B\n20PI\n30LI^LI^K1\n40G10\nR\n");
        for (int n = 0; n < 100; ++n) frame(t);
        EXPECT_TRUE(wav_capture_finish());
        std::ifstream file(wav_path(), std::ios::binary);
        t.wav.assign(std::istreambuf_iterator<char>(file), {});
        const uint8_t* record = reinterpret_cast<const uint8_t*>(&z80);
        t.registers.assign(record, record + sizeof z80);
        t.tstates = tstates;
        t.line_tstates_left = line_tstates_left;
        t.row_counter = row_counter;
        t.shift_register = shift_register;
        t.sound_tstates = sound_tstates;
        return t;
    }
};

TEST_P(FetchRuns, LeaveWhatSingleInstructionsLeave)
{
    REQUIRE_Z80_CORE();
    const Trace one_by_one = run_machine(false);
    const Trace batched = run_machine(true);

    ASSERT_EQ(batched.frames.size(), one_by_one.frames.size());
    for (size_t i = 0; i < batched.frames.size(); ++i)
        ASSERT_EQ(batched.frames[i], one_by_one.frames[i]) << "picture of frame " << i;
    EXPECT_EQ(batched.registers, one_by_one.registers);
    EXPECT_EQ(batched.tstates, one_by_one.tstates);
    EXPECT_EQ(batched.line_tstates_left, one_by_one.line_tstates_left);
    EXPECT_EQ(batched.row_counter, one_by_one.row_counter);
    EXPECT_EQ(batched.shift_register, one_by_one.shift_register);
    EXPECT_EQ(batched.sound_tstates, one_by_one.sound_tstates);
    EXPECT_GT(batched.wav.size(), 44u);
    EXPECT_TRUE(batched.wav == one_by_one.wav) << "VSYNC sound differs";
    // The program ran: the screen holds numbers printed by it.
    EXPECT_NE(batched.frames.back(), batched.frames[150]);
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
