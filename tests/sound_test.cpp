// The sound output through the headless device: sample bytes and volume, VSYNC sound,
// device failures, and pacing by the device or the clock. The pitch of an AY tone is
// the CLI tests'.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cli/host_headless.h"
#include "cli/host_sound_headless.h"
#include "sound/pacing.h"
#include "sound/sound_output.h"
#include "files/config.h"
#include "tests/file_helpers.h"

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }

void ay_program(std::initializer_list<std::pair<uint8_t, uint8_t>> writes)
{
    for (auto [reg, value] : writes) ay_select(reg), ay_write(value);
}

class SoundOutput : public ::testing::Test {
protected:
    void SetUp() override { ay_card = 1; }  // a ZONX card, so the chip is clocked and heard
    void TearDown() override
    {
        ay_card = fast_mode = emulation_paused = 0;
        sound_shutdown();
        std::remove(wav_path().c_str());
    }

    // Restarts the output with these settings on a fresh, willing headless device.
    static int start(int32_t rate = 44100, uint8_t bits = 16, uint8_t stereo = 1, int32_t volume = 40, int32_t buffers = 8)
    {
        headless_sound_fail_at = headless_sound_works, headless_sound_caps = {100000, 1};
        headless_sound_cursor_step = 0, headless_sound_cursor_period = 1, headless_sound_bytes_per_second = 0;
        opt_freq = rate, opt_soundbits = bits, opt_stereo = stereo, opt_snd_volume = volume;
        opt_num_buffers = buffers, opt_emulation_speed = 100;
        sound_shutdown();
        return sound_init();
    }

    static std::string wav_path()
    {
        return std::string(WREN81_BUILD_DIR) + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav";
    }

    // Captures what `run` makes (by default 4-T-state instructions until `blocks` blocks
    // have gone to the device) and returns the WAV file.
    static std::vector<uint8_t> capture(uint32_t blocks, void (*run)() = nullptr)
    {
        EXPECT_TRUE(wav_capture_start(wav_path()));
        for (const uint32_t before = headless_sound_blocks; !run && headless_sound_blocks - before < blocks;)
            sound_advance(4);
        if (run) run();
        EXPECT_TRUE(wav_capture_finish());
        const std::string wav = read_whole_file(wav_path());
        return {wav.begin(), wav.end()};
    }

    // The first channel of each sample in a WAV file.
    static std::vector<int> samples(const std::vector<uint8_t>& wav)
    {
        std::vector<int> out;
        const size_t width = opt_soundbits / 8, frame = width * (opt_stereo ? 2 : 1);
        const size_t end = wav.size() < 44 ? 0 : std::min<size_t>(wav.size(), 44 + le32(wav, 40));
        for (size_t p = 44; p + frame <= end; p += frame)
            out.push_back(width == 2 ? int16_t(wav[p] | wav[p + 1] << 8) : wav[p]);
        return out;
    }
};

}  // namespace

TEST_F(SoundOutput, SampleBytesFollowTheFormatWithinTheDeviceAndReachTheWavFile)
{
    struct Case { uint8_t bits, stereo; std::vector<uint8_t> frame; };
    for (const Case& c : {Case{16, 1, {0x00, 0x20, 0x00, 0x20}}, Case{16, 0, {0x00, 0x20}}, Case{8, 1, {0x20, 0x20}},
                          Case{8, 0, {0x20}}}) {
        ASSERT_EQ(start(22050, c.bits, c.stereo), 0);
        vsync_level = 1;  // 8192: 0x2000, or 0x20 in 8 bits
        const std::vector<uint8_t> wav = capture(2);
        ASSERT_EQ(wav.size(), 44 + 2 * block_bytes);
        EXPECT_TRUE(std::equal(wav.begin(), wav.begin() + 4, "RIFF") && le32(wav, 4) == wav.size() - 8);
        EXPECT_EQ(le32(wav, 22), (c.stereo ? 2u : 1u) | 22050u << 16);  // channels, rate's low half
        EXPECT_EQ(le32(wav, 28), 22050u * c.frame.size());              // bytes per second
        EXPECT_EQ(le32(wav, 32), c.frame.size() | uint32_t(c.bits) << 16);
        EXPECT_EQ(le32(wav, 40), 2 * block_bytes);
        for (size_t p = 44; p < wav.size(); p += c.frame.size())
            ASSERT_TRUE(std::equal(c.frame.begin(), c.frame.end(), wav.begin() + p)) << int(c.bits) << " at " << p;
    }
    EXPECT_FALSE(wav_capture_start("/nonexistent-folder/x.wav"));
    // The rate is kept within 11025 and the device's maximum; a device that reports no
    // capabilities gets 8-bit samples.
    ASSERT_EQ(start(8000), 0);
    EXPECT_EQ(headless_sound_format.rate, 11025u);
    headless_sound_caps = {22050, 0};
    opt_freq = 44100;
    sound_shutdown();
    ASSERT_EQ(sound_init(), 0);
    EXPECT_TRUE(opt_freq == 22050 && headless_sound_format.bits == 8);
}

