// Sound output: turns the VSYNC level and the AY chip into PCM samples, hands them to
// the sound device a block at a time, and waits for the device after each block, which
// is what holds the emulation to real time.
#pragma once
#include <cstdint>

#include "core/machine_state.h"
#include "machine/memory.h"
#include "sound/ay.h"

// VSYNC sound: a one-bit level that the port decoding drives while the switch is on.
extern int vsync_sound_on;
extern int vsync_level;        // 0 or 1
extern uint8_t port_f5_toggle; // speaker flip-flop toggled by IN from port 0xF5

extern uint32_t sound_tstates;       // T-states since the last sample
extern uint32_t tstates_per_sample;
extern uint8_t ay_clock_acc;         // T-states towards the next AY tick, wraps at 256
constexpr uint8_t ay_divider = 16;   // the AY is clocked once per 16 Z80 T-states

// Block arithmetic of the running output (set by sound_init).
extern uint32_t block_bytes;   // one block of samples, handed over whole
extern uint32_t device_bytes;  // the device's looping buffer: opt_num_buffers blocks
extern uint8_t block_index;    // the block of the device buffer written last

// Starts the output with the current sound settings. Returns nonzero when it failed
// (the error is reported); the emulation then runs unpaced and silent.
int sound_init();
void sound_shutdown();
// Pause or resume the emulation together with the device; sound_hold only stops
// (flag set) or restarts (flag clear) the device.
void sound_pause();
void sound_resume();
void sound_hold(int flag);

// Produces one sample; a full block goes to the device, then waits for it.
void sound_sample();

// After every instruction: at most one sample and one AY tick, neither in fast mode.
inline void sound_advance(uint32_t n)
{
    sound_tstates += n;
    if (sound_tstates >= tstates_per_sample && !fast_mode) {
        sound_sample();
        sound_tstates -= tstates_per_sample;
    }
    if (!ay_card) return;  // no chip fitted: nothing to clock
    ay_clock_acc = uint8_t(ay_clock_acc + n);
    if (ay_clock_acc > ay_divider && !fast_mode) {
        ay_tick();
        ay_clock_acc -= ay_divider;
    }
}

// What `count` calls of sound_advance(n) in a row do, when nothing the samples are made
// of changes between them. Without an AY chip, outside fast mode and with less than a
// sample's worth pending, each call makes at most one sample and leaves less than a
// sample's worth, so the samples can be counted at once.
inline void sound_advance_repeated(uint32_t n, int count)
{
    if (ay_card || fast_mode || sound_tstates >= tstates_per_sample || n > tstates_per_sample) {
        for (int k = 0; k < count; ++k) sound_advance(n);
        return;
    }
    uint32_t pending = sound_tstates + n * uint32_t(count);
    for (; pending >= tstates_per_sample; pending -= tstates_per_sample) sound_sample();
    sound_tstates = pending;
}
