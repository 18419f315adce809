// The AY chip on its own: register widths, tone and noise timing, the mixer,
// the volume steps and the sixteen envelope shapes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/ay.h"

namespace {

void set_reg(uint8_t reg, uint8_t value)
{
    ay_select(reg);
    ay_write(value);
}

// Channel levels after each of `ticks` chip clocks.
std::vector<uint32_t> levels(int channel, int ticks)
{
    std::vector<uint32_t> out;
    for (int i = 0; i < ticks; ++i) {
        ay_tick();
        ay_mix();
        out.push_back(ay.channel_level[channel]);
    }
    return out;
}

// Tick numbers at which a sequence changes value.
std::vector<int> changes(const std::vector<uint32_t>& seq)
{
    std::vector<int> at;
    for (size_t i = 1; i < seq.size(); ++i)
        if (seq[i] != seq[i - 1]) at.push_back(int(i));
    return at;
}

double fraction_on(const std::vector<uint32_t>& seq)
{
    int on = 0;
    for (uint32_t v : seq) on += v != 0;
    return double(on) / double(seq.size());
}

}  // namespace

TEST(AyChip, RegistersKeepTheirDocumentedWidths)
{
    ay_reset();
    // Coarse tone and envelope shape are 4 bits; noise period and amplitudes 5 bits.
    const uint8_t width[16] = {8, 4, 8, 4, 8, 4, 5, 8, 5, 5, 5, 8, 8, 4, 8, 8};
    for (int r = 0; r < 15; ++r) {
        set_reg(uint8_t(r), 0xFF);
        EXPECT_EQ(ay_read(), uint8_t((1u << width[r]) - 1)) << "R" << r;
    }
    // Port B reads as an input (0xFF) until R7 bit 7 makes it an output.
    set_reg(7, 0x3F);
    set_reg(15, 0x12);
    EXPECT_EQ(ay_read(), 0xFF);
    set_reg(7, 0xBF);
    ay_select(15);
    EXPECT_EQ(ay_read(), 0x12);
    // A register number beyond 15 (the Ace User card latches the whole byte) is ignored.
    ay_select(0x1F);
    ay_write(0x55);
    EXPECT_EQ(ay_read(), 0xFF);
    for (int r = 0; r < 16; ++r) EXPECT_NE(ay.regs[r], 0x55) << "R" << r;
}

TEST(AyChip, ToneOutputTurnsOverEveryPeriodTicks)
{
    for (int period : {0, 1, 2, 7, 0x123}) {
        ay_reset();
        set_reg(0, uint8_t(period));
        set_reg(1, uint8_t(period >> 8));
        set_reg(7, 0x3E);  // tone A only
        set_reg(8, 15);
        const std::vector<int> at = changes(levels(0, 6 * std::max(period, 1) + 2));
        ASSERT_GE(at.size(), 4u) << "period " << period;
        for (size_t i = 1; i < at.size(); ++i)
            EXPECT_EQ(at[i] - at[i - 1], std::max(period, 1)) << "period " << period;
    }
}

TEST(AyChip, MixerGatesEachChannelByItsOwnBits)
{
    for (int ch = 0; ch < 3; ++ch) {
        // tone disabled, noise disabled -> fraction of time the channel sounds
        struct Case { bool tone_off, noise_off; double on, tolerance; };
        for (Case c : {Case{true, true, 1.0, 0.0}, Case{false, true, 0.5, 0.01},
                       Case{true, false, 0.5, 0.1}, Case{false, false, 0.25, 0.08}}) {
            ay_reset();
            for (int other = 0; other < 3; ++other) {
                set_reg(uint8_t(2 * other), 3);
                set_reg(uint8_t(8 + other), uint8_t(5 + other));
            }
            set_reg(6, 1);
            set_reg(7, uint8_t(0x3F & ~((c.tone_off ? 0 : 1) << ch) & ~((c.noise_off ? 0 : 8) << ch)));
            std::vector<uint32_t> seq[3];
            for (int i = 0; i < 4000; ++i) {
                ay_tick();
                ay_mix();
                for (int k = 0; k < 3; ++k) seq[k].push_back(ay.channel_level[k]);
            }
            EXPECT_NEAR(fraction_on(seq[ch]), c.on, c.tolerance) << "channel " << ch;
            for (uint32_t v : seq[ch]) ASSERT_TRUE(v == 0 || v == ay_volume_table[5 + ch]);
            for (int k = 0; k < 3; ++k)  // the other two channels stay steadily on
                if (k != ch) {
                    EXPECT_EQ(fraction_on(seq[k]), 1.0) << "channel " << k << " with " << ch;
                }
        }
    }
}

