#include "sound/sound_output.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/host.h"
#include "files/config.h"
#include "shell/errors.h"

int vsync_sound_on;
int vsync_level;
uint8_t port_f5_toggle;

uint32_t sound_tstates;
uint32_t tstates_per_sample = 72;  // until sound_init: 44100 Hz at full speed
uint8_t ay_clock_acc;

uint32_t block_bytes;
uint32_t device_bytes;
uint8_t block_index;

namespace {

constexpr uint32_t staging_size = 200000;
uint8_t staging[staging_size];  // the block being assembled
uint32_t staging_pos;

// The sample clock counts 63,750 T-states a frame at 50 frames a second.
constexpr uint64_t sample_clock_tstates = 63750 * 50;
constexpr uint32_t lowest_rate = 11025;
constexpr uint32_t vsync_amplitude = 8192;
constexpr uint32_t volume_step = 40;  // whole steps of 40 in the volume setting multiply the output

HostSoundFormat format;
uint32_t bytes_per_sample;  // all channels of one sample
uint32_t blocks_in_device;
bool buffer_live;           // the looping buffer exists and is being fed

// Judging the device: after a few blocks to settle, a window of blocks must take at
// least three quarters of its playing time, and a device that holds the emulation well
// below real time while it is waited for most of the time (a driver whose cursor stalls)
// fails too. A device that failed is neither waited for nor judged again until the
// output starts afresh; one that passed is judged again window after window.
constexpr uint32_t settle_blocks = 5;
constexpr uint32_t judged_blocks = 25;
constexpr uint32_t least_blocks_held_back = 10;
uint32_t blocks_since_start;
uint64_t window_start_us;
uint64_t window_waited_us;  // of the window's time, spent waiting for the device
bool device_untrusted;

// Speed in hundredths of a percent, kept in a range where no division reaches 0.
uint64_t speed_hundredths()
{
    double speed = opt_emulation_speed;
    if (!(speed >= 0.01)) speed = 0.01;
    if (speed > 1e6) speed = 1e6;
    return uint64_t(std::llround(speed * 100));
}

// Both whole-number conversions truncate.
void compute_block_sizes()
{
    const uint64_t speed = speed_hundredths();
    tstates_per_sample = uint32_t(std::max<uint64_t>(1, sample_clock_tstates * speed / (10000 * format.rate)));
    bytes_per_sample = uint32_t(format.bits / 8 * format.channels);
    uint64_t samples = uint64_t(frame_length) * speed / (10000 * uint64_t(tstates_per_sample));
    samples = std::clamp<uint64_t>(samples, 1, staging_size / bytes_per_sample);
    block_bytes = uint32_t(samples * bytes_per_sample);
    blocks_in_device = uint32_t(std::clamp<int32_t>(opt_num_buffers, 1, 50));
    device_bytes = blocks_in_device * block_bytes;
}

// The format the settings ask for, within what the device can play.
void choose_format(const HostSoundCaps& caps)
{
    uint32_t rate = std::max<uint32_t>(uint32_t(std::max<int32_t>(opt_freq, 0)), lowest_rate);
    if (caps.max_rate) rate = std::min(rate, caps.max_rate);
    opt_freq = int32_t(rate);
    if (opt_soundbits != 16 || caps.flags == 0) opt_soundbits = 8;
    format = {rate, opt_soundbits, opt_stereo ? 2 : 1};
}

int fail(ErrorCode code, bool release)
{
    if (release) sound_shutdown();
    report_error(code);
    return 1;
}

uint32_t scaled_sample()
{
    uint32_t value = vsync_level ? vsync_amplitude : 0;
    if (ay_card) {
        ay_mix();
        value += ay.channel_level[0] + ay.channel_level[1] + ay.channel_level[2];
    }
    const uint32_t factor = uint32_t(std::max<int32_t>(opt_snd_volume, 0)) / volume_step;
    return value * factor * opt_sound;
}

// The bytes of a sample of the value, the first lowest (on a little-endian host): a
// channel of 16 or 8 bits, the same on the right in stereo. Loud passages saturate
// rather than wrap round to the opposite extreme.
uint32_t sample_bytes(uint32_t value)
{
    const uint32_t channel = format.bits == 16 ? std::min<uint32_t>(value, 32767) : std::min<uint32_t>(value >> 8, 255);
    return format.channels == 2 ? channel | channel << format.bits : channel;
}

// Without an AY chip a sample is made of the VSYNC level and the volume settings, which
// seldom change from one sample to the next: the bytes for the last ones are kept (in
// the format since sound_init; a level of -1 forgets them).
int known_level = -1;
uint8_t known_sound;
int32_t known_volume;
uint32_t known_bytes;

inline uint32_t steady_sample_bytes()
{
    if (vsync_level != known_level || opt_snd_volume != known_volume || opt_sound != known_sound) {
        known_level = vsync_level;
        known_volume = opt_snd_volume;
        known_sound = opt_sound;
        known_bytes = sample_bytes(scaled_sample());
    }
    return known_bytes;
}

void hand_over_block();

// `count` samples of the bytes, each full block handed over. Bytes is bytes_per_sample.
template <uint32_t Bytes>
void put_samples_of(uint32_t bytes, uint32_t count)
{
    for (; count; --count) {
        std::memcpy(staging + staging_pos, &bytes, Bytes);
        staging_pos += Bytes;
        if (staging_pos >= block_bytes) hand_over_block();
    }
}

// 8-bit mono, 8-bit stereo or 16-bit mono, 16-bit stereo.
void put_samples(uint32_t bytes, uint32_t count)
{
    switch (bytes_per_sample) {
    case 1: return put_samples_of<1>(bytes, count);
    case 2: return put_samples_of<2>(bytes, count);
    default: return put_samples_of<4>(bytes, count);
    }
}

// Whether the device's write cursor has yet to reach the block just handed over. A
// cursor that moves in steps longer than a block can jump past it, and a host that fell
// behind finds it already gone by: more than half the buffer behind counts as passed.
bool device_before_block()
{
    const uint32_t cursor_block = host_sound_write_cursor() / block_bytes % blocks_in_device;
    const uint32_t behind = (block_index + blocks_in_device - cursor_block) % blocks_in_device;
    return behind != 0 && behind <= blocks_in_device / 2;
}

// Sleeps until the write cursor reaches the block just handed over; returns the time
// it waited. A device that has stopped must not hang the emulator, so the wait gives up
// after a whole buffer's playing time and a little more.
uint64_t wait_for_device()
{
    const uint32_t buffer_ms = uint32_t(uint64_t(device_bytes) * 1000 / (uint64_t(format.rate) * bytes_per_sample));
    const uint32_t start = host_tick_ms();
    const uint64_t start_us = host_time_us();
    while (device_before_block()) {
        if (host_tick_ms() - start > buffer_ms + 250) break;
        host_sleep_ms(1);
    }
    return host_time_us() - start_us;
}

void start_window()
{
    window_start_us = host_time_us();
    window_waited_us = 0;
}

void judge_device(uint64_t waited_us)
{
    ++blocks_since_start;
    if (blocks_since_start <= settle_blocks) {
        if (blocks_since_start == settle_blocks) start_window();
        return;
    }
    window_waited_us += waited_us;
    const uint32_t blocks = blocks_since_start - settle_blocks;
    const uint64_t elapsed_us = host_time_us() - window_start_us;
    const uint64_t playing_us = uint64_t(blocks) * (block_bytes / bytes_per_sample) * 1000000 / format.rate;
    const bool held_back = blocks >= least_blocks_held_back && elapsed_us * 3 > playing_us * 4 &&
                           window_waited_us * 2 > elapsed_us;
    if (held_back || (blocks >= judged_blocks && elapsed_us * 4 < playing_us * 3)) device_untrusted = true;
    if (blocks < judged_blocks) return;
    blocks_since_start = settle_blocks;
    start_window();
}

void hand_over_block()
{
    block_index = uint8_t((block_index + 1) % blocks_in_device);
    host_sound_write(block_index * block_bytes, staging, block_bytes);
    staging_pos = 0;
    // While paused the device is stopped: the debugger's stepping must not wait for it.
    if (!device_untrusted && !emulation_paused) judge_device(wait_for_device());
}

// A device that stopped and plays again has to settle before it is judged.
void restart_device()
{
    host_sound_restore();
    host_sound_play();
    blocks_since_start = 0;
}

}  // namespace

