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
template <int R, class Cpu>
void in_r_ic(Cpu& c)
{
    const uint32_t v = port_in(c, uint16_t(get<BC>(c)));
    set<F>(c, (get<F>(c) & flag_c) | sz53p_table[v]);  // keep C
    if constexpr (R != HLI) set<R>(c, v);
}

// OUT (C),r; OUT (C),0 (R = HLI) sends 0.
template <int R, class Cpu>
void out_ic_r(Cpu& c)
{
    uint8_t v = 0;
    if constexpr (R != HLI) v = uint8_t(get<R>(c));
    port_out(c, uint16_t(get<BC>(c)), v);
}

template <class Cpu>
inline void neg(Cpu& c)
{
    const uint32_t v = get<A>(c), r = 0u - v;
    set_af(c, r, sz53_table[r & 0xFF] | sub_flags(0, v, r));
}

// RETN, and RETI, which the CPU runs the same way: IFF1 takes IFF2, then return.
template <class Cpu>
inline void retn(Cpu& c)
{
    regs(c).iff1 = regs(c).iff2;
    ret(c);
}

template <int Mode, class Cpu>
void im_n(Cpu& c) { regs(c).im = Mode; }

template <class Cpu>
inline void ld_i_a(Cpu& c)
{
    clock(c, 1);
    set<IREG>(c, get<A>(c));
}

// LD R,A: bits 0-6 of A go to the counter, bit 7 to r7.
template <class Cpu>
inline void ld_r_a(Cpu& c)
{
    clock(c, 1);
    const uint32_t a = get<A>(c);
    set<RCOUNT>(c, a & 0x7F);
    regs(c).r7 = uint8_t(a);
}

// LD A,I and LD A,R: P/V shows IFF2, H and N cleared, C kept.
template <class Cpu>
Z80_INLINE void load_a_showing_iff2(Cpu& c, uint32_t v)
{
    clock(c, 1);
    set_af(c, v, (get<F>(c) & flag_c) | sz53_table[v] | (regs(c).iff2 ? flag_pv : 0));  // keep C
}

template <class Cpu>
inline void ld_a_i(Cpu& c) { load_a_showing_iff2(c, get<IREG>(c)); }
template <class Cpu>
inline void ld_a_r(Cpu& c) { load_a_showing_iff2(c, (get<RCOUNT>(c) & 0x7F) | (regs(c).r7 & 0x80)); }

// RRD and RLD rotate a nibble of A through the two nibbles of (HL).
template <bool Left, class Cpu>
void rotate_digit(Cpu& c)
{
    const uint32_t hl = get<HL>(c);
    const uint32_t v = read_byte(c, uint16_t(hl)), a = get<A>(c);
    clock(c, 4);
    write_byte(c, uint16_t(hl), uint8_t(Left ? (v << 4) | (a & 0x0F) : (a << 4) | (v >> 4)));
    const uint32_t r = (a & 0xF0) | (Left ? v >> 4 : v & 0x0F);
    set_af(c, r, (get<F>(c) & flag_c) | sz53p_table[r]);  // keep C
}

// ---- block instructions; Step is +1 (LDI, CPI, INI, OUTI) or -1 (LDD, ...) ----

// The repeating forms run again (PC back onto the ED) with 5 more T-states.
template <class Cpu>
Z80_INLINE void repeat_block(Cpu& c)
{
    clock(c, 5);
    set<PC>(c, get<PC>(c) - 2);
}

// Bits 3 and 5 of the block transfer and search flags: bits 3 and 1 of k.
Z80_INLINE uint32_t block_flags_53(uint32_t k) { return (k & flag_3) | ((k << 4) & flag_5); }

template <int Step, bool Repeat, class Cpu>
void ld_block(Cpu& c)
{
    const uint32_t hl = get<HL>(c), de = get<DE>(c);
    const uint32_t v = read_byte(c, uint16_t(hl));
    write_byte(c, uint16_t(de), uint8_t(v));
    clock(c, 2);
    set<HL>(c, hl + Step);
    set<DE>(c, de + Step);
    const uint32_t bc = (get<BC>(c) - 1) & 0xFFFF;
    set<BC>(c, bc);
    // keep S, Z, C
    set<F>(c, (get<F>(c) & (flag_s | flag_z | flag_c)) | (bc ? flag_pv : 0) | block_flags_53(get<A>(c) + v));
    if (Repeat && bc) repeat_block(c);
}

// CPI and friends: S, Z and H of A - (HL); bits 3 and 5 from A - (HL) - H; C kept.
// The repeating forms stop on a match as well.
template <int Step, bool Repeat, class Cpu>
void cp_block(Cpu& c)
{
    const uint32_t hl = get<HL>(c);
    const uint32_t v = read_byte(c, uint16_t(hl));
    clock(c, 5);
    set<HL>(c, hl + Step);
    const uint32_t bc = (get<BC>(c) - 1) & 0xFFFF;
    set<BC>(c, bc);
    const uint32_t a = get<A>(c), r = a - v;
    const uint32_t h = (a ^ v ^ r) & flag_h;
    // keep C
    set<F>(c, (get<F>(c) & flag_c) | (sz53_table[r & 0xFF] & ~flags_53) | h | flag_n | (bc ? flag_pv : 0) |
           block_flags_53(r - (h >> 4)));
    if (Repeat && bc && (r & 0xFF)) repeat_block(c);
}

// Flags of the block I/O instructions: S, Z, 5, 3 from B; N from bit 7 of the byte;
// H and C on a carry out of k; P/V the parity of (k & 7) XOR B.
template <class Cpu>
Z80_INLINE void io_block_flags(Cpu& c, uint32_t v, uint32_t k, uint32_t b)
{
    set<F>(c, sz53_table[b] | ((v >> 6) & flag_n) | (k > 0xFF ? flag_h | flag_c : 0) | parity_table[(k & 7) ^ b]);
}

// INI and friends: the port is addressed by BC before B counts down.
template <int Step, bool Repeat, class Cpu>
void in_block(Cpu& c)
{
    clock(c, 1);
    const uint32_t bc = get<BC>(c), hl = get<HL>(c);
    const uint32_t v = port_in(c, uint16_t(bc));
    write_byte(c, uint16_t(hl), uint8_t(v));
    const uint32_t b = ((bc >> 8) - 1) & 0xFF;
    set<B>(c, b);
    set<HL>(c, hl + Step);
    io_block_flags(c, v, v + ((bc + Step) & 0xFF), b);
    if (Repeat && b) repeat_block(c);
}

// OUTI and friends: B counts down before the port is addressed; k uses L after HL
// has been stepped.
template <int Step, bool Repeat, class Cpu>
void out_block(Cpu& c)
{
    clock(c, 1);
    const uint32_t b = (get<B>(c) - 1) & 0xFF;
    set<B>(c, b);
    const uint32_t hl = get<HL>(c);
    const uint32_t v = read_byte(c, uint16_t(hl));
    port_out(c, uint16_t(get<BC>(c)), uint8_t(v));
    set<HL>(c, hl + Step);
    io_block_flags(c, v, v + ((hl + Step) & 0xFF), b);
    if (Repeat && b) repeat_block(c);
}

// ED FC: the tape-load trap of the patched ROM.
template <class Cpu>
inline void trap_load(Cpu& c) { load_trap(c); }

}  // namespace z80ops
