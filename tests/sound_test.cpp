// The sound output through the headless device: block and timing arithmetic, sample
// bytes and volume, VSYNC sound, the pitch of an AY tone, device failures, pacing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/host_headless.h"
#include "cli/host_sound_headless.h"
#include "core/host.h"
#include "sound/sound_output.h"
#if __has_include("files/config.h")
#include "files/config.h"
#else
#include "sound/pending_links.h"
#endif

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

struct Settings {
    int32_t rate = 44100;
    uint8_t bits = 16, stereo = 1;
    int32_t volume = 40, buffers = 8;
    float speed = 100;
};

class SoundOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless_sound_fail_at = headless_sound_works;
        headless_sound_caps = {100000, 1};
        headless_sound_cursor_step = 0;
        fast_mode = 0;
        emulation_paused = 0;
        vsync_level = 0;
    }
    void TearDown() override
    {
        sound_shutdown();
        fast_mode = 0;
        emulation_paused = 0;
        std::remove(wav_path().c_str());
    }

    static int start(const Settings& s)
    {
        opt_freq = s.rate;
        opt_soundbits = s.bits;
        opt_stereo = s.stereo;
        opt_snd_volume = s.volume;
        opt_num_buffers = s.buffers;
        opt_emulation_speed = s.speed;
        sound_shutdown();
        return sound_init();
    }

    static std::string wav_path()
    {
        return std::string(WREN81_BUILD_DIR) + "/" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav";
    }

    // Emulated time in instructions of `step` T-states.
    static void run(uint64_t tstates, uint32_t step = 4)
    {
        for (uint64_t t = 0; t < tstates; t += step) sound_advance(step);
    }

    static uint32_t block_samples() { return block_bytes / uint32_t(opt_soundbits / 8 * (opt_stereo ? 2 : 1)); }

    // Completes the capture and returns the WAV file's bytes.
    static std::vector<uint8_t> finish_capture()
    {
        EXPECT_TRUE(wav_capture_finish());
        std::vector<uint8_t> file;
        if (std::FILE* f = std::fopen(wav_path().c_str(), "rb")) {
            for (int c; (c = std::fgetc(f)) != EOF;) file.push_back(uint8_t(c));
            std::fclose(f);
        }
        return file;
    }

    // Runs until `blocks` whole blocks have gone to the device; returns the WAV file.
    static std::vector<uint8_t> capture_blocks(uint32_t blocks)
    {
        EXPECT_TRUE(wav_capture_start(wav_path()));
        const uint32_t before = headless_sound_blocks;
        while (headless_sound_blocks - before < blocks) sound_advance(4);
        return finish_capture();
    }

    // The first channel of each sample of a captured WAV file, checking that both
    // channels of a stereo file carry the same value.
    static std::vector<int> samples(const std::vector<uint8_t>& wav)
    {
        std::vector<int> out;
        const size_t width = opt_soundbits / 8, frame = width * (opt_stereo ? 2 : 1);
        const size_t end = wav.size() < 44 ? 0 : 44 + le32(wav, 40);  // a pad byte may follow
        for (size_t p = 44; p + frame <= std::min(end, wav.size()); p += frame) {
            const int v = width == 2 ? int16_t(wav[p] | wav[p + 1] << 8) : wav[p];
            if (opt_stereo) {
                EXPECT_EQ(0, std::memcmp(&wav[p], &wav[p + width], width));
            }
            out.push_back(v);
        }
        return out;
    }
};

}  // namespace

TEST_F(SoundOutput, TimingArithmeticHoldsAtEveryRateAndSpeed)
{
    for (int32_t rate : {11025, 22050, 44100}) {
        for (float speed : {10.0f, 33.0f, 100.0f, 200.0f, 1000.0f}) {
            ASSERT_EQ(start({rate, 16, 1, 40, 8, speed}), 0);
            // T-states per sample: 63750 x 50 x speed% / rate, truncated.
            const double exact = 63750.0 * 50 * speed / 100 / rate;
            EXPECT_EQ(tstates_per_sample, uint32_t(exact)) << rate << " Hz " << speed << "%";
            // A block holds one frame of 64584 T-states at the speed, in whole samples.
            const uint32_t samples = uint32_t(double(speed) / 100 * 64584 / tstates_per_sample);
            EXPECT_EQ(block_bytes, samples * 4) << rate << " Hz " << speed << "%";
            EXPECT_EQ(device_bytes, 8 * block_bytes);
        }
    }
    ASSERT_EQ(start({44100, 16, 1, 40, 8, 100}), 0);
    EXPECT_EQ(tstates_per_sample, 72u);
    EXPECT_EQ(block_bytes, 3588u);  // 897 samples
    ASSERT_EQ(start({44100, 8, 0, 40, 8, 100}), 0);
    EXPECT_EQ(block_bytes, 897u);
    ASSERT_EQ(start({44100, 16, 1, 40, 8, 1000}), 0);
    EXPECT_EQ(tstates_per_sample, 722u);
}

