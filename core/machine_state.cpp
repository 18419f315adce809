#include "core/machine_state.h"

#include <cstring>

#include "bus.h"

Z80Registers z80;

uint32_t tstates;
uint32_t instr_start_tstates;
int tstates_per_line = 207;
int line_tstates_left = 207;
uint8_t int_pending;
int port_event;
int nmi_generator_on;

uint8_t emulation_paused;
int fast_mode;
int frame_count;
uint32_t fps_tick;

uint8_t sz53p_table[256];
uint8_t sz53_table[256];
uint8_t parity_table[256];

void build_flag_tables()
{
    for (int v = 0; v < 256; ++v) {
        int bits = 0;
        for (int b = v; b; b >>= 1) bits += b & 1;
        parity_table[v] = (bits & 1) ? 0 : 0x04;
        sz53_table[v] = uint8_t(v & 0xA8);
        sz53p_table[v] = uint8_t(sz53_table[v] | parity_table[v]);
    }
    sz53_table[0] |= 0x40;
    sz53p_table[0] |= 0x40;
}

void reset_machine()
{
    build_flag_tables();
    const uint8_t ei_stamp = z80.ei_stamp;
    std::memset(&z80, 0, sizeof z80);
    z80.ei_stamp = ei_stamp;
    tstates = 0;
    instr_start_tstates = 0;
    int_pending = 0;
    reset_hardware();
}
