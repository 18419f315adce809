// A bare Z80 on 64 KiB of flat RAM that writes down every bus access in order: the
// bus of the tests of the order of reads and writes.
#pragma once
#include <cstdint>

#include "core/machine_state.h"

enum class Access : uint8_t { fetch, read, write, in, out };

struct BusEvent {
    Access kind;
    uint16_t address;
    bool operator==(const BusEvent& o) const { return kind == o.kind && address == o.address; }
};

extern uint8_t trace_memory[65536];
constexpr int trace_capacity = 32;
extern BusEvent trace_log[trace_capacity];
extern int trace_count;

// Notes the access and passes on the T-states of its cycle.
inline void trace(Access kind, uint16_t address, uint32_t cycle)
{
    if (trace_count < trace_capacity) trace_log[trace_count] = {kind, address};
    ++trace_count;
    tstates += cycle;
}

inline uint8_t peek_byte(uint16_t a) { return trace_memory[a]; }
inline uint8_t fetch_opcode(uint16_t a) { return trace(Access::fetch, a, 0), trace_memory[a]; }
inline uint8_t read_byte(uint16_t a) { return trace(Access::read, a, 3), trace_memory[a]; }
inline void write_byte(uint16_t a, uint8_t v) { trace(Access::write, a, 3), trace_memory[a] = v; }
inline uint8_t port_in(uint16_t port) { return trace(Access::in, port, 4), 0xFF; }
inline void port_out(uint16_t port, uint8_t) { trace(Access::out, port, 4); }

inline void load_trap() {}
inline void after_instruction() {}
inline void step_sound(uint32_t) {}
void reset_hardware();