TEST(AyChip, FixedVolumeGivesSteadyLevelRisingWithEachStep)
{
    ay_reset();  // R7 = 0xFF: every gate held open
    uint32_t last = 0;
    for (int v = 0; v < 16; ++v) {
        set_reg(9, uint8_t(v));
        const std::vector<uint32_t> seq = levels(1, 50);
        EXPECT_TRUE(changes(seq).empty()) << "volume " << v;
        EXPECT_TRUE(v == 0 ? seq[0] == 0 : seq[0] > last) << "volume " << v;
        last = seq[0];
    }
    EXPECT_EQ(last, 7999u);  // the loudest step, 8191 scaled to the sample range
}

TEST(AyChip, NoiseChangesOnlyEveryPeriodAndSoundsRandom)
{
    for (int period : {0, 1, 5, 31}) {
        ay_reset();
        set_reg(6, uint8_t(period));
        set_reg(7, 0x37);  // noise A only
        set_reg(8, 15);
        const int step = std::max(period, 1);
        const std::vector<uint32_t> seq = levels(0, 3000 * step);
        const std::vector<int> at = changes(seq);
        ASSERT_GT(at.size(), 500u) << "period " << period;
        int longest = 0;
        for (size_t i = 1; i < at.size(); ++i) {
            ASSERT_EQ((at[i] - at[0]) % step, 0) << "period " << period;
            longest = std::max(longest, (at[i] - at[i - 1]) / step);
        }
        EXPECT_NEAR(fraction_on(seq), 0.5, 0.1) << "period " << period;
        EXPECT_LT(longest, 24) << "period " << period;
    }
}

TEST(AyChip, EnvelopeShapesFollowTheirPatterns)
{
    const std::string down = "FEDCBA9876543210", up = "0123456789ABCDEF";
    const std::string low(32, '0'), high(32, 'F');
    const std::string expected[16] = {
        down + low,        down + low,       down + low,  down + low,   // \___
        up + low,          up + low,         up + low,    up + low,     // /___
        down + down + down, down + low,                                // \\\\ and \___
        down + up + down,  down + high,                                // \/\/ and \```
        up + up + up,      up + high,        up + down + up, up + low, // ////, /```, /\/\, /___
    };
    for (int shape = 0; shape < 16; ++shape) {
        ay_reset();
        set_reg(8, 0x10);  // channel A follows the envelope; period 0 steps every second tick
        set_reg(13, uint8_t(shape));
        std::string seen;
        for (size_t i = 0; i < expected[shape].size(); ++i) {
            seen += "0123456789ABCDEF"[ay.env_volume];
            ay_mix();
            ASSERT_EQ(ay.channel_level[0], ay_volume_table[ay.env_volume]);
            ay_tick();
            ay_tick();
        }
        EXPECT_EQ(seen, expected[shape]) << "shape " << shape;
    }
}

TEST(AyChip, EnvelopeStepsEveryTwoPeriodsAndRestartsOnShapeWrite)
{
    ay_reset();
    set_reg(11, 3);
    set_reg(13, 8);
    set_reg(10, 0x10);
    std::vector<uint32_t> seq;
    for (int i = 0; i < 60; ++i) {
        ay_tick();
        seq.push_back(ay.env_volume);
    }
    const std::vector<int> at = changes(seq);
    ASSERT_GE(at.size(), 5u);
    for (size_t i = 1; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], 6);
    EXPECT_LT(ay.env_volume, 15);
    set_reg(13, 8);  // the same shape again starts the envelope afresh
    EXPECT_EQ(ay.env_volume, 15);
    // With no channel using the envelope, it does not move.
    set_reg(10, 0x0F);
    for (int i = 0; i < 60; ++i) ay_tick();
    EXPECT_EQ(ay.env_volume, 15);
}
