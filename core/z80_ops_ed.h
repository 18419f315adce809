// Handler families of the ED-prefixed instructions: port I/O through (C), 16-bit
// arithmetic with carry, interrupt control, the I and R registers, RRD/RLD and the
// block transfer, search and I/O instructions.
#pragma once
#include <cstdint>

#include "bus.h"
#include "core/z80_alu.h"
#include "core/z80_ops.h"
#include "core/z80_registers.h"

namespace z80ops {

// IN r,(C): flags from the byte read, C kept; IN F,(C) (R = HLI) stores it nowhere.
template <int R>
void in_r_ic()
{
    const uint32_t v = port_in(uint16_t(get<BC>()));
    set<F>((get<F>() & flag_c) | sz53p_table[v]);  // keep C
    if constexpr (R != HLI) set<R>(v);
}

// OUT (C),r; OUT (C),0 (R = HLI) sends 0.
template <int R>
void out_ic_r()
{
    uint8_t v = 0;
    if constexpr (R != HLI) v = uint8_t(get<R>());
    port_out(uint16_t(get<BC>()), v);
}

template <int P>
void adc_hl_rr()
{
    clock(7);
    set<HL>(adc16(get<HL>(), get<P>()));
}

template <int P>
void sbc_hl_rr()
{
    clock(7);
    set<HL>(sbc16(get<HL>(), get<P>()));
}

inline void neg()
{
    const uint32_t v = get<A>(), r = 0u - v;
    set_af(r, sz53_table[r & 0xFF] | sub_flags(0, v, r));
}

// RETN, and RETI, which the CPU runs the same way: IFF1 takes IFF2, then return.
inline void retn()
{
    z80.iff1 = z80.iff2;
    ret();
}

template <int Mode>
void im_n() { z80.im = Mode; }

inline void ld_i_a()
{
    clock(1);
    set<IREG>(get<A>());
}

// LD R,A: bits 0-6 of A go to the counter, bit 7 to r7.
inline void ld_r_a()
{
    clock(1);
    const uint32_t a = get<A>();
    set<RCOUNT>(a & 0x7F);
    z80.r7 = uint8_t(a);
}

// LD A,I and LD A,R: P/V shows IFF2, H and N cleared, C kept.
Z80_INLINE void load_a_showing_iff2(uint32_t v)
{
    clock(1);
    set_af(v, (get<F>() & flag_c) | sz53_table[v] | (z80.iff2 ? flag_pv : 0));  // keep C
}

inline void ld_a_i() { load_a_showing_iff2(get<IREG>()); }
inline void ld_a_r() { load_a_showing_iff2((get<RCOUNT>() & 0x7F) | (z80.r7 & 0x80)); }

// RRD and RLD rotate a nibble of A through the two nibbles of (HL).
template <bool Left>
void rotate_digit()
{
    const uint32_t hl = get<HL>();
    const uint32_t v = read_byte(uint16_t(hl)), a = get<A>();
    clock(4);
    write_byte(uint16_t(hl), uint8_t(Left ? (v << 4) | (a & 0x0F) : (a << 4) | (v >> 4)));
    const uint32_t r = (a & 0xF0) | (Left ? v >> 4 : v & 0x0F);
    set_af(r, (get<F>() & flag_c) | sz53p_table[r]);  // keep C
}

// ---- block instructions; Step is +1 (LDI, CPI, INI, OUTI) or -1 (LDD, ...) ----

// The repeating forms run again (PC back onto the ED) with 5 more T-states.
Z80_INLINE void repeat_block()
{
    clock(5);
    set<PC>(get<PC>() - 2);
}

// Bits 3 and 5 of the block transfer and search flags: bits 3 and 1 of k.
Z80_INLINE uint32_t block_flags_53(uint32_t k) { return (k & flag_3) | ((k << 4) & flag_5); }

template <int Step, bool Repeat>
void ld_block()
{
    const uint32_t hl = get<HL>(), de = get<DE>();
    const uint32_t v = read_byte(uint16_t(hl));
    write_byte(uint16_t(de), uint8_t(v));
    clock(2);
    set<HL>(hl + Step);
    set<DE>(de + Step);
    const uint32_t bc = (get<BC>() - 1) & 0xFFFF;
    set<BC>(bc);
    // keep S, Z, C
    set<F>((get<F>() & (flag_s | flag_z | flag_c)) | (bc ? flag_pv : 0) | block_flags_53(get<A>() + v));
    if (Repeat && bc) repeat_block();
}

// CPI and friends: S, Z and H of A - (HL); bits 3 and 5 from A - (HL) - H; C kept.
// The repeating forms stop on a match as well.
template <int Step, bool Repeat>
void cp_block()
{
    const uint32_t hl = get<HL>();
    const uint32_t v = read_byte(uint16_t(hl));
    clock(5);
    set<HL>(hl + Step);
    const uint32_t bc = (get<BC>() - 1) & 0xFFFF;
    set<BC>(bc);
    const uint32_t a = get<A>(), r = a - v;
    const uint32_t h = (a ^ v ^ r) & flag_h;
    // keep C
    set<F>((get<F>() & flag_c) | (sz53_table[r & 0xFF] & ~flags_53) | h | flag_n | (bc ? flag_pv : 0) |
           block_flags_53(r - (h >> 4)));
    if (Repeat && bc && (r & 0xFF)) repeat_block();
}

// Flags of the block I/O instructions: S, Z, 5, 3 from B; N from bit 7 of the byte;
// H and C on a carry out of k; P/V the parity of (k & 7) XOR B.
Z80_INLINE void io_block_flags(uint32_t v, uint32_t k, uint32_t b)
{
    set<F>(sz53_table[b] | ((v >> 6) & flag_n) | (k > 0xFF ? flag_h | flag_c : 0) | parity_table[(k & 7) ^ b]);
}

// INI and friends: the port is addressed by BC before B counts down.
template <int Step, bool Repeat>
void in_block()
{
    clock(1);
    const uint32_t bc = get<BC>(), hl = get<HL>();
    const uint32_t v = port_in(uint16_t(bc));
    write_byte(uint16_t(hl), uint8_t(v));
    const uint32_t b = ((bc >> 8) - 1) & 0xFF;
    set<B>(b);
    set<HL>(hl + Step);
    io_block_flags(v, v + ((bc + Step) & 0xFF), b);
    if (Repeat && b) repeat_block();
}

// OUTI and friends: B counts down before the port is addressed; k uses L after HL
// has been stepped.
template <int Step, bool Repeat>
void out_block()
{
    clock(1);
    const uint32_t b = (get<B>() - 1) & 0xFF;
    set<B>(b);
    const uint32_t hl = get<HL>();
    const uint32_t v = read_byte(uint16_t(hl));
    port_out(uint16_t(get<BC>()), uint8_t(v));
    set<HL>(hl + Step);
    io_block_flags(v, v + ((hl + Step) & 0xFF), b);
    if (Repeat && b) repeat_block();
}

// ED FC: the tape-load trap of the patched ROM.
inline void trap_load() { load_trap(); }

}  // namespace z80ops
