// The frame loop: scanlines until a frame of T-states is complete.
#pragma once
#include <cstdint>

void run_frame();
// The same frame whether or not the emulation is paused: the debugger's port runs
// drive the machine through it while its window holds the emulation still.
void run_machine_frame();

// Frames completed since start-up (by the frame loop and by the debugger's runs).
extern uint32_t frames_run;
// A breakpoint asked the machine to stop where it is: run_frame returns at once,
// and the next call carries on from the same T-state.
extern bool frame_stop_requested;
// The scanline was left unfinished by such a stop (set by the display hardware).
extern bool scanline_cut_short;

// Provided by the display hardware.
void run_scanline();
void store_scanline();
// Per-frame duties of the rest of the machine (keyboard helper, PC log), after a frame.
void end_of_frame_duties();
