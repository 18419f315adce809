// One instruction of normal running, inline, for a loop that runs many of them
// (the display loop): the M1 cycle and the dispatch through the main table, with
// no call between the loop and the fetch, so the loop's own values stay in registers.
#pragma once
#include <array>
#include <cstdint>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80.h"
#include "core/z80_registers.h"

// The main dispatch table, for the inline instruction step.
extern const std::array<Z80Handler, 256> z80_main_table;
// The same with the debugger's per-instruction duties after each handler, and the
// one the display loop runs through (the first, or the second while the debugger
// has duties).
extern const Z80Handler* const z80_duties_dispatch;
extern const Z80Handler* z80_dispatch;

// Fetch, decode and run one instruction through the given main table.
Z80_INLINE void run_instruction_through(const Z80Handler* main)
{
    instr_start_tstates = tstates;
    z80ops::count_refresh(z80);
    main[fetch_opcode(uint16_t(z80ops::take_pc<1>(z80)))]();
}
