// Sound output: turns the VSYNC level and the AY chip into PCM samples, hands them to
// the sound device a block at a time, and waits for the device after each block, which
// holds the emulation to real time when the device plays in real time.
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
// What `count` calls of sound_sample do while nothing the samples are made of changes.
void sound_samples(uint32_t count);

// Whether the device holds the emulation to real time. It is judged by how fast it
// takes blocks after every start or restart: one that takes them in well under their
// playing time (a null device, a driver that discards) does not, nor does one that
// keeps the emulation well below real time by its waits (a cursor that stalls). Such a
// device is no longer waited for, and the clock paces the frames (sound/pacing.h)
// until the sound output is started again.
bool sound_paces();

// After every instruction: at most one sample and one AY tick, neither in fast mode. The
// tick is only counted; the chip applies it when its state is next looked at.
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
        ++ay_pending_ticks;
        ay_clock_acc -= ay_divider;
    }
}

// What sound_advance does over a run of instructions of `total` T-states in all, each of
// at most tstates_per_sample, while nothing the samples are made of changes and no AY
// chip is fitted. Outside fast mode the run starts with less than a sample's worth
// pending; each instruction then makes at most one sample, so they can be counted at once.
inline void sound_advance_steady(uint32_t total)
{
    sound_tstates += total;
    if (fast_mode || sound_tstates < tstates_per_sample) return;
    uint32_t count = 0;
    for (; sound_tstates >= tstates_per_sample; sound_tstates -= tstates_per_sample) ++count;
    sound_samples(count);
}

// AY ticks of a run of calls of sound_advance(n), n at most ay_divider, that starts with
// the accumulator at most ay_divider: the accumulator then stays within 0-32 and is left
// within 1-16 by every tick, so `total` (the start plus the run's T-states) gives the
// tick count directly.
inline uint32_t ay_ticks_within(uint32_t total) { return total > ay_divider ? (total - 1) / ay_divider : 0; }
// A sample may apply the pending ticks, so a run adds its own as it goes.
inline void add_ay_ticks(uint32_t& added, uint32_t upto)
{
    ay_pending_ticks += upto - added;
    added = upto;
}

// What `count` calls of sound_advance(n) in a row do, when nothing the samples are made
// of changes between them. Outside fast mode and with less than a sample's worth
// pending, each call makes at most one sample and leaves less than a sample's worth, so
// the samples can be counted at once; a sample falling in call k sees the AY ticks of
// the k - 1 calls before it.
inline void sound_advance_repeated(uint32_t n, int count)
{
    if (fast_mode || sound_tstates >= tstates_per_sample || n > tstates_per_sample ||
        (ay_card && (n > ay_divider || ay_clock_acc > ay_divider))) {
        for (int k = 0; k < count; ++k) sound_advance(n);
        return;
    }
    uint32_t pending = sound_tstates + n * uint32_t(count);
    if (!ay_card) {
        uint32_t count = 0;
        for (; pending >= tstates_per_sample; pending -= tstates_per_sample) ++count;
        if (count) sound_samples(count);
        sound_tstates = pending;
        return;
    }
    const uint32_t start = sound_tstates, acc = ay_clock_acc;
    uint32_t ticks = 0;  // of the calls so far, already added to the pending ones
    for (uint32_t at = tstates_per_sample; pending >= tstates_per_sample; at += tstates_per_sample) {
        add_ay_ticks(ticks, ay_ticks_within(acc + (at - start - 1) / n * n));
        sound_sample();
        pending -= tstates_per_sample;
    }
    sound_tstates = pending;
    add_ay_ticks(ticks, ay_ticks_within(acc + n * uint32_t(count)));
    ay_clock_acc = uint8_t(acc + n * uint32_t(count) - ticks * ay_divider);
}
