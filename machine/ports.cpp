// The Z80's IN and OUT: the ZX81's own ports (keyboard and vertical sync on 0xFE,
// NMI generator on 0xFD and 0xFE), the AY sound cards, the Memotech mode port
// and the VSYNC sound extras. Ports are decoded by the low byte of the address.
#include "bus.h"
#include "machine/keyboard.h"
#include "sound/ay.h"
#include "sound/sound_output.h"

namespace {

enum AyAccess : uint8_t { ay_register_select, ay_register_select_low, ay_data_write };

struct AyPort {
    uint8_t port;
    uint8_t card;
    AyAccess access;
};
// The AY chip's OUT ports on the four cards (the Quicksilva card is memory-mapped).
const AyPort ay_out_ports[] = {
    {0x0F, ay_zonx, ay_data_write},          {0x1F, ay_zonx, ay_data_write},
    {0xCF, ay_zonx, ay_register_select_low}, {0xDF, ay_zonx, ay_register_select_low},
    {0x3F, ay_fuller_box, ay_register_select_low}, {0x5F, ay_fuller_box, ay_data_write},
    {0xCF, ay_ace_user, ay_data_write},      {0xDF, ay_ace_user, ay_data_write},
    {0xDD, ay_ace_user, ay_register_select},
};

void out_to_ay(uint8_t port, uint8_t value)
{
    for (const AyPort& p : ay_out_ports) {
        if (p.port != port || p.card != ay_card) continue;
        if (p.access == ay_data_write) ay_write(value);
        else ay_select(p.access == ay_register_select_low ? value & 0x0F : value);
        return;
    }
}

// IN from 0xFE: bits 0-4 the keys of every half-row whose address line is low.
uint8_t read_keyboard(uint8_t rows)
{
    uint8_t result = 0x7F;
    for (int row = 0; row < 8; ++row)
        if (!(rows & (1 << row))) result &= key_matrix[row];
    return result;
}

}  // namespace

void port_out(uint16_t port, uint8_t value)
{
    const uint8_t low = uint8_t(port);
    if (watch_ports) note_port_access(port, true);
    if (low == 0xFD) port_event = port_event_out_fd;
    else if (low == 0xFE) port_event = port_event_out_fe;
    else if (ay_card != ay_none) out_to_ay(low, value);
    tstates += 4;
    if (vsync_sound_on) vsync_level = 1;
    if (port_event == port_event_none) port_event = port_event_out_other;  // every OUT ends a vertical sync
}

uint8_t port_in(uint16_t port)
{
    tstates += 3;
    if (watch_ports) note_port_access(port, false);
    uint8_t result = 0xFF;
    switch (uint8_t(port)) {
    case 0x5F:
        if (hires_card == hires_memotech) memotech_mode = port >> 8;
        break;
    case 0xDD:
        if (ay_card == ay_ace_user) result = ay_read();
        break;
    case 0xF5:
        if (vsync_sound_on) {
            port_f5_toggle ^= 1;
            vsync_level = port_f5_toggle;
        }
        break;
    case 0xFB:
        if (hires_card == hires_quicksilva) result = z80.af.hi ^ 0x81;
        break;
    case 0xFE:
        if (vsync_sound_on) vsync_level = 0;
        port_event = port_event_in_fe;
        scan_keyboard();
        result = read_keyboard(uint8_t(port >> 8));
        break;
    }
    tstates += 1;
    return result;
}
