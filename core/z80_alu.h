// The Z80's arithmetic and logic unit: each operation computes its result and all
// of F at once, from the operands and the flag tables.
#pragma once
#include <cstdint>

#include "core/z80_registers.h"

namespace z80ops {

// The eight accumulator operations, numbered as in the opcodes (ADD A,r is 0x80).
enum AluOp : int { ADD, ADC, SUB, SBC, AND, XOR, OR, CP };

// Carry out of bit 7, half carry out of bit 3 and overflow of a + v (+ carry) = r.
Z80_INLINE uint32_t add_flags(uint32_t a, uint32_t v, uint32_t r)
{
    return ((a ^ v ^ r) & flag_h) | (((a ^ r) & (v ^ r) & 0x80) >> 5) | ((r >> 8) & flag_c);
}

// Borrow, half borrow and overflow of a - v (- carry) = r, with N set.
Z80_INLINE uint32_t sub_flags(uint32_t a, uint32_t v, uint32_t r)
{
    return ((a ^ v ^ r) & flag_h) | (((a ^ v) & (a ^ r) & 0x80) >> 5) | ((r >> 8) & flag_c) | flag_n;
}

// A := A op v.
template <int Op, class Cpu>
Z80_INLINE void alu(Cpu& c, uint32_t v)
{
    const uint32_t a = get<A>(c);
    if constexpr (Op == ADD || Op == ADC) {
        const uint32_t r = a + v + (Op == ADC ? (get<F>(c) & flag_c) : 0);
        set_af(c, r, sz53_table[r & 0xFF] | add_flags(a, v, r));
    } else if constexpr (Op == SUB || Op == SBC) {
        const uint32_t r = a - v - (Op == SBC ? (get<F>(c) & flag_c) : 0);
        set_af(c, r, sz53_table[r & 0xFF] | sub_flags(a, v, r));
    } else if constexpr (Op == CP) {
        // Bits 5 and 3 come from the operand, not from the difference.
        const uint32_t r = a - v;
        set<F>(c, (sz53_table[r & 0xFF] & ~flags_53) | (v & flags_53) | sub_flags(a, v, r));
    } else if constexpr (Op == AND) {
        set_af(c, a & v, sz53p_table[a & v] | flag_h);
    } else if constexpr (Op == XOR) {
        set_af(c, a ^ v, sz53p_table[a ^ v]);
    } else {
        set_af(c, a | v, sz53p_table[a | v]);
    }
}

// INC and DEC of an 8-bit value; they keep C.
template <class Cpu>
Z80_INLINE uint8_t inc8(Cpu& c, uint32_t v)
{
    const uint8_t r = uint8_t(v + 1);
    set<F>(c, (get<F>(c) & flag_c) | sz53_table[r] | ((r & 0x0F) ? 0 : flag_h) | (r == 0x80 ? flag_pv : 0));  // keep C
    return r;
}

template <class Cpu>
Z80_INLINE uint8_t dec8(Cpu& c, uint32_t v)
{
    const uint8_t r = uint8_t(v - 1);
    // keep C
    set<F>(c, (get<F>(c) & flag_c) | flag_n | sz53_table[r] | ((r & 0x0F) == 0x0F ? flag_h : 0) |
           (r == 0x7F ? flag_pv : 0));
    return r;
}

// The CB-prefixed shifts and rotates, numbered as in the opcodes (RLC r is CB 00).
enum ShiftOp : int { RLC, RRC, RL, RR, SLA, SRA, SLL, SRL };

// Shifts v; returns the result and the carry out in bit 8.
template <int Op, class Cpu>
Z80_INLINE uint32_t shifted(Cpu& c, uint32_t v)
{
    const uint32_t carry_in = get<F>(c) & flag_c;
    switch (Op) {
    case RLC: return (v << 1) | (v >> 7);
    case RRC: return (v >> 1) | ((v & 1) << 7) | ((v & 1) << 8);
    case RL: return (v << 1) | carry_in;
    case RR: return (v >> 1) | (carry_in << 7) | ((v & 1) << 8);
    case SLA: return v << 1;
    case SRA: return (v >> 1) | (v & 0x80) | ((v & 1) << 8);
    case SLL: return (v << 1) | 1;
    default: return (v >> 1) | ((v & 1) << 8);  // SRL
    }
}

// CB-prefixed shift: S, Z, 5, 3 and parity from the result, H and N cleared.
template <int Op, class Cpu>
Z80_INLINE uint8_t shift8(Cpu& c, uint32_t v)
{
    const uint32_t r = shifted<Op>(c, v);
    set<F>(c, sz53p_table[r & 0xFF] | (r >> 8));
    return uint8_t(r);
}

// What a read-modify-write instruction does to its byte: a CB shift (ShiftOp), INC,
// DEC, or RES n and SET n (RES0 + n, SET0 + n).
enum ByteOp : int { INC8 = 8, DEC8 = 9, RES0 = 16, SET0 = 24 };

template <int Op, class Cpu>
Z80_INLINE uint8_t byte_op(Cpu& c, uint32_t v)
{
    if constexpr (Op < INC8) return shift8<Op>(c, v);
    else if constexpr (Op == INC8) return inc8(c, v);
    else if constexpr (Op == DEC8) return dec8(c, v);
    else if constexpr (Op < SET0) return uint8_t(v & ~(1u << (Op - RES0)));
    else return uint8_t(v | (1u << (Op - SET0)));
}

// RLCA, RRCA, RLA, RRA: the same rotations of A, keeping S, Z and P/V.
template <int Op, class Cpu>
inline void rotate_a(Cpu& c)
{
    const uint32_t r = shifted<Op>(c, get<A>(c));
    set_af(c, r, (get<F>(c) & (flag_s | flag_z | flag_pv)) | (r & flags_53) | (r >> 8));  // keep S, Z, P/V
}

// BIT n: Z and P/V when the bit is 0, S for a set bit 7, H set, C kept;
// bits 5 and 3 from xy, which depends on the addressing.
template <int N, class Cpu>
Z80_INLINE void bit_test(Cpu& c, uint32_t v, uint32_t xy)
{
    const uint32_t b = v & (1u << N);
    set<F>(c, (get<F>(c) & flag_c) | flag_h | (b & flag_s) | (b ? 0 : flag_z | flag_pv) | (xy & flags_53));  // keep C
}

// 16-bit ADD, ADC and SBC. ADD keeps S, Z and P/V and takes bits 5 and 3 and H from
// the high byte; ADC and SBC set every flag from the 16-bit result.
template <int Op, class Cpu>
Z80_INLINE uint16_t alu16(Cpu& c, uint32_t a, uint32_t v)
{
    const uint32_t carry = Op == ADD ? 0 : get<F>(c) & flag_c;
    const uint32_t r = Op == SBC ? a - v - carry : a + v + carry;
    const uint32_t half = ((a ^ v ^ r) >> 8) & flag_h;
    if constexpr (Op == ADD) {
        // keep S, Z, P/V
        set<F>(c, (get<F>(c) & (flag_s | flag_z | flag_pv)) | ((r >> 8) & flags_53) | half | (r >> 16));
    } else {
        const uint32_t overflow = Op == SBC ? (a ^ v) & (a ^ r) : (a ^ r) & (v ^ r);
        set<F>(c, ((r >> 8) & (flag_s | flags_53)) | ((r & 0xFFFF) ? 0 : flag_z) | half | ((overflow & 0x8000) >> 13) |
                      ((r >> 16) & flag_c) | (Op == SBC ? flag_n : 0));
    }
    return uint16_t(r);
}

// DAA: adds or subtracts the decimal correction with the flags of that operation;
// P/V is then the parity of the result, C is set by a high correction, N is kept.
template <class Cpu>
inline void decimal_adjust(Cpu& c)
{
    const uint32_t a = get<A>(c), f = get<F>(c);
    uint32_t correction = 0, carry = f & flag_c;
    if ((f & flag_h) || (a & 0x0F) > 9) correction = 0x06;
    if (carry || a > 0x99) {
        correction |= 0x60;
        carry = flag_c;
    }
    const uint32_t r = (f & flag_n) ? a - correction : a + correction;
    set_af(c, r, sz53p_table[r & 0xFF] | ((a ^ correction ^ r) & flag_h) | (f & flag_n) | carry);
}

}  // namespace z80ops
