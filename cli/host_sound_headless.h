// The sound device of runs without a window: an always-ready device that plays
// nothing and never makes the emulation wait, whose output can be captured as a
// WAV file. Its controls let tests stand in for a real device.
#pragma once
#include <cstdint>
#include <string>

#include "core/host.h"

// The device step that refuses (0: none): the values follow the order of sound_init.
enum HeadlessSoundFailure { headless_sound_works = 0, headless_sound_no_device, headless_sound_no_cooperative,
                            headless_sound_no_primary, headless_sound_no_buffer, headless_sound_no_play };
extern int headless_sound_fail_at;
extern HostSoundCaps headless_sound_caps;   // what the device reports
// 0: the write cursor sits on the block written last, so nothing waits. Otherwise
// the cursor moves this many bytes every cursor_period reads, like a device playing.
extern uint32_t headless_sound_cursor_step;
extern uint32_t headless_sound_cursor_period;
// Nonzero: instead, the cursor moves with the clock at this many bytes a second while
// the buffer plays, like a device playing in real time.
extern uint32_t headless_sound_bytes_per_second;

// What the device has been asked to do, for the tests.
extern bool headless_sound_open;            // a buffer exists
extern bool headless_sound_playing;
extern HostSoundFormat headless_sound_format;
extern uint32_t headless_sound_buffer_bytes;
extern uint32_t headless_sound_blocks;      // writes since the buffer was made
extern uint32_t headless_sound_last_offset;
extern uint32_t headless_sound_cursor_reads;
extern uint32_t headless_sound_cursor;     // where the moving write cursor is

// Everything handed to the device from now on goes into a WAV file at path, in the
// device's format. False if the file cannot be created (or a capture is running).
bool wav_capture_start(const std::string& path);
// Completes and closes the WAV file; false if it could not be written whole.
bool wav_capture_finish();
