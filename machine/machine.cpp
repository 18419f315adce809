#include "machine/machine.h"

#include "bus.h"
#include "core/frame_loop.h"
#include "debugger/pc_log.h"
#include "machine/display.h"
#include "machine/keyboard.h"
#include "sound/sound_output.h"

int machine_init(const std::string& folder)
{
    memory_init(folder);
    display_init();
    release_all_keys();
    set_ram_top();
    return machine_hard_reset();
}

int machine_hard_reset()
{
    reset_machine();
    return load_roms();
}

void end_of_frame_duties()
{
    helper_frame_tick();
    pc_log_frame_end();
}

void after_step(uint32_t tstates_taken)
{
    sound_tstates += tstates_taken;
    if (sound_tstates > tstates_per_sample) {
        sound_sample();
        sound_tstates -= tstates_per_sample;
    }
    if (port_event != port_event_none) follow_port_event();
}
