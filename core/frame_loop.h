// The frame loop: scanlines until a frame of T-states is complete.
#pragma once

void run_frame();

// Provided by the display hardware.
void run_scanline();
void store_scanline();
// Per-frame duties of the rest of the machine (keyboard helper, PC log), after a frame.
void end_of_frame_duties();
