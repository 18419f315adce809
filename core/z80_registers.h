// The Z80 registers as the instruction handlers see them: named 8- and 16-bit
// registers, the flag bits and the branch conditions.
//
// The registers live in the record `z80`, in memory, so one instruction hands its
// results to the next through a store and a load (see z80_exact.h). Every 8-bit
// register is therefore always stored and loaded as its own byte, a pair as its two
// bytes, and PC and SP as 16-bit halves, never a mixture of widths.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "core/machine_state.h"
#include "core/z80_exact.h"

namespace z80ops {

// 8-bit registers, numbered as in the opcodes' register fields; 6 names (HL) there,
// or "no register" where an instruction stores its result nowhere else.
enum Reg : int {
    B = 0, C = 1, D = 2, E = 3, H = 4, L = 5, HLI = 6, A = 7,
    F, IXH, IXL, IYH, IYL, RCOUNT, IREG, HALTED, EISTAMP,
    // 16-bit registers
    BC, DE, HL, SP, AF, IX, IY, PC, AF2, BC2, DE2, HL2,
};

// Flag bits of F.
constexpr uint8_t flag_s = 0x80, flag_z = 0x40, flag_5 = 0x20, flag_h = 0x10;
constexpr uint8_t flag_3 = 0x08, flag_pv = 0x04, flag_n = 0x02, flag_c = 0x01;
constexpr uint8_t flags_53 = flag_5 | flag_3;

// Where a register is kept: a byte or 16-bit field at an offset of the record, or a
// pair of byte registers.
struct Field {
    int offset;
    int bytes;
    int hi = -1, lo = -1;  // the halves of a pair
};

constexpr Field field_of(int reg)
{
    switch (reg) {
    case PC: return {offsetof(Z80Registers, pc), 2};
    case SP: return {offsetof(Z80Registers, sp), 2};
    case HALTED: return {offsetof(Z80Registers, halted), 1};
    case EISTAMP: return {offsetof(Z80Registers, ei_stamp), 1};
    case F: return {offsetof(Z80Registers, af), 1};
    case A: return {offsetof(Z80Registers, af) + 1, 1};
    case C: return {offsetof(Z80Registers, bc), 1};
    case B: return {offsetof(Z80Registers, bc) + 1, 1};
    case E: return {offsetof(Z80Registers, de), 1};
    case D: return {offsetof(Z80Registers, de) + 1, 1};
    case L: return {offsetof(Z80Registers, hl), 1};
    case H: return {offsetof(Z80Registers, hl) + 1, 1};
    case IXL: return {offsetof(Z80Registers, ix), 1};
    case IXH: return {offsetof(Z80Registers, ix) + 1, 1};
    case IYL: return {offsetof(Z80Registers, iy), 1};
    case IYH: return {offsetof(Z80Registers, iy) + 1, 1};
    case RCOUNT: return {offsetof(Z80Registers, r), 1};
    case IREG: return {offsetof(Z80Registers, i), 1};
    case AF2: return {offsetof(Z80Registers, af_alt), 2};
    case BC2: return {offsetof(Z80Registers, bc_alt), 2};
    case DE2: return {offsetof(Z80Registers, de_alt), 2};
    case HL2: return {offsetof(Z80Registers, hl_alt), 2};
    case AF: return {-1, 2, A, F};
    case BC: return {-1, 2, B, C};
    case DE: return {-1, 2, D, E};
    case HL: return {-1, 2, H, L};
    case IX: return {-1, 2, IXH, IXL};
    case IY: return {-1, 2, IYH, IYL};
    default: return {-1, 0};
    }
}

static_assert(sizeof(RegPair) == 2 && offsetof(RegPair, hi) == 1, "pairs are little-endian");

template <int Offset, int Bytes>
Z80_INLINE auto& record_field()
{
    using T = std::conditional_t<Bytes == 2, uint16_t, uint8_t>;
    return *reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(&z80) + Offset);
}

template <int Reg>
Z80_INLINE uint32_t get()
{
    constexpr Field f = field_of(Reg);
    static_assert(f.bytes > 0, "not a register");
    if constexpr (f.hi >= 0) {
        return get<f.hi>() << 8 | get<f.lo>();
    } else {
        return load_exact(record_field<f.offset, f.bytes>());
    }
}

template <int Reg>
Z80_INLINE void set(uint32_t v)
{
    constexpr Field f = field_of(Reg);
    static_assert(f.bytes > 0, "not a register");
    if constexpr (f.hi >= 0) {
        set<f.hi>(v >> 8);
        set<f.lo>(v);
    } else {
        store_exact(record_field<f.offset, f.bytes>(), v);
    }
}

// A and F as every arithmetic and logic instruction leaves them.
Z80_INLINE void set_af(uint32_t a, uint32_t f)
{
    set<A>(a);
    set<F>(f);
}

// The register an instruction names when an index prefix may stand in front of it:
// X is HL, IX or IY, and replaces H, L and HL (not (HL), which has its own handlers).
template <int R, int X>
constexpr int indexed()
{
    if (X == IX) return R == H ? IXH : R == L ? IXL : R == HL ? IX : R;
    if (X == IY) return R == H ? IYH : R == L ? IYL : R == HL ? IY : R;
    return R;
}

// The refresh counter (bits 0-6 of R) rises by one on every opcode fetch and wraps
// within its 7 bits; bit 7 of the field stays clear.
Z80_INLINE void count_refresh() { set<RCOUNT>((get<RCOUNT>() + 1) & 0x7F); }
Z80_INLINE void uncount_refresh() { set<RCOUNT>((get<RCOUNT>() - 1) & 0x7F); }

// The address of the next N bytes of the instruction stream; PC moves past them.
template <int N>
Z80_INLINE uint32_t take_pc()
{
    const uint32_t pc = get<PC>();
    z80.pc = uint16_t(z80.pc + N);  // stepped in place, off the path of the loaded value
    return pc;
}

// Internal machine cycles that touch neither memory nor ports.
Z80_INLINE void clock(uint32_t n) { tstates += n; }

// Branch conditions, numbered as in the opcodes (CY: carry set).
enum Cond : int { NZ, Z, NC, CY, PO, PE, P, M };

template <int CC>
Z80_INLINE bool condition()
{
    constexpr uint8_t mask[4] = {flag_z, flag_c, flag_pv, flag_s};
    const bool set_ = (get<F>() & mask[CC >> 1]) != 0;
    return (CC & 1) ? set_ : !set_;
}

}  // namespace z80ops