TEST_F(SoundOutput, FormatIsKeptWithinWhatTheDeviceCanPlay)
{
    ASSERT_EQ(start({8000, 16, 1}), 0);
    EXPECT_EQ(opt_freq, 11025);
    EXPECT_EQ(headless_sound_format.rate, 11025u);
    headless_sound_caps = {22050, 1};
    ASSERT_EQ(start({44100, 16, 1}), 0);
    EXPECT_EQ(opt_freq, 22050);
    headless_sound_caps = {100000, 0};  // a device that reports no capabilities gets 8-bit
    ASSERT_EQ(start({44100, 16, 1}), 0);
    EXPECT_EQ(opt_soundbits, 8);
    EXPECT_EQ(headless_sound_format.bits, 8);
}

TEST_F(SoundOutput, SampleBytesFollowTheFormatAndReachTheWavFile)
{
    struct Case { uint8_t bits, stereo; std::vector<uint8_t> frame; };
    for (const Case& c : {Case{16, 1, {0x00, 0x20, 0x00, 0x20}}, Case{16, 0, {0x00, 0x20}},
                          Case{8, 1, {0x20, 0x20}}, Case{8, 0, {0x20}}}) {
        ASSERT_EQ(start({22050, c.bits, c.stereo}), 0);
        vsync_level = 1;  // 8192: 0x2000, or 0x20 in 8 bits
        const std::vector<uint8_t> wav = capture_blocks(2);
        ASSERT_EQ(wav.size(), 44 + 2 * block_bytes);
        EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
        EXPECT_EQ(le32(wav, 4), wav.size() - 8);
        EXPECT_EQ(le32(wav, 22) & 0xFFFF, c.stereo ? 2u : 1u);
        EXPECT_EQ(le32(wav, 24), 22050u);
        EXPECT_EQ(le32(wav, 28), 22050u * c.frame.size());  // bytes per second
        EXPECT_EQ(le32(wav, 32), c.frame.size() | uint32_t(c.bits) << 16);
        EXPECT_EQ(le32(wav, 40), 2 * block_bytes);
        for (size_t p = 44; p < wav.size(); p += c.frame.size())
            ASSERT_TRUE(std::equal(c.frame.begin(), c.frame.end(), wav.begin() + p))
                << int(c.bits) << "-bit " << (c.stereo ? "stereo" : "mono") << " at " << p;
    }
    EXPECT_FALSE(wav_capture_start("/nonexistent-folder/x.wav"));
}

TEST_F(SoundOutput, VolumeSetsTheFactorAndLoudSamplesSaturate)
{
    for (int32_t volume = 0; volume <= 100; volume += 10) {
        ASSERT_EQ(start({44100, 16, 0, volume}), 0);
        vsync_level = 1;
        const int factor = volume < 40 ? 0 : volume < 80 ? 1 : 2;
        for (int v : samples(capture_blocks(1))) ASSERT_EQ(v, 8192 * factor) << "volume " << volume;
    }
    ASSERT_EQ(start({44100, 16, 0, 100}), 0);
    opt_sound = 0;  // "Sound Enabled" off silences without stopping the device
    vsync_level = 1;
    for (int v : samples(capture_blocks(1))) ASSERT_EQ(v, 0);
    // VSYNC and three channels at full volume, doubled: beyond 16 bits, held at the top.
    opt_sound = 1;
    ay_select(7);
    ay_write(0xFF);
    for (uint8_t r = 8; r < 11; ++r) {
        ay_select(r);
        ay_write(15);
    }
    for (int v : samples(capture_blocks(1))) ASSERT_EQ(v, 32767);
    ASSERT_EQ(start({44100, 8, 0, 100}), 0);
    vsync_level = 1;
    ay_select(8);
    ay_write(15);  // after the restart the AY is silent again but for this channel
    ay_select(7);
    ay_write(0xFF);
    for (int v : samples(capture_blocks(1))) ASSERT_EQ(v, (8192 + 7999) * 2 >> 8);
}

TEST_F(SoundOutput, VsyncSoundFollowsTheLevel)
{
    ASSERT_EQ(start({44100, 16, 0}), 0);
    ASSERT_TRUE(wav_capture_start(wav_path()));
    // A 10-sample square: the level flips every 720 T-states.
    for (int half = 0; half < 400; ++half) {
        vsync_level = half & 1;
        run(720);
    }
    const std::vector<int> s = samples(finish_capture());
    ASSERT_GT(s.size(), 1000u);
    int run_length = 0, runs = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        ASSERT_TRUE(s[i] == 0 || s[i] == 8192);
        ++run_length;
        if (s[i] != s[i - 1]) {
            if (runs++) {
                EXPECT_EQ(run_length, 10) << "at sample " << i;
            }
            run_length = 0;
        }
    }
    EXPECT_GT(runs, 100);
}

