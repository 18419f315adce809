// The ZX81 as the Z80 sees it: memory reads and writes through the bank table,
// opcode fetches with the display hardware listening, and the I/O ports.
// Plain RAM and ROM are served inline; folding above the RAM top, the add-on
// cards, display fetches and ports go to the out-of-line decoders.
#pragma once
#include <cstdint>

#include "core/machine_state.h"
#include "machine/memory.h"
#include "files/config.h"

// A fetch at or above this address is a display fetch (opcode from the display file).
inline uint32_t display_fetch_threshold() { return uint32_t(opt_M1Not); }

uint8_t display_fetch(uint16_t address);

// Untimed read, for the debugger and the display hardware.
inline uint8_t peek_byte(uint16_t address)
{
    if (address < ram_top && hires_card == hires_none) return bank[address >> 13][address & 0x1FFF];
    return peek_decoded(address);
}

inline uint8_t read_byte(uint16_t address)
{
    tstates += 3;
    return peek_byte(address);
}

inline void write_byte(uint16_t address, uint8_t value)
{
    tstates += 3;
    if (uint32_t(address) - 0x2000u < ram_top - 0x2000u && (hires_card | ay_card | chr_generator) == 0)
        memory[address] = value;
    else
        write_decoded(address, value);
}

// The M1 cycle: the CPU has already counted its 4 T-states and stepped R.
inline uint8_t fetch_opcode(uint16_t address)
{
    if (address < display_fetch_threshold()) return peek_byte(address);
    return display_fetch(address);
}

uint8_t port_in(uint16_t port);
void port_out(uint16_t port, uint8_t value);

// ED FC: the tape-load routine's trap, served by the program-file loader.
void load_trap();
// Per-instruction duties of the debugger; nothing yet.
inline void after_instruction() {}
// Sound accounting for an instruction run by the debugger's stepping.
void step_sound(uint32_t tstates_taken);
// The hardware part of a hard reset.
void reset_hardware();
