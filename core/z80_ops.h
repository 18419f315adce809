// Handler families of the unprefixed instructions. The DD and FD tables use the same
// families with X = IX or IY standing where the unprefixed instruction has HL, H or L;
// (HL) becomes (IX+d) or (IY+d) and has handlers of its own.
//
// A handler runs after the opcode fetch (and the prefix fetch) have been charged; it adds
// its internal cycles with clock(), and the bus adds 3 T-states per memory access and 4
// per port access.
#pragma once
#include <cstdint>

#include "bus.h"
#include "core/z80_alu.h"
#include "core/z80_registers.h"

// The record's accesses are the bus's own. A batch run's (on Z80Locals) come from a
// bus that offers them: they count T-states in the run's locals.
Z80_INLINE uint32_t read_byte(Z80Registers&, uint16_t a) { return read_byte(a); }
Z80_INLINE void write_byte(Z80Registers&, uint16_t a, uint8_t v) { write_byte(a, v); }
Z80_INLINE uint32_t port_in(Z80Registers&, uint16_t port) { return port_in(port); }
Z80_INLINE void port_out(Z80Registers&, uint16_t port, uint8_t v) { port_out(port, v); }
Z80_INLINE uint32_t fetch_opcode(Z80Registers&, uint16_t a) { return fetch_opcode(a); }
Z80_INLINE void load_trap(Z80Registers&) { load_trap(); }