TEST_F(SoundOutput, AyTonePitchMatchesTheTickRule)
{
    for (int32_t rate : {11025, 22050, 44100}) {
        for (float speed : {100.0f, 200.0f}) {
            for (int period : {40, 200}) {
                ASSERT_EQ(start({rate, 16, 0, 40, 8, speed}), 0);
                ay_select(0);
                ay_write(uint8_t(period));
                ay_select(7);
                ay_write(0x3E);
                ay_select(8);
                ay_write(15);
                const std::vector<int> s = samples(capture_blocks(uint32_t(rate / block_samples())));
                int rises = 0;
                for (size_t i = 1; i < s.size(); ++i) rises += s[i] > s[i - 1];
                // The AY ticks every 16 T-states and a cycle is two halves of `period`
                // ticks; a sample is taken every tstates_per_sample T-states.
                const double expected = double(rate) * tstates_per_sample / (32.0 * period);
                const double measured = rises * double(rate) / double(s.size());
                EXPECT_NEAR(measured, expected, expected * 0.02)
                    << rate << " Hz, " << speed << "%, period " << period;
            }
        }
    }
}

TEST_F(SoundOutput, BlocksGoRoundTheDeviceBufferAndFastModeMakesNone)
{
    ASSERT_EQ(start({44100, 16, 1, 40, 4}), 0);
    EXPECT_EQ(headless_sound_buffer_bytes, 4 * block_bytes);
    for (uint32_t n = 1; n <= 10; ++n) {
        while (headless_sound_blocks < n) sound_advance(4);
        EXPECT_EQ(block_index, (1 + n) % 4);
        EXPECT_EQ(headless_sound_last_offset, block_index * block_bytes);
    }
    ay_select(7);
    ay_write(0x3E);
    fast_mode = 1;
    const uint16_t counter = ay.tone_counter[0];
    run(20 * 64584);
    EXPECT_EQ(headless_sound_blocks, 10u);
    EXPECT_EQ(ay.tone_counter[0], counter);
}

TEST_F(SoundOutput, EachBlockWaitsForTheDeviceToReachIt)
{
    ASSERT_EQ(start({44100, 16, 1, 40, 8}), 0);
    headless_sound_cursor_step = block_bytes / 5;  // the device plays a fifth of a block per poll
    for (uint32_t n = 1; n <= 12; ++n) {
        const uint32_t reads = headless_sound_cursor_reads;
        while (headless_sound_blocks < n) sound_advance(4);
        EXPECT_EQ(headless_sound_cursor / block_bytes, block_index) << "block " << n;
        EXPECT_GT(headless_sound_cursor_reads - reads, 1u) << "block " << n;
    }
    // A device that has stopped playing holds the emulation only for a bounded time.
    host_sound_stop();
    const uint32_t start_ms = host_tick_ms();
    while (headless_sound_blocks < 13) sound_advance(4);
    EXPECT_LT(host_tick_ms() - start_ms, 2000u);
}

TEST_F(SoundOutput, FailedStartReportsItsStepAndLeavesNoDevice)
{
    struct Case { int step; const char* code; uint8_t sound_after; };
    for (const Case& c : {Case{headless_sound_no_device, "3D - ", 0}, Case{headless_sound_no_cooperative, "3E - ", 0},
                          Case{headless_sound_no_primary, "3F - ", 0}, Case{headless_sound_no_buffer, "40 - ", 1},
                          Case{headless_sound_no_play, "41 - ", 1}}) {
        headless_sound_fail_at = c.step;
        const int errors = headless_error_count;
        EXPECT_NE(start({}), 0);
        const uint32_t blocks = headless_sound_blocks;
        EXPECT_EQ(headless_error_count, errors + 1);
        EXPECT_EQ(headless_last_error.rfind(c.code, 0), 0u) << headless_last_error;
        EXPECT_EQ(opt_sound, c.sound_after) << c.code;
        EXPECT_FALSE(headless_sound_open);
        // The emulation carries on, silent and unpaced; pausing touches no device.
        run(10 * 64584);
        EXPECT_EQ(headless_sound_blocks, blocks);
        sound_pause();
        EXPECT_EQ(emulation_paused, 1);
        sound_resume();
        EXPECT_EQ(emulation_paused, 0);
        EXPECT_FALSE(headless_sound_playing);
    }
}

TEST_F(SoundOutput, PauseResumeAndHoldDriveTheDevice)
{
    ASSERT_EQ(start({}), 0);
    EXPECT_TRUE(headless_sound_playing);
    sound_pause();
    EXPECT_TRUE(emulation_paused && !headless_sound_playing);
    sound_resume();
    EXPECT_TRUE(!emulation_paused && headless_sound_playing);
    sound_hold(1);
    EXPECT_TRUE(!emulation_paused && !headless_sound_playing);
    sound_hold(0);
    EXPECT_TRUE(!emulation_paused && headless_sound_playing);
    sound_shutdown();
    EXPECT_FALSE(headless_sound_open);
}
