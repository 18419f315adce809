// Real-time pacing. A sound device that plays in real time holds the emulation to the
// chosen speed by itself: the sound output waits for it after every block. Where it
// does not (no device, a start that failed, a device that takes samples faster than it
// plays them), the clock does: each frame gets its share of real time at the chosen
// speed, and the main loop sleeps until that share is used up.
#pragma once

// After every pass of the main loop: waits until the frame just run is due, when the
// clock paces; returns at once while paused, in fast mode or when the device paces.
void pace_frame();