TEST_F(SoundOutput, VolumeSetsTheFactorAndLoudSamplesSaturate)
{
    for (int32_t volume = 0; volume <= 100; volume += 10) {
        ASSERT_EQ(start(44100, 16, 0, volume), 0);
        vsync_level = 1;
        const int factor = volume < 40 ? 0 : volume < 80 ? 1 : 2;
        for (int v : samples(capture(1))) ASSERT_EQ(v, 8192 * factor) << "volume " << volume;
    }
    opt_sound = 0;  // "Sound Enabled" off silences without stopping the device
    for (int v : samples(capture(1))) ASSERT_EQ(v, 0);
    // VSYNC and three channels at full volume, doubled, go beyond 16 bits: held at the top.
    opt_sound = 1;
    ay_program({{7, 0xFF}, {8, 15}, {9, 15}, {10, 15}});
    for (int v : samples(capture(1))) ASSERT_EQ(v, 32767);
}

namespace {

struct SoundStep { int level; int32_t volume; uint8_t sound; };
const SoundStep sound_steps[] = {{1, 40, 1}, {1, 80, 1}, {1, 80, 0}, {0, 80, 1}, {1, 0, 1}, {1, 40, 1}, {0, 40, 1}};

// For each step ten samples made at once, as a run of quiet instructions makes them,
// then ten made one at a time; then more until the block goes to the device.
void sound_step_samples()
{
    const uint32_t blocks = headless_sound_blocks;
    for (const SoundStep& step : sound_steps) {
        vsync_level = step.level, opt_snd_volume = step.volume, opt_sound = step.sound;
        sound_advance_steady(10 * tstates_per_sample);
        for (int k = 0; k < 10; ++k) sound_advance(tstates_per_sample);
    }
    while (headless_sound_blocks == blocks) sound_advance(tstates_per_sample);
}

}  // namespace

TEST_F(SoundOutput, AChangeOfLevelOrVolumeIsHeardAtOnce)
{
    // The bytes of a sample are kept while what it is made of stays: a change of the
    // VSYNC level, the volume or "Sound Enabled" must reach the very next sample, with
    // or without a silent AY chip mixed in.
    for (uint8_t card : {0, 1})
        for (auto [bits, stereo] : {std::pair<uint8_t, uint8_t>{16, 1}, {16, 0}, {8, 1}, {8, 0}}) {
            ay_card = card, ay_reset();
            ASSERT_EQ(start(44100, bits, stereo), 0);
            const std::vector<int> s = samples(capture(0, sound_step_samples));
            ASSERT_GE(s.size(), 20 * std::size(sound_steps));
            for (size_t i = 0; i < 20 * std::size(sound_steps); ++i) {
                const SoundStep& step = sound_steps[i / 20];
                const int value = step.level * 8192 * (step.volume / 40) * step.sound;
                ASSERT_EQ(s[i], bits == 16 ? value : value >> 8) << int(card) << ", " << int(bits) << " bits, sample " << i;
            }
        }
    opt_snd_volume = 40, opt_sound = 1;
}

namespace {

bool in_runs;
std::vector<uint32_t> run_states;

// Random runs of equal instruction lengths (and single odd ones that push the clock
// divider beyond a tick's worth) with the AY chip sounding tone and noise, made in runs
// or one step at a time.
void ay_runs()
{
    std::mt19937 random(4);
    ay_program({{7, 0x30}, {8, 15}, {9, 12}, {10, 9}, {6, 2}});
    for (int round = 0; round < 20000; ++round) {
        if (round % 50 == 0) ay_program({{uint8_t(random() % 6), uint8_t(random() % 4)}});  // tone periods 0-3
        const uint32_t n = random() % 3 ? 4 : random() % 24, count = random() % 40;
        if (in_runs && count) sound_advance_repeated(n, int(count));
        else
            for (uint32_t k = 0; k < std::max(count, 1u); ++k) sound_advance(n);
        run_states.insert(run_states.end(), {sound_tstates, ay_clock_acc, ay_pending_ticks});
    }
}

}  // namespace

TEST_F(SoundOutput, RunsOfEqualStepsSoundAsTheStepsOneByOne)
{
    std::vector<uint8_t> wav[2];
    std::vector<uint32_t> states[2];
    for (bool runs : {false, true}) {
        ASSERT_EQ(start(44100, 16, 0, 40, 4), 0);
        ay_reset();
        sound_tstates = 0, ay_clock_acc = 0, in_runs = runs, run_states.clear();
        wav[runs] = capture(0, ay_runs), states[runs] = run_states;
    }
    EXPECT_GT(wav[0].size(), 50000u);  // more than half a second of sound
    EXPECT_TRUE(wav[0] == wav[1] && states[0] == states[1]);
}

