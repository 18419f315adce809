#include "sound/ay.h"

#include <cstring>

AyChip ay;
uint8_t ay_selected;
uint16_t ay_volume_table[16];
uint32_t ay_pending_ticks;

namespace {

// Bits each register keeps: the coarse tone periods and the envelope shape are 4 bits,
// the noise period and the three volumes (level plus envelope bit) 5 bits.
constexpr uint8_t register_mask[16] = {0xFF, 0x0F, 0xFF, 0x0F, 0xFF, 0x0F, 0x1F, 0xFF,
                                       0x1F, 0x1F, 0x1F, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF};

// The DAC's output for each volume step, before scaling to the sample range.
constexpr uint16_t volume_base[16] = {0,    112,  159,  223,  335,  511,  703,  1119,
                                      1343, 2143, 2943, 3679, 4655, 5759, 6911, 8191};

constexpr int reg_mixer = 7, reg_volume_a = 8, reg_env_fine = 11, reg_env_coarse = 12,
              reg_env_shape = 13, reg_port_b = 15;
constexpr uint8_t volume_uses_envelope = 0x10;
constexpr uint8_t mixer_port_b_output = 0x80;

// What each envelope shape does when a fall reaches 0 and when a rise reaches 15,
// as the state to go into. Entries a shape never reaches are held_low.
struct EnvelopeEnds {
    EnvState after_fall, after_rise;
};
constexpr EnvelopeEnds envelope_ends[16] = {
    {env_held_low, env_held_low},   {env_held_low, env_held_low},   // 0, 1   \___
    {env_held_low, env_held_low},   {env_held_low, env_held_low},   // 2, 3   \___
    {env_held_low, env_held_low},   {env_held_low, env_held_low},   // 4, 5   /___
    {env_held_low, env_held_low},   {env_held_low, env_held_low},   // 6, 7   /___
    {env_falling, env_held_low},    {env_held_low, env_held_low},   // 8 \\\\, 9 \___
    {env_rising, env_falling},      {env_held_high, env_held_low},  // 10 \/\/, 11 \```
    {env_held_low, env_rising},     {env_held_low, env_held_high},  // 12 ////, 13 /```
    {env_rising, env_falling},      {env_held_low, env_held_low},   // 14 /\/\, 15 /___
};

// A new state starts from the level it implies: a fall or a high hold from 15,
// a rise or a low hold from 0.
void enter_envelope_state(EnvState state)
{
    ay.env_state = state;
    ay.env_volume = (state == env_falling || state == env_held_high) ? 15 : 0;
}

void step_envelope()
{
    const EnvelopeEnds& ends = envelope_ends[ay.regs[reg_env_shape]];
    if (ay.env_state == env_falling) {
        if (ay.env_volume == 0) enter_envelope_state(ends.after_fall);
        else --ay.env_volume;
    } else if (ay.env_state == env_rising) {
        if (ay.env_volume == 15) enter_envelope_state(ends.after_rise);
        else ++ay.env_volume;
    }
}

bool any_channel_uses_envelope()
{
    return ((ay.regs[reg_volume_a] | ay.regs[reg_volume_a + 1] | ay.regs[reg_volume_a + 2]) &
            volume_uses_envelope) != 0;
}

// Whether the channel levels depend on the tone, noise and envelope outputs at all: not
// while every channel has a fixed volume and either a volume of 0 or both sources disabled.
bool levels_follow_outputs = false;

void compute_levels()
{
    const uint32_t mixer = ay.regs[reg_mixer];
    for (int ch = 0; ch < 3; ++ch) {
        // A disable bit holds its source's gate open, so a channel with both disabled is
        // steadily on at its volume.
        const uint32_t tone = ay.tone_out[ch] | (mixer >> ch);
        const uint32_t noise = ay.noise_out | (mixer >> (ch + 3));
        const uint8_t volume = ay.regs[reg_volume_a + ch];
        const uint8_t step = (volume & volume_uses_envelope) ? ay.env_volume : (volume & 0x0F);
        ay.channel_level[ch] = (tone & noise & 1) ? ay_volume_table[step] : 0;
    }
}

// Called whenever the registers change. A chip whose levels cannot change until the next
// write has them worked out now, and its mixes need not catch up.
void registers_changed()
{
    levels_follow_outputs = false;
    for (int ch = 0; ch < 3; ++ch) {
        const uint8_t volume = ay.regs[reg_volume_a + ch];
        const bool both_disabled = ((ay.regs[reg_mixer] >> ch) & 9) == 9;
        if ((volume & volume_uses_envelope) || ((volume & 0x0F) && !both_disabled)) levels_follow_outputs = true;
    }
    if (!levels_follow_outputs) compute_levels();
}

void tick_envelope()
{
    ay.env_prescale ^= 1;
    if (!ay.env_prescale) return;
    ++ay.env_counter;
    const uint32_t period = ay.regs[reg_env_fine] + 256u * ay.regs[reg_env_coarse];
    if (any_channel_uses_envelope() && ay.env_counter >= period) {
        ay.env_counter = 0;
        step_envelope();
    }
}

void tick_tones()
{
    for (int ch = 0; ch < 3; ++ch) {
        const uint32_t period = ay.regs[2 * ch] + 256u * ay.regs[2 * ch + 1];
        if (++ay.tone_counter[ch] >= period) {
            ay.tone_counter[ch] = 0;
            ay.tone_out[ch] ^= 1;
        }
    }
}

// The noise source is a shift register of two 32-bit halves: the low half shifts
// into the high half, and the feedback taps both. Each expiry of the noise counter
// takes the period afresh from R6 and shifts the register once.
void clock_noise()
{
    ay.noise_counter = 0;
    ay.noise_period = ay.regs[6] & 0x1F;
    if (ay.noise_period == 0) ay.noise_period = 1;
    const uint32_t lo = ay.noise_lfsr_lo;
    const uint32_t feedback = (ay.noise_lfsr_hi ^ (lo >> 15) ^ (lo >> 13)) & 1;
    ay.noise_out = uint8_t(lo & 1);
    ay.noise_lfsr_lo = (lo >> 1) | (feedback << 31);
    ay.noise_lfsr_hi = (ay.noise_lfsr_hi >> 1) | ((lo & 1) << 31);
}

void tick_noise()
{
    if (++ay.noise_counter >= ay.noise_period) clock_noise();
}

// Many clocks at once. Every counter is incremented on each of its clocks and expires
// (restarts from 0) once it has reached its period; a period of 0 acts as 1.

// Clocks until the counter next expires. A counter beyond its period (the period was
// lowered) expires on the next clock, unless it wraps round to 0 first.
template <typename Counter>
uint32_t clocks_to_expiry(Counter counter, uint32_t period)
{
    const Counter next = Counter(counter + 1);
    if (next == 0) return period + 1;
    return next >= period ? 1 : period - counter;
}

// Runs the counter for `clocks` clocks with a period that stays the same; returns how
// often it expired.
template <typename Counter>
uint32_t run_counter(Counter& counter, uint32_t period, uint32_t clocks)
{
    const uint32_t first = clocks_to_expiry(counter, period);
    if (clocks < first) {
        counter = Counter(counter + clocks);
        return 0;
    }
    const uint32_t every = period ? period : 1, rest = clocks - first;
    counter = Counter(rest % every);
    return 1 + rest / every;
}

void run_tones(uint32_t ticks)
{
    for (int ch = 0; ch < 3; ++ch) {
        const uint32_t period = ay.regs[2 * ch] + 256u * ay.regs[2 * ch + 1];
        ay.tone_out[ch] ^= uint8_t(run_counter(ay.tone_counter[ch], period, ticks) & 1);
    }
}

// The shift register's halves as one 64-bit register, low half on top: each shift
// moves it right by one and feeds bits 0, 45 and 47 back into bit 63. Up to 16 shifts
// at once only tap bits that were there before them.
void shift_noise(uint32_t shifts)
{
    uint64_t r = uint64_t(ay.noise_lfsr_lo) << 32 | ay.noise_lfsr_hi;
    while (shifts) {
        const uint32_t n = shifts < 16 ? shifts : 16;
        const uint64_t feedback = (r ^ (r >> 45) ^ (r >> 47)) & ((1u << n) - 1);
        r = (r >> n) | (feedback << (64 - n));
        shifts -= n;
    }
    ay.noise_lfsr_lo = uint32_t(r >> 32);
    ay.noise_lfsr_hi = uint32_t(r);
    ay.noise_out = uint8_t(r >> 31 & 1);  // bit 0 of the low half before the last shift
}

void run_noise(uint32_t ticks)
{
    const uint32_t first = clocks_to_expiry(ay.noise_counter, ay.noise_period);
    if (ticks < first) {
        ay.noise_counter = uint8_t(ay.noise_counter + ticks);
        return;
    }
    clock_noise();  // from here on the period is R6's
    const uint32_t more = run_counter(ay.noise_counter, ay.noise_period, ticks - first);
    if (more) shift_noise(more);
}

// Within 32 steps every shape settles into a round whose length divides 32 (or a hold),
// so a long run of steps shortens to between 64 and 95; a held state ends it at once.
void run_envelope(uint32_t ticks)
{
    const uint32_t clocks = (ticks + (ay.env_prescale ^ 1)) / 2;  // prescaler 0 to 1
    ay.env_prescale ^= uint8_t(ticks & 1);
    const uint32_t period = ay.regs[reg_env_fine] + 256u * ay.regs[reg_env_coarse];
    if (!any_channel_uses_envelope()) {
        ay.env_counter = uint16_t(ay.env_counter + clocks);
        return;
    }
    uint32_t steps = run_counter(ay.env_counter, period, clocks);
    if (steps > 64) steps = 64 + steps % 32;
    for (; steps && (ay.env_state == env_falling || ay.env_state == env_rising); --steps) step_envelope();
}

}  // namespace

