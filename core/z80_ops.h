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

namespace z80ops {

// ---- operand access ----

// The next byte of the instruction stream: an operand or a displacement.
Z80_INLINE uint32_t fetch_byte() { return read_byte(uint16_t(take_pc<1>())); }

// 16-bit reads take the byte at the higher address first.
Z80_INLINE uint32_t read_word(uint32_t address)
{
    const uint32_t hi = read_byte(uint16_t(address + 1));
    return hi << 8 | read_byte(uint16_t(address));
}

Z80_INLINE uint32_t fetch_word() { return read_word(take_pc<2>()); }

Z80_INLINE void write_word(uint32_t address, uint32_t v)
{
    write_byte(uint16_t(address), uint8_t(v));
    write_byte(uint16_t(address + 1), uint8_t(v >> 8));
}

// Pushes write the high byte at SP-1 first, then the low byte at SP-2.
Z80_INLINE void push(uint32_t v)
{
    const uint32_t sp = get<SP>() - 2;
    set<SP>(sp);
    write_byte(uint16_t(sp + 1), uint8_t(v >> 8));
    write_byte(uint16_t(sp), uint8_t(v));
}

Z80_INLINE uint32_t pop()
{
    const uint32_t sp = get<SP>();
    set<SP>(sp + 2);
    return read_word(sp);
}

// IX+d or IY+d: the displacement byte, then 5 T-states to add it.
template <int X>
Z80_INLINE uint32_t index_address()
{
    const int32_t d = int8_t(fetch_byte());
    clock(5);
    return uint16_t(get<X>() + d);
}

// Read, one internal cycle, write back: every instruction that alters memory in place.
template <uint8_t (*Op)(uint32_t)>
Z80_INLINE uint8_t modify(uint32_t address)
{
    const uint32_t v = read_byte(uint16_t(address));
    clock(1);
    const uint8_t r = Op(v);
    write_byte(uint16_t(address), r);
    return r;
}

// ---- 8-bit loads ----

inline void nop() {}

template <int Dst, int Src, int X = HL>
void ld_r_r() { set<indexed<Dst, X>()>(get<indexed<Src, X>()>()); }

template <int R, int X = HL>
void ld_r_n() { set<indexed<R, X>()>(fetch_byte()); }

template <int R>
void ld_r_ihl() { set<R>(read_byte(get<HL>())); }

template <int R>
void ld_ihl_r() { write_byte(get<HL>(), get<R>()); }

inline void ld_ihl_n() { write_byte(get<HL>(), fetch_byte()); }

template <int X, int R>
void ld_r_ixd() { set<R>(read_byte(index_address<X>())); }

template <int X, int R>
void ld_ixd_r() { write_byte(index_address<X>(), get<R>()); }

// LD (IX+d),n: the displacement, then n, then 2 T-states to add them.
template <int X>
void ld_ixd_n()
{
    const int32_t d = int8_t(fetch_byte());
    const uint32_t n = fetch_byte();
    clock(2);
    write_byte(uint16_t(get<X>() + d), n);
}

// LD A,(BC) / LD A,(DE) and back.
template <int P>
void ld_a_irr() { set<A>(read_byte(get<P>())); }

template <int P>
void ld_irr_a() { write_byte(get<P>(), get<A>()); }

inline void ld_a_inn() { set<A>(read_byte(fetch_word())); }
inline void ld_inn_a() { write_byte(fetch_word(), get<A>()); }

// ---- 16-bit loads and the stack ----

template <int P>
void ld_rr_nn() { set<P>(fetch_word()); }

template <int P>
void ld_rr_inn() { set<P>(read_word(fetch_word())); }

template <int P>
void ld_inn_rr() { write_word(fetch_word(), get<P>()); }

template <int P>
void ld_sp_rr()
{
    clock(2);
    set<SP>(get<P>());
}

template <int P>
void push_rr()
{
    clock(1);
    push(get<P>());
}

template <int P>
void pop_rr() { set<P>(pop()); }

// ---- exchanges ----

inline void ex_de_hl()
{
    const uint32_t de = get<DE>();
    set<DE>(get<HL>());
    set<HL>(de);
}

inline void ex_af_af()
{
    const uint32_t af = get<AF>();
    set<AF>(get<AF2>());
    set<AF2>(af);
}

inline void exx()
{
    const uint32_t bc = get<BC>(), de = get<DE>(), hl = get<HL>();
    set<BC>(get<BC2>());
    set<DE>(get<DE2>());
    set<HL>(get<HL2>());
    set<BC2>(bc);
    set<DE2>(de);
    set<HL2>(hl);
}

// EX (SP),HL: reads (SP) then (SP+1), writes (SP) then (SP+1); 3 internal T-states.
template <int P>
void ex_isp_rr()
{
    const uint32_t sp = get<SP>();
    const uint32_t lo = read_byte(uint16_t(sp));
    const uint32_t hi = read_byte(uint16_t(sp + 1));
    const uint32_t v = get<P>();
    clock(3);
    write_byte(uint16_t(sp), uint8_t(v));
    write_byte(uint16_t(sp + 1), uint8_t(v >> 8));
    set<P>(hi << 8 | lo);
}

// ---- 8-bit arithmetic and logic ----

template <int Op, int R, int X = HL>
void alu_r() { alu<Op>(get<indexed<R, X>()>()); }

template <int Op>
void alu_ihl() { alu<Op>(read_byte(get<HL>())); }

template <int Op, int X>
void alu_ixd() { alu<Op>(read_byte(index_address<X>())); }

template <int Op>
void alu_n() { alu<Op>(fetch_byte()); }

template <int R, int X = HL>
void inc_r()
{
    constexpr int r = indexed<R, X>();
    set<r>(inc8(get<r>()));
}

template <int R, int X = HL>
void dec_r()
{
    constexpr int r = indexed<R, X>();
    set<r>(dec8(get<r>()));
}

inline void inc_ihl() { modify<inc8>(get<HL>()); }
inline void dec_ihl() { modify<dec8>(get<HL>()); }

template <int X>
void inc_ixd() { modify<inc8>(index_address<X>()); }

template <int X>
void dec_ixd() { modify<dec8>(index_address<X>()); }

inline void daa() { decimal_adjust(); }

inline void cpl()
{
    const uint32_t a = get<A>() ^ 0xFF;
    // keep S, Z, P/V, C
    set_af(a, (get<F>() & (flag_s | flag_z | flag_pv | flag_c)) | flag_h | flag_n | (a & flags_53));
}

// SCF and CCF take bits 5 and 3 from A.
inline void scf()
{
    // keep S, Z, P/V
    set<F>((get<F>() & (flag_s | flag_z | flag_pv)) | (get<A>() & flags_53) | flag_c);
}

inline void ccf()
{
    const uint32_t f = get<F>();
    // keep S, Z, P/V
    set<F>((f & (flag_s | flag_z | flag_pv)) | (get<A>() & flags_53) | ((f & flag_c) ? flag_h : flag_c));
}

// ---- 16-bit arithmetic ----

template <int X, int P>
void add_hl_rr()
{
    clock(7);
    set<X>(add16(get<X>(), get<P>()));
}

template <int P>
void inc_rr()
{
    clock(2);
    set<P>(get<P>() + 1);
}

template <int P>
void dec_rr()
{
    clock(2);
    set<P>(get<P>() - 1);
}

// ---- jumps, calls and returns ----

inline void jp_nn() { set<PC>(fetch_word()); }

template <int CC>
void jp_cc_nn()
{
    const uint32_t nn = fetch_word();
    if (condition<CC>()) set<PC>(nn);
}

// JP (HL): PC takes the register itself, nothing is read.
template <int P>
void jp_rr() { set<PC>(get<P>()); }

Z80_INLINE void relative_jump(uint32_t e)
{
    clock(5);
    set<PC>(get<PC>() + int8_t(e));
}

inline void jr_e() { relative_jump(fetch_byte()); }

template <int CC>
void jr_cc_e()
{
    const uint32_t e = fetch_byte();
    if (condition<CC>()) relative_jump(e);
}

inline void djnz_e()
{
    clock(1);
    const uint32_t b = (get<B>() - 1) & 0xFF;
    set<B>(b);
    const uint32_t e = fetch_byte();
    if (b) relative_jump(e);
}

Z80_INLINE void call(uint32_t nn)
{
    clock(1);
    push(get<PC>());
    set<PC>(nn);
}

inline void call_nn() { call(fetch_word()); }

template <int CC>
void call_cc_nn()
{
    const uint32_t nn = fetch_word();
    if (condition<CC>()) call(nn);
}

Z80_INLINE void ret() { set<PC>(pop()); }

template <int CC>
void ret_cc()
{
    clock(1);
    if (condition<CC>()) ret();
}

template <int Address>
void rst_p()
{
    clock(1);
    push(get<PC>());
    set<PC>(Address);
}

// ---- control ----

// HALT steps PC back onto itself, so it runs again until an interrupt leaves it.
inline void halt()
{
    set<HALTED>(1);
    set<PC>(get<PC>() - 1);
}

inline void di() { z80.iff1 = z80.iff2 = 0; }

inline void ei()
{
    z80.iff1 = z80.iff2 = 1;
    set<EISTAMP>(tstates);
}

// ---- ports ----

// IN A,(n) and OUT (n),A put A on the high half of the port address.
inline void in_a_in()
{
    const uint32_t n = fetch_byte();
    set<A>(port_in(uint16_t(get<A>() << 8 | n)));
}

inline void out_in_a()
{
    const uint32_t n = fetch_byte();
    const uint32_t a = get<A>();
    port_out(uint16_t(a << 8 | n), uint8_t(a));
}

}  // namespace z80ops
