#include <cstring>

#include "bus.h"
#include "core/frame_loop.h"
#include "core/z80.h"

uint8_t flat_memory[65536];
int flat_port_reply = -1;
uint16_t flat_last_in_port, flat_last_out_port;
uint8_t flat_last_out_value;
int flat_in_count, flat_out_count;
void (*flat_trap_handler)();

void reset_hardware()
{
    std::memset(flat_memory, 0, sizeof flat_memory);
    flat_port_reply = -1;
    flat_in_count = flat_out_count = 0;
}

// Without display hardware a scanline is just 207 T-states of instructions,
// with the maskable interrupt offered after each one.
void run_scanline()
{
    const uint32_t end = tstates + uint32_t(tstates_per_line);
    while (tstates < end) {
        port_event = 0;
        execute_instruction();
        if (int_pending) accept_interrupt();
    }
}

void store_scanline() {}
void end_of_frame_duties() {}
