// The Z80 registers as the instruction handlers see them: named 8- and 16-bit
// registers, the flag bits and the branch conditions.
//
// Every handler takes the CPU it runs on, of one of two kinds:
// - the record `z80` in memory, which the machine runs one instruction at a time. One
//   instruction hands its results to the next through a store and a load (see
//   z80_exact.h), so every 8-bit register is always stored and loaded as its own byte,
//   a pair as its two bytes, and PC and SP as 16-bit halves, never a mixture of widths;
// - the locals of a batch run (Z80Locals), which live in host registers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

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

// The register record of either kind of CPU, and where its T-states are counted.
Z80_INLINE Z80Registers& regs(Z80Registers& c) { return c; }
Z80_INLINE Z80Locals& regs(Z80Locals& c) { return c; }
Z80_INLINE uint32_t& tstate_count(Z80Registers&) { return tstates; }
Z80_INLINE uint32_t& tstate_count(Z80Locals& c) { return c.tstates; }
template <class Cpu>
constexpr bool in_record = std::is_same_v<Cpu, Z80Registers>;

template <int Offset, int Bytes>
Z80_INLINE auto& record_field(Z80Registers& r)
{
    using T = std::conditional_t<Bytes == 2, uint16_t, uint8_t>;
    return *reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(&r) + Offset);
}

// The field of a batch run's locals that holds a register.
template <int Reg>
Z80_INLINE auto& local_field(Z80Locals& c)
{
    if constexpr (Reg == PC) return c.pc;
    else if constexpr (Reg == SP) return c.sp;
    else if constexpr (Reg == HALTED) return c.halted;
    else if constexpr (Reg == EISTAMP) return c.ei_stamp;
    else if constexpr (Reg == A) return c.a;
    else if constexpr (Reg == F) return c.f;
    else if constexpr (Reg == B) return c.b;
    else if constexpr (Reg == C) return c.c;
    else if constexpr (Reg == D) return c.d;
    else if constexpr (Reg == E) return c.e;
    else if constexpr (Reg == H) return c.h;
    else if constexpr (Reg == L) return c.l;
    else if constexpr (Reg == IXH) return c.ixh;
    else if constexpr (Reg == IXL) return c.ixl;
    else if constexpr (Reg == IYH) return c.iyh;
    else if constexpr (Reg == IYL) return c.iyl;
    else if constexpr (Reg == RCOUNT) return c.r;
    else if constexpr (Reg == IREG) return c.i;
    else if constexpr (Reg == AF2) return c.af_alt;
    else if constexpr (Reg == BC2) return c.bc_alt;
    else if constexpr (Reg == DE2) return c.de_alt;
    else return c.hl_alt;
}

template <int Reg, class Cpu>
Z80_INLINE uint32_t get(Cpu& c)
{
    constexpr Field f = field_of(Reg);
    static_assert(f.bytes > 0, "not a register");
    if constexpr (f.hi >= 0) {
        return get<f.hi>(c) << 8 | get<f.lo>(c);
    } else if constexpr (Reg == RCOUNT) {
        return regs(c).r & 0x7F;  // the counter runs free
    } else if constexpr (in_record<Cpu>) {
        return load_exact(record_field<f.offset, f.bytes>(c));
    } else {
        return local_field<Reg>(c);
    }
}

template <int Reg, class Cpu>
Z80_INLINE void set(Cpu& c, uint32_t v)
{
    constexpr Field f = field_of(Reg);
    static_assert(f.bytes > 0, "not a register");
    if constexpr (f.hi >= 0) {
        set<f.hi>(c, v >> 8);
        set<f.lo>(c, v);
    } else if constexpr (in_record<Cpu>) {
        store_exact(record_field<f.offset, f.bytes>(c), v);
    } else {
        local_field<Reg>(c) = v & (f.bytes == 2 ? 0xFFFF : 0xFF);
    }
}

// A and F as every arithmetic and logic instruction leaves them.
template <class Cpu>
Z80_INLINE void set_af(Cpu& c, uint32_t a, uint32_t f)
{
    set<A>(c, a);
    set<F>(c, f);
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
// within its 7 bits. The field that holds it runs free, and whoever reads R masks it.
template <class Cpu>
Z80_INLINE void count_refresh(Cpu& c) { ++regs(c).r; }
template <class Cpu>
Z80_INLINE void uncount_refresh(Cpu& c) { --regs(c).r; }

// The address of the next N bytes of the instruction stream; PC moves past them.
template <int N, class Cpu>
Z80_INLINE uint32_t take_pc(Cpu& c)
{
    const uint32_t pc = get<PC>(c);
    regs(c).pc = uint16_t(regs(c).pc + N);  // stepped in place, off the path of the loaded value
    return pc;
}

// Internal machine cycles that touch neither memory nor ports.
template <class Cpu>
Z80_INLINE void clock(Cpu& c, uint32_t n) { tstate_count(c) += n; }

// Branch conditions, numbered as in the opcodes (CY: carry set).
enum Cond : int { NZ, Z, NC, CY, PO, PE, P, M };

template <int CC, class Cpu>
Z80_INLINE bool condition(Cpu& c)
{
    constexpr uint8_t mask[4] = {flag_z, flag_c, flag_pv, flag_s};
    const bool set_ = (get<F>(c) & mask[CC >> 1]) != 0;
    return (CC & 1) ? set_ : !set_;
}

// A byte register or 16-bit field read with a plain load, for moving the registers in
// bulk, where no instruction has just stored most of them.
template <int Reg, class Cpu>
Z80_INLINE uint32_t get_plain(Cpu& c)
{
    if constexpr (in_record<Cpu>) {
        constexpr Field f = field_of(Reg);
        return record_field<f.offset, f.bytes>(c);
    } else {
        return get<Reg>(c);
    }
}

// Moves the registers between the record and a batch run's locals.
template <class To, class From, int... Regs>
Z80_INLINE void copy_registers(To& to, From& from, std::integer_sequence<int, Regs...>)
{
    (set<Regs>(to, get_plain<Regs>(from)), ...);
    regs(to).r = regs(from).r;  // the refresh counter as it runs
    regs(to).iff1 = regs(from).iff1;
    regs(to).iff2 = regs(from).iff2;
    regs(to).im = regs(from).im;
    regs(to).r7 = regs(from).r7;
    regs(to).cb_address = regs(from).cb_address;  // scratch, kept so that both kinds leave the same record
}
template <class To, class From>
Z80_INLINE void copy_registers(To& to, From& from)
{
    // Byte by byte, as both kinds keep them: a pair would be joined only to be split.
    copy_registers(to, from, std::integer_sequence<int, PC, SP, HALTED, EISTAMP, A, F, B, C, D, E, H, L, IXH, IXL, IYH,
                                                    IYL, IREG, AF2, BC2, DE2, HL2>());
}

// Runs access() on the record, for a batch run that calls what knows only the record
// (a port, the trap): the locals are written back first and reloaded after.
template <class Access>
Z80_INLINE auto through_record(Z80Locals& c, Access access)
{
    copy_registers(z80, c);
    tstates = c.tstates;
    const auto result = access();
    copy_registers(c, z80);
    c.tstates = tstates;
    return result;
}

}  // namespace z80ops
