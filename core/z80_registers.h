// The Z80 registers as the instruction handlers see them: named 8- and 16-bit
// registers, the flag bits and the branch conditions.
//
// The handlers load and store the register record in aligned 32-bit words rather than
// field by field:
//
//   offset  0: PC (bits 0-15), SP (16-31)
//   offset  8: HALT state (0-7), EI stamp (8-15), F (16-23), A (24-31)
//   offset 12: C, B, E, D        offset 16: L, H, IXl, IXh      offset 20: IYl, IYh, R, I
//   offset 24: AF', BC'          offset 28: DE', HL'
//
// The host forwards a stored word to the next load of the same word without delay,
// whereas a narrower or zero-extending load of a just-stored field waits for the store
// to complete. One instruction's results are the next one's operands, so this keeps
// the chain from instruction to instruction short. The record's fields stay the only
// copy of the state: the rest of the program reads and writes them by name.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/machine_state.h"

// The small helpers below serve hundreds of handlers and must never become calls.
#define Z80_INLINE [[gnu::always_inline]] inline

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

// Where a register sits: a bit field of the 32-bit word at a byte offset of the record.
struct Slot {
    int offset;
    int shift;
    uint32_t mask;
};

constexpr Slot slot_of(int reg)
{
    switch (reg) {
    case PC: return {0, 0, 0xFFFF};
    case SP: return {0, 16, 0xFFFF};
    case HALTED: return {8, 0, 0xFF};
    case EISTAMP: return {8, 8, 0xFF};
    case F: return {8, 16, 0xFF};
    case A: return {8, 24, 0xFF};
    case AF: return {8, 16, 0xFFFF};
    case C: return {12, 0, 0xFF};
    case B: return {12, 8, 0xFF};
    case BC: return {12, 0, 0xFFFF};
    case E: return {12, 16, 0xFF};
    case D: return {12, 24, 0xFF};
    case DE: return {12, 16, 0xFFFF};
    case L: return {16, 0, 0xFF};
    case H: return {16, 8, 0xFF};
    case HL: return {16, 0, 0xFFFF};
    case IXL: return {16, 16, 0xFF};
    case IXH: return {16, 24, 0xFF};
    case IX: return {16, 16, 0xFFFF};
    case IYL: return {20, 0, 0xFF};
    case IYH: return {20, 8, 0xFF};
    case IY: return {20, 0, 0xFFFF};
    case RCOUNT: return {20, 16, 0xFF};
    case IREG: return {20, 24, 0xFF};
    case AF2: return {24, 0, 0xFFFF};
    case BC2: return {24, 16, 0xFFFF};
    case DE2: return {28, 0, 0xFFFF};
    case HL2: return {28, 16, 0xFFFF};
    default: return {-1, 0, 0};
    }
}

static_assert(offsetof(Z80Registers, pc) == 0 && offsetof(Z80Registers, sp) == 2, "record layout");
static_assert(offsetof(Z80Registers, halted) == 8 && offsetof(Z80Registers, af) == 10, "record layout");
static_assert(offsetof(Z80Registers, bc) == 12 && offsetof(Z80Registers, hl) == 16, "record layout");
static_assert(offsetof(Z80Registers, iy) == 20 && offsetof(Z80Registers, r) == 22, "record layout");
static_assert(offsetof(Z80Registers, af_alt) == 24 && offsetof(Z80Registers, hl_alt) == 30, "record layout");

template <int Offset>
Z80_INLINE uint32_t record_word()
{
    uint32_t w;
    std::memcpy(&w, reinterpret_cast<const unsigned char*>(&z80) + Offset, sizeof w);
    return w;
}

template <int Offset>
Z80_INLINE void set_record_word(uint32_t w)
{
    std::memcpy(reinterpret_cast<unsigned char*>(&z80) + Offset, &w, sizeof w);
}

template <int Reg>
Z80_INLINE uint32_t get()
{
    constexpr Slot s = slot_of(Reg);
    static_assert(s.offset >= 0, "not a register");
    return (record_word<s.offset>() >> s.shift) & s.mask;
}

template <int Reg>
Z80_INLINE void set(uint32_t v)
{
    constexpr Slot s = slot_of(Reg);
    static_assert(s.offset >= 0, "not a register");
    const uint32_t w = record_word<s.offset>();
    set_record_word<s.offset>((w & ~(s.mask << s.shift)) | ((v & s.mask) << s.shift));
}

// A and F together, as every arithmetic and logic instruction leaves them.
Z80_INLINE void set_af(uint32_t a, uint32_t f)
{
    const uint32_t w = record_word<8>();
    set_record_word<8>((w & 0xFFFF) | ((f & 0xFF) << 16) | ((a & 0xFF) << 24));
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
// within its 7 bits; bit 7 of the field stays clear. Counting back adds 127.
Z80_INLINE void count_refresh() { set_record_word<20>((record_word<20>() + 0x10000) & 0xFF7FFFFF); }
Z80_INLINE void uncount_refresh() { set_record_word<20>((record_word<20>() + 0x7F0000) & 0xFF7FFFFF); }

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
