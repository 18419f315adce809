#include "core/frame_loop.h"

#include "core/machine_state.h"

uint32_t frames_run;
bool frame_stop_requested;
bool scanline_cut_short;

void run_frame()
{
    if (!emulation_paused) run_machine_frame();
}

void run_machine_frame()
{
    frame_stop_requested = false;
    while (tstates < frame_length || scanline_cut_short) {
        run_scanline();
        if (frame_stop_requested) {  // a breakpoint: the next call carries on from here
            if (!scanline_cut_short) store_scanline();
            return;
        }
        store_scanline();
    }
    end_of_frame_duties();
    ++frame_count;
    ++frames_run;
    tstates -= frame_length;  // an instruction's overrun carries into the next frame
}
