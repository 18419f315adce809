// Cost of the sound path with the headless device (no pacing): nanoseconds per
// sound_advance call over a typical mix of instruction lengths, per AY clock and per
// sample, and how many times real time the sound path alone could run.
#include <chrono>
#include <cstdio>

#include "sound/sound_output.h"

namespace {

template <typename F>
double ns_per_call(long calls, F body)
{
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i) body(i);
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / calls;
}

}  // namespace

int main()
{
    if (sound_init() != 0) return 1;
    ay_select(7);
    ay_write(0x30);  // three tones, noise on A
    for (uint8_t r = 8; r < 11; ++r) {
        ay_select(r);
        ay_write(r == 10 ? 0x10 : 0x0F);
    }
    ay_select(13);
    ay_write(14);

    // 4, 7, 11 and 4 T-states: 6.5 on average
    constexpr uint32_t lengths[4] = {4, 7, 11, 4};
    const double advance = ns_per_call(200'000'000, [&](long i) { sound_advance(lengths[i & 3]); });
    const double tick = ns_per_call(50'000'000, [](long) { ay_tick(); });
    const double sample = ns_per_call(20'000'000, [](long) { sound_sample(); });
    std::printf("sound_advance: %.2f ns per call (%.0f x real time at 3.25 MHz)\n", advance,
                1e9 / (advance * 3.25e6 / 6.5));
    std::printf("ay_tick: %.2f ns; sound_sample with AY mix: %.2f ns\n", tick, sample);
    return 0;
}
