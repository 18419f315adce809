// The AY chip: the mixer, noise timing, the sixteen envelope shapes, and clocks applied
// in a batch giving what clocks applied one by one give.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "sound/ay.h"

namespace {

void write(uint32_t reg, uint8_t value) { ay_select(uint8_t(reg)), ay_write(value); }

void program(std::initializer_list<std::pair<uint8_t, uint8_t>> writes)
{
    ay_reset();
    for (auto [reg, value] : writes) write(reg, value);
}

// Level of a channel after each of `ticks` chip clocks.
std::vector<uint32_t> levels(int channel, int ticks)
{
    std::vector<uint32_t> out;
    while (ticks-- > 0) ay_tick(), ay_mix(), out.push_back(ay.channel_level[channel]);
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
    return 1 - double(std::count(seq.begin(), seq.end(), 0u)) / double(seq.size());
}

}  // namespace

TEST(AyChip, MixerGatesEachChannelByItsOwnBits)
{
    struct Case { bool tone, noise; double on, tolerance; };
    for (int ch = 0; ch < 3; ++ch)
        for (Case c : {Case{false, false, 1.0, 0.0}, Case{true, false, 0.5, 0.01}, Case{false, true, 0.5, 0.1},
                       Case{true, true, 0.25, 0.08}}) {
            // Every channel: tone period 3, its own fixed volume; only `ch` has sources enabled.
            const uint8_t mixer = uint8_t(0x3F & ~((c.tone ? 1 : 0) << ch) & ~((c.noise ? 8 : 0) << ch));
            for (int k = 0; k < 3; ++k) {
                program({{0, 3}, {2, 3}, {4, 3}, {6, 1}, {7, mixer}, {8, 5}, {9, 6}, {10, 7}});
                const std::vector<uint32_t> seq = levels(k, 4000);
                EXPECT_NEAR(fraction_on(seq), k == ch ? c.on : 1.0, c.tolerance) << "channel " << k << " of " << ch;
                for (uint32_t v : seq) ASSERT_TRUE(v == 0 || v == ay_volume_table[5 + k]);
            }
        }
    program({{10, 15}});  // all sources disabled after reset: a steady level at the volume
    EXPECT_EQ(levels(2, 1)[0], 7999u);
}

TEST(AyChip, NoiseChangesOnlyEveryPeriodAndSoundsRandom)
{
    for (int period : {0, 1, 5, 31}) {
        program({{6, uint8_t(period)}, {7, 0x37}, {8, 15}});
        const int step = std::max(period, 1);
        const std::vector<uint32_t> seq = levels(0, 3000 * step);
        const std::vector<int> at = changes(seq);
        ASSERT_GT(at.size(), 500u) << period;
        int longest = 0;
        for (size_t i = 1; i < at.size(); ++i) {
            ASSERT_EQ((at[i] - at[0]) % step, 0) << period;
            longest = std::max(longest, (at[i] - at[i - 1]) / step);
        }
        EXPECT_NEAR(fraction_on(seq), 0.5, 0.1) << period;
        EXPECT_LT(longest, 24) << period;
    }
}

TEST(AyChip, EnvelopeShapesTimingAndRestart)
{
    const std::string down = "FEDCBA9876543210", up = "0123456789ABCDEF", low(32, '0'), high(32, 'F');
    const std::string expected[16] = {
        down + low, down + low, down + low, down + low, up + low, up + low, up + low, up + low,  // 0-7
        down + down + down, down + low, down + up + down, down + high,                          // 8-11
        up + up + up, up + high, up + down + up, up + low,                                      // 12-15
    };
    for (int shape = 0; shape < 16; ++shape) {
        program({{8, 0x10}, {13, uint8_t(shape)}});  // period 0: a step every second tick
        std::string seen;
        for (size_t i = 0; i < expected[shape].size(); ++i, ay_tick(), ay_tick()) {
            seen += up[ay.env_volume];
            ay_mix();
            ASSERT_EQ(ay.channel_level[0], ay_volume_table[ay.env_volume]);
        }
        EXPECT_EQ(seen, expected[shape]) << "shape " << shape;
    }
    program({{11, 3}, {13, 8}, {10, 0x10}});  // period 3: a step every 2 x 3 ticks
    std::vector<uint32_t> seq;
    for (int i = 0; i < 60; ++i, ay_tick()) seq.push_back(ay.env_volume);
    const std::vector<int> at = changes(seq);
    ASSERT_GE(at.size(), 5u);
    for (size_t i = 1; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], 6);
    write(13, 8);  // writing the same shape again starts the envelope afresh
    EXPECT_EQ(ay.env_volume, 15);
    // A register number beyond 15 (the Ace User card latches the whole byte) is ignored.
    program({{0x1F, 0x55}});
    EXPECT_EQ(ay_read(), 0xFF);
    for (uint8_t reg : ay.regs) EXPECT_NE(reg, 0x55);
}

TEST(AyChip, ClocksCaughtUpAtOnceMatchClocksOneByOne)
{
    // The same random writes and runs of clocks, with a mix after each run: first clocked
    // tick by tick, then with the clocks left pending until the mix applies them.
    auto play = [](bool lazily) {
        std::mt19937 random(81);
        std::vector<uint32_t> seen;
        auto run_and_mix = [&](uint32_t ticks) {
            if (lazily) ay_pending_ticks += ticks;
            while (!lazily && ticks-- > 0) ay_tick();
            ay_mix();
            ay_catch_up();  // a silent chip's mix leaves the clocks pending
            seen.insert(seen.end(), {ay.channel_level[0], ay.channel_level[1], ay.channel_level[2],
                                     ay.tone_counter[0], ay.tone_counter[1], ay.tone_counter[2], ay.env_counter,
                                     ay.env_volume, ay.noise_counter, ay.noise_lfsr_lo});
        };
        // An envelope nobody listens to counts on to 65535 (2 ticks a count); once it is
        // heard its counter wraps round to 0 and counts up to the period from there.
        program({{13, 8}});
        run_and_mix(2 * 65535);
        write(11, 5), write(8, 0x10);
        run_and_mix(40);
        for (int round = 0; round < 1500; ++round) {
            // Mostly short periods, so every counter expires (and is cut short) often.
            const uint32_t reg = random() % 14, roll = random() % 8;
            const uint8_t value = uint8_t(roll < 5 ? random() % 8 : roll < 7 ? random() % 64 : random());
            write(reg, reg == 7 ? uint8_t(value & 0x3F) : value);
            run_and_mix(round % 300 == 0 ? 140000 : random() % 4 ? random() % 40 : random() % 3000);
        }
        return seen;
    };
    const std::vector<uint32_t> one_by_one = play(false), at_once = play(true);
    ASSERT_EQ(one_by_one.size(), at_once.size());
    for (size_t i = 0; i < one_by_one.size(); ++i) ASSERT_EQ(one_by_one[i], at_once[i]) << "mix " << i / 10;
}
