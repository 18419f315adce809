// A bare Z80 on 64 KiB of flat RAM: what the CPU tests, the exerciser benchmark
// and the first cut of the program run against. Every byte is readable and writable;
// ports answer with the high byte of their address unless told otherwise.
#pragma once
#include <cstdint>

#include "core/machine_state.h"
#include "core/z80_exact.h"
#include "core/z80_registers.h"

extern uint8_t flat_memory[65536];

// Port traffic, kept for the tests.
extern int flat_port_reply;  // -1: answer with the high byte of the port address
extern uint16_t flat_last_in_port, flat_last_out_port;
extern uint8_t flat_last_out_value;
extern int flat_in_count, flat_out_count;

// Called by the ED FC trap opcode; the exerciser runner hangs its CP/M BDOS here.
extern void (*flat_trap_handler)();

inline uint8_t peek_byte(uint16_t a) { return flat_memory[a]; }
inline uint8_t fetch_opcode(uint16_t a) { return flat_memory[a]; }
inline uint8_t read_byte(uint16_t a)
{
    tstates += 3;
    return uint8_t(load_exact(flat_memory[a]));
}
inline void write_byte(uint16_t a, uint8_t v)
{
    tstates += 3;
    flat_memory[a] = v;
}
inline uint8_t port_in(uint16_t port)
{
    tstates += 4;
    flat_last_in_port = port;
    ++flat_in_count;
    return flat_port_reply < 0 ? uint8_t(port >> 8) : uint8_t(flat_port_reply);
}
inline void port_out(uint16_t port, uint8_t v)
{
    tstates += 4;
    flat_last_out_port = port;
    flat_last_out_value = v;
    ++flat_out_count;
}

inline void load_trap()
{
    if (flat_trap_handler) flat_trap_handler();
}

// A batch run's accesses: the same, with the T-states counted in the run's locals. A
// port access or the trap has the record while it lasts.
inline uint8_t read_byte(Z80Locals& c, uint16_t a)
{
    c.tstates += 3;
    return flat_memory[a];
}
inline void write_byte(Z80Locals& c, uint16_t a, uint8_t v)
{
    c.tstates += 3;
    flat_memory[a] = v;
}
inline uint8_t fetch_opcode(Z80Locals&, uint16_t a) { return flat_memory[a]; }

Z80_INLINE uint8_t port_in(Z80Locals& c, uint16_t port)
{
    return z80ops::through_record(c, [port] { return port_in(port); });
}
Z80_INLINE void port_out(Z80Locals& c, uint16_t port, uint8_t v)
{
    z80ops::through_record(c, [port, v] { port_out(port, v); return 0; });
}
Z80_INLINE void load_trap(Z80Locals& c)
{
    z80ops::through_record(c, [] { load_trap(); return 0; });
}
inline bool after_instruction() { return false; }
inline void stop_instruction_loop() {}
inline void after_step(uint32_t) {}
void reset_hardware();
