#include "cli/host_sound_headless.h"

#include <algorithm>

#include "sound/wav.h"

int headless_sound_fail_at;
HostSoundCaps headless_sound_caps = {100000, 1};
uint32_t headless_sound_cursor_step;
uint32_t headless_sound_cursor_period = 1;
uint32_t headless_sound_bytes_per_second;

bool headless_sound_open;
bool headless_sound_playing;
HostSoundFormat headless_sound_format = {44100, 16, 2};
uint32_t headless_sound_buffer_bytes;
uint32_t headless_sound_blocks;
uint32_t headless_sound_last_offset;
uint32_t headless_sound_cursor_reads;
uint32_t headless_sound_cursor;

namespace {

WavFile capture;
uint64_t play_started_us;

bool step_works(HeadlessSoundFailure step) { return headless_sound_fail_at != step; }

}  // namespace

bool host_sound_create_device() { return step_works(headless_sound_no_device); }
bool host_sound_set_cooperative() { return step_works(headless_sound_no_cooperative); }
HostSoundCaps host_sound_caps() { return headless_sound_caps; }
bool host_sound_create_primary() { return step_works(headless_sound_no_primary); }
void host_sound_set_format(const HostSoundFormat& format) { headless_sound_format = format; }

bool host_sound_create_buffer(uint32_t bytes)
{
    if (!step_works(headless_sound_no_buffer) || bytes == 0) return false;
    headless_sound_open = true;
    headless_sound_buffer_bytes = bytes;
    headless_sound_blocks = headless_sound_last_offset = headless_sound_cursor = 0;
    return true;
}

bool host_sound_play()
{
    if (!headless_sound_open || !step_works(headless_sound_no_play)) return false;
    headless_sound_playing = true;
    play_started_us = host_time_us();
    return true;
}

void host_sound_stop() { headless_sound_playing = false; }
void host_sound_restore() {}
void host_sound_fill(uint16_t) {}

void host_sound_write(uint32_t offset, const uint8_t* data, uint32_t bytes)
{
    if (!headless_sound_open || offset > headless_sound_buffer_bytes ||
        bytes > headless_sound_buffer_bytes - offset)
        return;
    ++headless_sound_blocks;
    headless_sound_last_offset = offset;
    wav_append(capture, data, bytes);
}

uint32_t host_sound_write_cursor()
{
    ++headless_sound_cursor_reads;
    if (headless_sound_bytes_per_second && headless_sound_open && headless_sound_playing)
        return uint32_t((host_time_us() - play_started_us) * headless_sound_bytes_per_second / 1000000 %
                        headless_sound_buffer_bytes);
    if (headless_sound_cursor_step == 0 || !headless_sound_open) return headless_sound_last_offset;
    if (headless_sound_playing && headless_sound_cursor_reads % std::max(headless_sound_cursor_period, 1u) == 0)
        headless_sound_cursor = (headless_sound_cursor + headless_sound_cursor_step) % headless_sound_buffer_bytes;
    return headless_sound_cursor;
}

void host_sound_close()
{
    headless_sound_open = headless_sound_playing = false;
    headless_sound_buffer_bytes = 0;
}

bool wav_capture_start(const std::string& path)
{
    if (capture.file) return false;
    return wav_open(capture, path);
}

bool wav_capture_finish() { return wav_close(capture, headless_sound_format); }