TEST_F(SoundOutput, BlocksGoRoundTheDeviceBufferPausesStopItFastModeMakesNone)
{
    ASSERT_EQ(start(44100, 16, 1, 40, 4), 0);
    sound_pause();
    EXPECT_TRUE(emulation_paused && !headless_sound_playing);
    sound_resume();
    EXPECT_TRUE(!emulation_paused && headless_sound_playing);
    EXPECT_EQ(headless_sound_buffer_bytes, 4 * block_bytes);
    for (uint32_t n = 1; n <= 10; ++n) {
        while (headless_sound_blocks < n) sound_advance(4);
        EXPECT_EQ(block_index, (1 + n) % 4);
        EXPECT_EQ(headless_sound_last_offset, block_index * block_bytes);
    }
    ay_program({{7, 0x3E}});
    fast_mode = 1;
    const uint16_t counter = ay.tone_counter[0];
    for (int t = 0; t < 20 * 64584; t += 4) sound_advance(4);
    EXPECT_EQ(headless_sound_blocks, 10u);
    EXPECT_EQ(ay.tone_counter[0], counter);
}

// A device is judged by how fast it takes blocks: one that takes them at once does not
// pace, nor does one that holds the emulation far below real time; one that plays them
// in real time does; a new start judges afresh. The frame
// rate through a real device is the GUI sound and pacing tests'.
TEST_F(SoundOutput, OnlyADeviceThatPlaysInRealTimeIsTrustedToPace)
{
    auto blocks = [](uint32_t n) {
        for (const uint32_t before = headless_sound_blocks; headless_sound_blocks - before < n;) sound_advance(4);
    };
    ASSERT_EQ(start(), 0);
    EXPECT_TRUE(sound_paces());  // until shown otherwise
    blocks(40);
    EXPECT_FALSE(sound_paces());
    sound_hold(1), sound_hold(0);
    blocks(40);
    EXPECT_FALSE(sound_paces()) << "a restart of the same device must not win back its trust";

    ASSERT_EQ(start(), 0);
    headless_sound_bytes_per_second = 44100 * 4;  // plays in real time
    blocks(40);
    EXPECT_TRUE(sound_paces());
    headless_sound_bytes_per_second = 0;
    // A cursor that crawls holds the emulation at a fifth of real time: no longer trusted,
    // and no longer waited for.
    ASSERT_EQ(start(), 0);
    headless_sound_cursor_step = block_bytes / 100;
    blocks(20);
    EXPECT_FALSE(sound_paces());
    const uint64_t began = host_time_us();
    blocks(40);
    EXPECT_LT(host_time_us() - began, 500000u) << "the emulation still waits for a device it does not trust";
    // A stopped device holds the emulation only for a bounded time.
    ASSERT_EQ(start(), 0);
    headless_sound_cursor_step = block_bytes / 5;
    sound_hold(1);
    const uint64_t held = host_time_us();
    blocks(1);
    EXPECT_LT(host_time_us() - held, 2000000u);
}

// Where the device does not pace, the clock holds frames to the chosen speed; a schedule
// that fell far behind starts afresh instead of rushing.
TEST_F(SoundOutput, WithoutAPacingDeviceTheClockKeepsTheChosenSpeed)
{
    headless_sound_fail_at = headless_sound_no_device;
    sound_shutdown();
    ASSERT_NE(sound_init(), 0);
    EXPECT_FALSE(sound_paces());
    auto seconds_for = [](int frames) {
        const uint64_t start = host_time_us();
        for (int i = 0; i < frames; ++i) pace_frame();
        return double(host_time_us() - start) / 1e6;
    };
    for (const auto& [speed, frames] : {std::pair<float, int>{100, 50}, {200, 100}, {50, 25}}) {
        opt_emulation_speed = speed;
        const double t = seconds_for(frames);
        EXPECT_TRUE(t > 0.97 && t < 1.5) << frames << " frames at " << speed << "% took " << t << " s";
    }
    host_wait_until_us(host_time_us() + 700000);  // the host stalls for 35 frames' time
    EXPECT_GT(seconds_for(5), 0.09) << "frames after a stall were run back to back";
    fast_mode = 1;
    EXPECT_LT(seconds_for(50), 0.1);
    fast_mode = 0, emulation_paused = 1;
    EXPECT_LT(seconds_for(50), 0.1);
}
TEST_F(SoundOutput, FailedStartReportsItsStepAndLeavesNoDevice)
{
    struct Case { int step; const char* code; uint8_t sound_after; };
    for (const Case& c : {Case{headless_sound_no_device, "3D - ", 0}, Case{headless_sound_no_cooperative, "3E - ", 0},
                          Case{headless_sound_no_primary, "3F - ", 0}, Case{headless_sound_no_buffer, "40 - ", 1},
                          Case{headless_sound_no_play, "41 - ", 1}}) {
        const int errors = headless_error_count;
        headless_sound_fail_at = c.step;
        sound_shutdown();
        EXPECT_NE(sound_init(), 0);
        EXPECT_EQ(headless_error_count, errors + 1);
        EXPECT_EQ(headless_last_error.rfind(c.code, 0), 0u) << headless_last_error;
        EXPECT_TRUE(opt_sound == c.sound_after && !headless_sound_open) << c.code;
        // The emulation carries on, silent and unpaced.
        const uint32_t blocks = headless_sound_blocks;
        for (int t = 0; t < 10 * 64584; t += 4) sound_advance(4);
        EXPECT_EQ(headless_sound_blocks, blocks);
    }
}
