// What the emulation asks of the computer it runs on. The Windows program and the
// headless front end each provide these; nothing else in the core reaches the host.
#pragma once
#include <cstdint>
#include <string>

// Is the host key with this Windows virtual-key code held down?
bool host_key_down(int virtual_key);
// Does the emulator's main window have the keyboard focus?
bool host_is_foreground();
// The user's application-data folder, without a trailing separator.
std::string host_app_data_folder();
// Milliseconds since some fixed point, and a sleep.
uint32_t host_tick_ms();
void host_sleep_ms(uint32_t ms);
// A finer clock for keeping frames to real time: microseconds since some fixed point,
// and a wait until a moment on that clock (returns at once if it has passed).
uint64_t host_time_us();
void host_wait_until_us(uint64_t moment);
// A finished frame is in the frame buffer: show it.
void host_draw_frame();
// Shows an error text (the "%02X - message" line) to the user.
void host_show_error(const std::string& text);

// ---- Debugger ----
// A breakpoint (table entry index) fired after an instruction of normal running:
// the Windows program opens the debugger here, modally, and returns false when it
// closes; the headless front end reports it and returns true, asking the frame loop
// to stop where it is.
bool host_breakpoint_hit(int index);
// Is the user asking a debugger run to stop (Esc held)?
bool host_stop_requested();
// A message box with an OK button, owned by the main window.
void host_message(const char* text, const char* caption);
// The PC log has grown to this many megabytes: go on logging?
bool host_ask_continue_log(int megabytes);

// ---- Sound device ----
// The sound output streams PCM into one looping buffer that the device plays round and
// round. sound_init makes these calls in the order below and host_sound_close undoes
// them; each returns false when the device refuses. Nothing else calls them.
struct HostSoundFormat {
    uint32_t rate;  // samples per second
    int bits;       // 8 (unsigned) or 16 (signed)
    int channels;   // 1 or 2
};
struct HostSoundCaps {
    uint32_t max_rate;  // highest sample rate the device plays
    uint32_t flags;     // the device's capability flags; 0 when it reports none
};
bool host_sound_create_device();
bool host_sound_set_cooperative();  // priority level, on the main window
HostSoundCaps host_sound_caps();
bool host_sound_create_primary();
void host_sound_set_format(const HostSoundFormat& format);
bool host_sound_create_buffer(uint32_t bytes);  // the looping buffer, in the format set
bool host_sound_play();                         // play looping from the current position
void host_sound_stop();
void host_sound_restore();                      // take back a buffer the system has lost
// Fills the whole buffer with a repeated 16-bit value.
void host_sound_fill(uint16_t value);
// Copies bytes into the buffer at an offset, restoring it first if it was lost.
void host_sound_write(uint32_t offset, const uint8_t* data, uint32_t bytes);
// Where the device will next let us write: bytes from the buffer's start.
uint32_t host_sound_write_cursor();
void host_sound_close();  // stops and releases the buffers and the device, each if present
