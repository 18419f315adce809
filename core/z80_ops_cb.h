// Handler families of the CB-prefixed instructions (shifts, rotates, BIT, RES, SET)
// and of their indexed forms DD CB d op and FD CB d op.
#pragma once
#include <cstdint>

#include "bus.h"
#include "core/z80.h"
#include "core/z80_alu.h"
#include "core/z80_ops.h"
#include "core/z80_registers.h"

namespace z80ops {

// One operation (a ByteOp) on a register, on (HL), and on (IX+d) with the result also
// stored in register R unless R is HLI (the undocumented copy of the DD CB forms).
// The address IX+d or IY+d was worked out by the prefix before the final opcode was
// dispatched, so the same handlers serve IX and IY.
template <int Op, int R, class Cpu>
void update_r(Cpu& c) { set<R>(c, byte_op<Op>(c, get<R>(c))); }

template <int Op, class Cpu>
void update_ihl(Cpu& c) { modify<Op>(c, get<HL>(c)); }

template <int Op, int R, class Cpu>
void update_ixd(Cpu& c)
{
    const uint8_t v = modify<Op>(c, regs(c).cb_address);
    if constexpr (R != HLI) set<R>(c, v);
}

template <int Op, int R, class Cpu> void rot_r(Cpu& c) { update_r<Op, R>(c); }
template <int Op, class Cpu> void rot_ihl(Cpu& c) { update_ihl<Op>(c); }
template <int Op, int R, class Cpu> void rot_ixd(Cpu& c) { update_ixd<Op, R>(c); }
template <int N, int R, class Cpu> void res_r(Cpu& c) { update_r<RES0 + N, R>(c); }
template <int N, class Cpu> void res_ihl(Cpu& c) { update_ihl<RES0 + N>(c); }
template <int N, int R, class Cpu> void res_ixd(Cpu& c) { update_ixd<RES0 + N, R>(c); }
template <int N, int R, class Cpu> void set_r(Cpu& c) { update_r<SET0 + N, R>(c); }
template <int N, class Cpu> void set_ihl(Cpu& c) { update_ihl<SET0 + N>(c); }
template <int N, int R, class Cpu> void set_ixd(Cpu& c) { update_ixd<SET0 + N, R>(c); }

// BIT n: bits 5 and 3 come from the register tested, from the byte read for (HL),
// and from the high byte of the address for (IX+d).
template <int N, int R, class Cpu>
void bit_r(Cpu& c)
{
    const uint32_t v = get<R>(c);
    bit_test<N>(c, v, v);
}

template <int N, class Cpu>
void bit_ihl(Cpu& c)
{
    const uint32_t v = read_byte(c, get<HL>(c));
    clock(c, 1);
    bit_test<N>(c, v, v);
}

template <int N, class Cpu>
void bit_ixd(Cpu& c)
{
    const uint32_t v = read_byte(c, uint16_t(regs(c).cb_address));
    clock(c, 1);
    bit_test<N>(c, v, regs(c).cb_address >> 8);
}

}  // namespace z80ops
