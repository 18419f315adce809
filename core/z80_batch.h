// A batch run's instruction cycle: each opcode table a switch whose cases are its
// grid's entries, for a loop that inlines it whole (see z80_run.h).
#pragma once
#include <cstdint>

#include "bus.h"
#include "core/machine_state.h"
#include "core/z80_grids.h"

namespace z80ops {

template <Handler<Z80Locals> H>
Z80_INLINE void run_handler(Z80Locals& c) { H(c); }

// Sixteen cases of the switch below, opcodes Row to Row + 15.
#define Z80_CASE(op) \
    case op: run_handler<grid[op]>(c); break;
#define Z80_ROW(row)                                                                                      \
    Z80_CASE(row + 0x0) Z80_CASE(row + 0x1) Z80_CASE(row + 0x2) Z80_CASE(row + 0x3) Z80_CASE(row + 0x4)  \
    Z80_CASE(row + 0x5) Z80_CASE(row + 0x6) Z80_CASE(row + 0x7) Z80_CASE(row + 0x8) Z80_CASE(row + 0x9)  \
    Z80_CASE(row + 0xA) Z80_CASE(row + 0xB) Z80_CASE(row + 0xC) Z80_CASE(row + 0xD) Z80_CASE(row + 0xE)  \
    Z80_CASE(row + 0xF)

template <Z80Table T>
Z80_INLINE void dispatch(Z80Locals& c, uint32_t op)
{
    constexpr const Handler<Z80Locals>* grid = grid_of<Z80Locals>(T);
    if constexpr (T != table_ddcb && T != table_fdcb) c.tstates += 4;
    switch (op) {
        Z80_ROW(0x00) Z80_ROW(0x10) Z80_ROW(0x20) Z80_ROW(0x30) Z80_ROW(0x40) Z80_ROW(0x50) Z80_ROW(0x60)
        Z80_ROW(0x70) Z80_ROW(0x80) Z80_ROW(0x90) Z80_ROW(0xA0) Z80_ROW(0xB0) Z80_ROW(0xC0) Z80_ROW(0xD0)
        Z80_ROW(0xE0) Z80_ROW(0xF0)
    default: __builtin_unreachable();
    }
}

#undef Z80_ROW
#undef Z80_CASE

}  // namespace z80ops

namespace z80ops {

// Fetches, decodes and runs one instruction on the locals.
Z80_INLINE void run_one(Z80Locals& c)
{
    count_refresh(c);
    dispatch<table_main>(c, fetch_opcode(c, uint16_t(take_pc<1>(c))));
}

}  // namespace z80ops
