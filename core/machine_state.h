// The state every part of the emulated ZX81 shares: the Z80 register record,
// the T-state counters, the control flags and the flag lookup tables.
#pragma once
#include <cstdint>

// A register pair whose two bytes can be named on their own (little-endian host).
union RegPair {
    uint16_t w;
    struct {
        uint8_t lo, hi;
    };
};

struct Z80Registers {
    uint16_t pc, sp;
    uint8_t iff1, iff2;
    uint8_t im;
    uint8_t r7;        // bit 7 of R as last stored by LD R,A
    uint8_t halted;
    uint8_t ei_stamp;  // low byte of tstates when EI last ran
    RegPair af, bc, de, hl;
    RegPair ix, iy;
    uint8_t r;         // refresh counter: bits 0-6 count, the rest runs free
    uint8_t i;
    RegPair af_alt, bc_alt, de_alt, hl_alt;
    uint16_t cb_address;  // IX+d or IY+d of the DD CB or FD CB instruction being run
};

extern Z80Registers z80;

// A batch run's copy of the registers and of the T-state count: local variables of
// the run, which the compiler keeps in host registers, written back when it ends.
// Every register is a field of its own, as wide as a host register, so that each can
// live in one; a field holds a value of its register's width.
struct Z80Locals {
    uint32_t pc, sp;
    uint32_t iff1, iff2, im, r7, halted, ei_stamp;
    uint32_t a, f, b, c, d, e, h, l;
    uint32_t ixh, ixl, iyh, iyl;
    uint32_t r, i;
    uint32_t af_alt, bc_alt, de_alt, hl_alt;
    uint32_t cb_address;
    uint32_t tstates;
    uint32_t ran, limit;  // instructions run so far and the most to run; a HALT ends the run
};

// The architectural R register.
inline uint8_t r_register() { return uint8_t((z80.r & 0x7F) | (z80.r7 & 0x80)); }

// Time is counted in Z80 T-states from the start of the current frame.
constexpr uint32_t frame_length = 64584;   // 312 scanlines of 207 T-states
extern uint32_t tstates;
extern uint32_t instr_start_tstates;
extern int tstates_per_line;
extern int line_tstates_left;
extern uint8_t int_pending;

// What the current instruction did on the ports (cleared before each one).
enum PortEvent { port_event_none = 0, port_event_in_fe = 1, port_event_out_fe = 2,
                 port_event_out_fd = 3, port_event_out_other = 4 };
extern int port_event;
extern int nmi_generator_on;

extern uint8_t emulation_paused;
extern int fast_mode;
extern int frame_count;
extern uint32_t fps_tick;

// Flag lookup tables, rebuilt at every hard reset.
extern uint8_t sz53p_table[256];   // S, Z, bits 5 and 3, parity
extern uint8_t sz53_table[256];    // S, Z, bits 5 and 3
extern uint8_t parity_table[256];  // parity only

void build_flag_tables();

// Hard reset: memory cleared, registers zeroed, counters and hardware flags cleared.
void reset_machine();
