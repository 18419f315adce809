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

// IX+d or IY+d of the indexed form being executed, worked out by its prefix before
// the final opcode is dispatched; the same handlers then serve IX and IY.
inline uint32_t indexed_cb_address;

template <int N>
Z80_INLINE uint8_t res_bit(uint32_t v) { return uint8_t(v & ~(1u << N)); }

template <int N>
Z80_INLINE uint8_t set_bit(uint32_t v) { return uint8_t(v | (1u << N)); }

using ByteOp = uint8_t (*)(uint32_t);

// One operation on a register, on (HL), and on (IX+d) with the result also stored in
// register R unless R is HLI (the undocumented copy of the DD CB forms).
template <ByteOp Op, int R>
void update_r() { set<R>(Op(get<R>())); }

template <ByteOp Op>
void update_ihl() { modify<Op>(get<HL>()); }

template <ByteOp Op, int R>
void update_ixd()
{
    const uint8_t v = modify<Op>(indexed_cb_address);
    if constexpr (R != HLI) set<R>(v);
}

template <int Op, int R> constexpr Z80Handler rot_r = update_r<shift8<Op>, R>;
template <int Op> constexpr Z80Handler rot_ihl = update_ihl<shift8<Op>>;
template <int Op, int R> constexpr Z80Handler rot_ixd = update_ixd<shift8<Op>, R>;
template <int N, int R> constexpr Z80Handler res_r = update_r<res_bit<N>, R>;
template <int N> constexpr Z80Handler res_ihl = update_ihl<res_bit<N>>;
template <int N, int R> constexpr Z80Handler res_ixd = update_ixd<res_bit<N>, R>;
template <int N, int R> constexpr Z80Handler set_r = update_r<set_bit<N>, R>;
template <int N> constexpr Z80Handler set_ihl = update_ihl<set_bit<N>>;
template <int N, int R> constexpr Z80Handler set_ixd = update_ixd<set_bit<N>, R>;

// BIT n: bits 5 and 3 come from the register tested, from the byte read for (HL),
// and from the high byte of the address for (IX+d).
template <int N, int R>
void bit_r()
{
    const uint32_t v = get<R>();
    bit_test<N>(v, v);
}

template <int N>
void bit_ihl()
{
    const uint32_t v = read_byte(get<HL>());
    clock(1);
    bit_test<N>(v, v);
}

template <int N>
void bit_ixd()
{
    const uint32_t v = read_byte(uint16_t(indexed_cb_address));
    clock(1);
    bit_test<N>(v, indexed_cb_address >> 8);
}

}  // namespace z80ops
