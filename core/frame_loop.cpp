#include "core/frame_loop.h"

#include "core/machine_state.h"

void run_frame()
{
    if (emulation_paused) return;
    while (tstates < frame_length) {
        run_scanline();
        store_scanline();
    }
    end_of_frame_duties();
    ++frame_count;
    tstates -= frame_length;  // an instruction's overrun carries into the next frame
}
