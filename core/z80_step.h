// One instruction of normal running, inline, for a loop that runs many of them
// (the display loop): the M1 cycle and the dispatch through the main table, with
// no call between the loop and the fetch, so the loop's own values stay in registers.
#pragma once
#include <cstdint>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80.h"
#include "core/z80_registers.h"

// The main dispatch table (256 entries), for the inline instruction step.
extern const Z80Handler* const z80_main_dispatch;

// Fetch, decode and run one instruction through the given main table.
Z80_INLINE void run_instruction_through(const Z80Handler* main)
{
    instr_start_tstates = tstates;
    z80ops::count_refresh();
    main[fetch_opcode(uint16_t(z80ops::take_pc<1>()))]();
}

// What execute_instruction does, inline. True: the debugger asks the loop to stop.
Z80_INLINE bool execute_instruction_inline()
{
    run_instruction_through(z80_main_dispatch);
    return after_instruction();
}