int sound_init()
{
    buffer_live = false;
    device_untrusted = false;
    blocks_since_start = 0;
    host_sound_close();  // anything left from an output that was not shut down
    opt_sound = 0;
    ay_reset();
    if (!host_sound_create_device()) return fail(error_sound_device, false);
    if (!host_sound_set_cooperative()) return fail(error_sound_cooperative, true);
    choose_format(host_sound_caps());
    known_level = -1;
    if (!host_sound_create_primary()) return fail(error_sound_primary, true);
    opt_sound = 1;
    host_sound_set_format(format);
    compute_block_sizes();
    if (!host_sound_create_buffer(device_bytes)) return fail(error_sound_secondary, true);
    if (!host_sound_play()) return fail(error_sound_play, true);
    host_sound_fill(uint16_t(staging[0] | staging[1] << 8));
    block_index = 1;
    staging_pos = 0;
    sound_tstates = 0;
    host_sound_play();
    buffer_live = true;
    return 0;
}

void sound_shutdown()
{
    std::memset(staging, 0, sizeof staging);
    block_index = 0;
    staging_pos = 0;
    vsync_level = 0;
    buffer_live = false;
    host_sound_close();
}

void sound_pause()
{
    emulation_paused = 1;
    if (buffer_live) host_sound_stop();
}

void sound_resume()
{
    emulation_paused = 0;
    if (buffer_live) restart_device();
}

void sound_hold(int flag)
{
    if (!buffer_live) return;
    if (flag) host_sound_stop();
    else restart_device();
}

bool sound_paces() { return buffer_live && !device_untrusted; }

// Without a device buffer there is nowhere for samples to go, so none are made.
void sound_sample()
{
    if (!buffer_live) {
        if (ay_pending_ticks >= ay_catch_up_limit) ay_catch_up();
        return;
    }
    put_samples(ay_card ? sample_bytes(scaled_sample()) : steady_sample_bytes(), 1);
}

void sound_samples(uint32_t count)
{
    if (!buffer_live || ay_card) {
        for (; count; --count) sound_sample();
        return;
    }
    put_samples(steady_sample_bytes(), count);
}
