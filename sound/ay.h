// The AY programmable sound generator carried by the ZONX, Quicksilva, Fuller Box
// and Ace User cards: three square-wave tone channels, a noise generator, an
// envelope generator and a mixer, programmed through sixteen registers.
#pragma once
#include <cstdint>

struct AyChip {
    uint8_t regs[16];          // R0-R15 as written, masked to their widths
    uint8_t noise_out;         // current noise output bit
    uint8_t env_volume;        // current envelope level 0-15
    uint8_t noise_counter;
    uint8_t noise_period;      // R6 & 0x1F taken when the counter expires, 0 read as 1
    uint8_t env_state;         // one of the EnvState values
    uint8_t env_prescale;      // the envelope advances on every second tick
    uint8_t tone_out[3];       // square-wave output of channels A, B, C
    uint16_t tone_counter[3];
    uint16_t env_counter;
    uint32_t channel_level[3]; // output level of A, B, C for the current sample
    uint32_t noise_lfsr_lo, noise_lfsr_hi;
};

enum EnvState : uint8_t { env_falling = 0, env_rising = 1, env_held_low = 2, env_held_high = 3 };

extern AyChip ay;
extern uint8_t ay_selected;           // register number latched by the last select
extern uint16_t ay_volume_table[16];  // output level of each 4-bit volume
// Chip clocks that have happened but not yet been applied. Nothing outside the chip sees
// its counters between a mix and a register write, so the clocks are counted as they come
// and applied all at once (ay_catch_up) before either.
extern uint32_t ay_pending_ticks;
// A chip nobody listens to still catches up once this many clocks are pending, so
// that catching up stays short.
constexpr uint32_t ay_catch_up_limit = 1 << 16;  // about 16 frames

// Power-on state: registers 0 except R7 = 0xFF (every output disabled).
void ay_reset();
// Register select and data write as decoded from the cards' ports and addresses.
void ay_select(uint8_t reg);
void ay_write(uint8_t value);
uint8_t ay_read();
// One chip clock (every 16 T-states of the Z80), applied at once.
void ay_tick();
// Applies the pending clocks; the result is the same as ay_tick called for each.
void ay_catch_up();
// Sets channel_level for the three channels from the current outputs (after the pending
// clocks). While the registers make the levels independent of the outputs, the clocks
// stay pending.
void ay_mix();