namespace z80ops {

// ---- operand access ----

// The next byte of the instruction stream: an operand or a displacement.
template <class Cpu>
Z80_INLINE uint32_t fetch_byte(Cpu& c) { return read_byte(c, uint16_t(take_pc<1>(c))); }

// 16-bit reads take the byte at the higher address first.
template <class Cpu>
Z80_INLINE uint32_t read_word(Cpu& c, uint32_t address)
{
    const uint32_t hi = read_byte(c, uint16_t(address + 1));
    return hi << 8 | read_byte(c, uint16_t(address));
}

template <class Cpu>
Z80_INLINE uint32_t fetch_word(Cpu& c) { return read_word(c, take_pc<2>(c)); }

template <class Cpu>
Z80_INLINE void write_word(Cpu& c, uint32_t address, uint32_t v)
{
    write_byte(c, uint16_t(address), uint8_t(v));
    write_byte(c, uint16_t(address + 1), uint8_t(v >> 8));
}

// Pushes write the high byte at SP-1 first, then the low byte at SP-2.
template <class Cpu>
Z80_INLINE void push(Cpu& c, uint32_t v)
{
    const uint32_t sp = get<SP>(c) - 2;
    set<SP>(c, sp);
    write_byte(c, uint16_t(sp + 1), uint8_t(v >> 8));
    write_byte(c, uint16_t(sp), uint8_t(v));
}

template <class Cpu>
Z80_INLINE uint32_t pop(Cpu& c)
{
    const uint32_t sp = get<SP>(c);
    set<SP>(c, sp + 2);
    return read_word(c, sp);
}

// IX+d or IY+d: the displacement byte, then 5 T-states to add it.
template <int X, class Cpu>
Z80_INLINE uint32_t index_address(Cpu& c)
{
    const int32_t d = int8_t(fetch_byte(c));
    clock(c, 5);
    return uint16_t(get<X>(c) + d);
}

// Read, one internal cycle, write back: every instruction that alters memory in place.
template <int Op, class Cpu>
Z80_INLINE uint8_t modify(Cpu& c, uint32_t address)
{
    const uint32_t v = read_byte(c, uint16_t(address));
    clock(c, 1);
    const uint8_t r = byte_op<Op>(c, v);
    write_byte(c, uint16_t(address), r);
    return r;
}

// ---- 8-bit loads ----

template <class Cpu>
inline void nop(Cpu&) {}

template <int Dst, int Src, int X = HL, class Cpu>
void ld_r_r(Cpu& c) { set<indexed<Dst, X>()>(c, get<indexed<Src, X>()>(c)); }

template <int R, int X = HL, class Cpu>
void ld_r_n(Cpu& c) { set<indexed<R, X>()>(c, fetch_byte(c)); }

template <int R, class Cpu>
void ld_r_ihl(Cpu& c) { set<R>(c, read_byte(c, get<HL>(c))); }

template <int R, class Cpu>
void ld_ihl_r(Cpu& c) { write_byte(c, get<HL>(c), get<R>(c)); }

template <class Cpu>
inline void ld_ihl_n(Cpu& c) { write_byte(c, get<HL>(c), fetch_byte(c)); }

template <int X, int R, class Cpu>
void ld_r_ixd(Cpu& c) { set<R>(c, read_byte(c, index_address<X>(c))); }

template <int X, int R, class Cpu>
void ld_ixd_r(Cpu& c) { write_byte(c, index_address<X>(c), get<R>(c)); }

// LD (IX+d),n: the displacement, then n, then 2 T-states to add them.
template <int X, class Cpu>
void ld_ixd_n(Cpu& c)
{
    const int32_t d = int8_t(fetch_byte(c));
    const uint32_t n = fetch_byte(c);
    clock(c, 2);
    write_byte(c, uint16_t(get<X>(c) + d), n);
}

// LD A,(BC) / LD A,(DE) and back.
template <int P, class Cpu>
void ld_a_irr(Cpu& c) { set<A>(c, read_byte(c, get<P>(c))); }

template <int P, class Cpu>
void ld_irr_a(Cpu& c) { write_byte(c, get<P>(c), get<A>(c)); }

template <class Cpu>
inline void ld_a_inn(Cpu& c) { set<A>(c, read_byte(c, fetch_word(c))); }
template <class Cpu>
inline void ld_inn_a(Cpu& c) { write_byte(c, fetch_word(c), get<A>(c)); }

// ---- 16-bit loads and the stack ----

template <int P, class Cpu>
void ld_rr_nn(Cpu& c) { set<P>(c, fetch_word(c)); }

template <int P, class Cpu>
void ld_rr_inn(Cpu& c) { set<P>(c, read_word(c, fetch_word(c))); }

template <int P, class Cpu>
void ld_inn_rr(Cpu& c) { write_word(c, fetch_word(c), get<P>(c)); }

template <int P, class Cpu>
void ld_sp_rr(Cpu& c)
{
    clock(c, 2);
    set<SP>(c, get<P>(c));
}

template <int P, class Cpu>
void push_rr(Cpu& c)
{
    clock(c, 1);
    push(c, get<P>(c));
}

template <int P, class Cpu>
void pop_rr(Cpu& c) { set<P>(c, pop(c)); }

// ---- exchanges ----

template <class Cpu>
inline void ex_de_hl(Cpu& c)
{
    const uint32_t de = get<DE>(c);
    set<DE>(c, get<HL>(c));
    set<HL>(c, de);
}

template <class Cpu>
inline void ex_af_af(Cpu& c)
{
    const uint32_t af = get<AF>(c);
    set<AF>(c, get<AF2>(c));
    set<AF2>(c, af);
}

template <class Cpu>
inline void exx(Cpu& c)
{
    const uint32_t bc = get<BC>(c), de = get<DE>(c), hl = get<HL>(c);
    set<BC>(c, get<BC2>(c));
    set<DE>(c, get<DE2>(c));
    set<HL>(c, get<HL2>(c));
    set<BC2>(c, bc);
    set<DE2>(c, de);
    set<HL2>(c, hl);
}

// EX (SP),HL: reads (SP) then (SP+1), writes (SP) then (SP+1); 3 internal T-states.
template <int P, class Cpu>
void ex_isp_rr(Cpu& c)
{
    const uint32_t sp = get<SP>(c);
    const uint32_t lo = read_byte(c, uint16_t(sp));
    const uint32_t hi = read_byte(c, uint16_t(sp + 1));
    const uint32_t v = get<P>(c);
    clock(c, 3);
    write_byte(c, uint16_t(sp), uint8_t(v));
    write_byte(c, uint16_t(sp + 1), uint8_t(v >> 8));
    set<P>(c, hi << 8 | lo);
}

// ---- 8-bit arithmetic and logic ----

template <int Op, int R, int X = HL, class Cpu>
void alu_r(Cpu& c) { alu<Op>(c, get<indexed<R, X>()>(c)); }

template <int Op, class Cpu>
void alu_ihl(Cpu& c) { alu<Op>(c, read_byte(c, get<HL>(c))); }

template <int Op, int X, class Cpu>
void alu_ixd(Cpu& c) { alu<Op>(c, read_byte(c, index_address<X>(c))); }

template <int Op, class Cpu>
void alu_n(Cpu& c) { alu<Op>(c, fetch_byte(c)); }

template <int R, int X = HL, class Cpu>
void inc_r(Cpu& c)
{
    constexpr int r = indexed<R, X>();
    set<r>(c, inc8(c, get<r>(c)));
}

template <int R, int X = HL, class Cpu>
void dec_r(Cpu& c)
{
    constexpr int r = indexed<R, X>();
    set<r>(c, dec8(c, get<r>(c)));
}

template <class Cpu>
inline void inc_ihl(Cpu& c) { modify<INC8>(c, get<HL>(c)); }
template <class Cpu>
inline void dec_ihl(Cpu& c) { modify<DEC8>(c, get<HL>(c)); }

template <int X, class Cpu>
void inc_ixd(Cpu& c) { modify<INC8>(c, index_address<X>(c)); }

template <int X, class Cpu>
void dec_ixd(Cpu& c) { modify<DEC8>(c, index_address<X>(c)); }

template <class Cpu>
inline void daa(Cpu& c) { decimal_adjust(c); }

template <class Cpu>
inline void cpl(Cpu& c)
{
    const uint32_t a = get<A>(c) ^ 0xFF;
    // keep S, Z, P/V, C
    set_af(c, a, (get<F>(c) & (flag_s | flag_z | flag_pv | flag_c)) | flag_h | flag_n | (a & flags_53));
}

// SCF and CCF take bits 5 and 3 from A.
template <class Cpu>
inline void scf(Cpu& c)
{
    // keep S, Z, P/V
    set<F>(c, (get<F>(c) & (flag_s | flag_z | flag_pv)) | (get<A>(c) & flags_53) | flag_c);
}

template <class Cpu>
inline void ccf(Cpu& c)
{
    const uint32_t f = get<F>(c);
    // keep S, Z, P/V
    set<F>(c, (f & (flag_s | flag_z | flag_pv)) | (get<A>(c) & flags_53) | ((f & flag_c) ? flag_h : flag_c));
}

// ---- 16-bit arithmetic ----

// ADD HL,rr (X is HL, IX or IY), and ADC HL,rr and SBC HL,rr of the ED table.
template <int Op, int X, int P, class Cpu>
void alu_hl_rr(Cpu& c)
{
    clock(c, 7);
    set<X>(c, alu16<Op>(c, get<X>(c), get<P>(c)));
}

template <int P, class Cpu>
void inc_rr(Cpu& c)
{
    clock(c, 2);
    set<P>(c, get<P>(c) + 1);
}

template <int P, class Cpu>
void dec_rr(Cpu& c)
{
    clock(c, 2);
    set<P>(c, get<P>(c) - 1);
}

// ---- jumps, calls and returns ----

template <class Cpu>
inline void jp_nn(Cpu& c) { set<PC>(c, fetch_word(c)); }

template <int CC, class Cpu>
void jp_cc_nn(Cpu& c)
{
    const uint32_t nn = fetch_word(c);
    if (condition<CC>(c)) set<PC>(c, nn);
}

// JP (HL): PC takes the register itself, nothing is read.
template <int P, class Cpu>
void jp_rr(Cpu& c) { set<PC>(c, get<P>(c)); }

template <class Cpu>
Z80_INLINE void relative_jump(Cpu& c, uint32_t e)
{
    clock(c, 5);
    set<PC>(c, get<PC>(c) + int8_t(e));
}

template <class Cpu>
inline void jr_e(Cpu& c) { relative_jump(c, fetch_byte(c)); }

template <int CC, class Cpu>
void jr_cc_e(Cpu& c)
{
    const uint32_t e = fetch_byte(c);
    if (condition<CC>(c)) relative_jump(c, e);
}

template <class Cpu>
inline void djnz_e(Cpu& c)
{
    clock(c, 1);
    const uint32_t b = (get<B>(c) - 1) & 0xFF;
    set<B>(c, b);
    const uint32_t e = fetch_byte(c);
    if (b) relative_jump(c, e);
}

template <class Cpu>
Z80_INLINE void call(Cpu& c, uint32_t nn)
{
    clock(c, 1);
    push(c, get<PC>(c));
    set<PC>(c, nn);
}

template <class Cpu>
inline void call_nn(Cpu& c) { call(c, fetch_word(c)); }

template <int CC, class Cpu>
void call_cc_nn(Cpu& c)
{
    const uint32_t nn = fetch_word(c);
    if (condition<CC>(c)) call(c, nn);
}

template <class Cpu>
Z80_INLINE void ret(Cpu& c) { set<PC>(c, pop(c)); }

template <int CC, class Cpu>
void ret_cc(Cpu& c)
{
    clock(c, 1);
    if (condition<CC>(c)) ret(c);
}

template <int Address, class Cpu>
void rst_p(Cpu& c)
{
    clock(c, 1);
    push(c, get<PC>(c));
    set<PC>(c, Address);
}

// ---- control ----

// HALT steps PC back onto itself, so it runs again until an interrupt leaves it.
template <class Cpu>
inline void halt(Cpu& c)
{
    set<HALTED>(c, 1);
    set<PC>(c, get<PC>(c) - 1);
    if constexpr (!in_record<Cpu>) c.limit = c.ran;
}

template <class Cpu>
inline void di(Cpu& c) { regs(c).iff1 = regs(c).iff2 = 0; }

template <class Cpu>
inline void ei(Cpu& c)
{
    regs(c).iff1 = regs(c).iff2 = 1;
    set<EISTAMP>(c, tstate_count(c));
}

// ---- ports ----

// IN A,(n) and OUT (n),A put A on the high half of the port address.
template <class Cpu>
inline void in_a_in(Cpu& c)
{
    const uint32_t n = fetch_byte(c);
    set<A>(c, port_in(c, uint16_t(get<A>(c) << 8 | n)));
}

template <class Cpu>
inline void out_in_a(Cpu& c)
{
    const uint32_t n = fetch_byte(c);
    const uint32_t a = get<A>(c);
    port_out(c, uint16_t(a << 8 | n), uint8_t(a));
}

}  // namespace z80ops