void ay_reset()
{
    for (int v = 0; v < 16; ++v) ay_volume_table[v] = uint16_t(volume_base[v] * 125u / 128u);  // x 0.9765625
    std::memset(&ay, 0, sizeof ay);
    ay.regs[reg_mixer] = 0xFF;
    ay.noise_lfsr_hi = 1;
    ay_selected = 0;
    ay_pending_ticks = 0;
    registers_changed();
}

void ay_select(uint8_t reg) { ay_selected = reg; }

void ay_write(uint8_t value)
{
    if (ay_selected > 15) return;
    ay_catch_up();  // the clocks so far ran with the old value
    ay.regs[ay_selected] = value & register_mask[ay_selected];
    if (ay_selected == reg_env_shape) {
        // Any write to the shape restarts the envelope, even with the same value.
        ay.env_counter = 0;
        enter_envelope_state((value & 0x04) ? env_rising : env_falling);
    }
    registers_changed();
}

uint8_t ay_read()
{
    // Nothing answers for a register number beyond the chip's sixteen: the bus floats high.
    if (ay_selected > 15) return 0xFF;
    if (ay_selected == reg_port_b && !(ay.regs[reg_mixer] & mixer_port_b_output)) return 0xFF;
    return ay.regs[ay_selected];
}

void ay_tick()
{
    tick_envelope();
    tick_tones();
    tick_noise();
}

void ay_catch_up()
{
    if (!ay_pending_ticks) return;
    run_envelope(ay_pending_ticks);
    run_tones(ay_pending_ticks);
    run_noise(ay_pending_ticks);
    ay_pending_ticks = 0;
}

void ay_mix()
{
    if (!levels_follow_outputs) {  // the levels already stand
        if (ay_pending_ticks >= ay_catch_up_limit) ay_catch_up();
        return;
    }
    ay_catch_up();
    compute_levels();
}
