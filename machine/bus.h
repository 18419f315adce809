// The ZX81 as the Z80 sees it: memory reads and writes through the bank table,
// opcode fetches with the display hardware listening, and the I/O ports.
// Plain RAM and ROM and the plain character fetch are served inline; folding
// above the RAM top, the add-on cards and the ports go to out-of-line decoders.
#pragma once
#include <cstdint>

#include "core/machine_state.h"
#include "core/z80_registers.h"
#include "files/config.h"
#include "machine/display.h"
#include "machine/memory.h"

// The accesses run several times per instruction: always inline them.
#define BUS_ACCESS inline __attribute__((always_inline))

// A fetch at or above this address is a display fetch (opcode from the display file).
inline uint32_t display_fetch_threshold() { return uint32_t(opt_M1Not); }

// A read where no hi-res card answers, the RAM above the top folded down.
BUS_ACCESS uint8_t paged_byte(uint16_t address)
{
    const uint32_t a = address;  // unsigned: no sign extension of the page number
    return read_pages[a >> 8][a & 0xFF];
}

// Untimed read, for the debugger and the display hardware.
BUS_ACCESS uint8_t peek_byte(uint16_t address)
{
    if (hires_card == hires_none) return paged_byte(address);
    return peek_decoded(address);
}

// Debugger watchpoints: while one is set the accesses tell the debugger about
// themselves (breakpoints.cpp); the watched accesses are checked after the instruction.
enum WatchKind : uint8_t { watch_read = 1, watch_write = 2 };
extern uint8_t watch_memory;  // WatchKind bits
extern uint8_t watch_ports;   // a port watchpoint or a port run is armed
void note_memory_access(uint16_t address, WatchKind kind);
void note_port_access(uint16_t port, bool out);

// The timed accesses' slow paths: the cards, folding, and watched accesses.
uint8_t read_byte_decoded(uint16_t address);
void write_byte_decoded(uint16_t address, uint8_t value);

// A watchpoint (watch_memory) turns the fast paths off, as a card does.
BUS_ACCESS uint8_t read_byte(uint16_t address)
{
    tstates += 3;
    if ((hires_card | watch_memory) == 0) return paged_byte(address);
    return read_byte_decoded(address);
}

BUS_ACCESS void write_byte(uint16_t address, uint8_t value)
{
    tstates += 3;
    // Of the sound cards only the Quicksilva one listens to memory writes.
    if (uint32_t(address) - 0x2000u < ram_top - 0x2000u && (hires_card | chr_generator | watch_memory) == 0 &&
        ay_card != ay_quicksilva)
        memory[address] = value;
    else
        write_byte_decoded(address, value);
}

// A display fetch puts a pattern into the shift register and has the Z80
// execute a NOP in place of the display-file byte.
BUS_ACCESS uint8_t output_pattern(uint8_t pattern, bool inverse)
{
    shift_register |= pattern;
    if (inverse) inverse_register |= 0xFF;
    return 0x00;
}

// The pattern of display-file byte b on the current row, by the fitted character generator.
BUS_ACCESS uint8_t character_pattern(uint8_t b)
{
    const bool qs_chr = chr_generator == chr_quicksilva && quicksilva_chr_active;
    const bool chr16 = chr_generator == chr_chr16;
    unsigned c = b & 0x3F;
    if ((chr16 && z80.i != 0) || qs_chr) c |= (b >> 1) & 0x40;  // inverse bit selects the upper 64

    if (z80.i >= 0x40 && !(chr16 && z80.i >= 0x80 && z80.i <= 0xBF)) return 0xFF;
    if (qs_chr) return chr_shadow[0x8400 + c * 8 + row_counter];
    return peek_byte(uint16_t((z80.i & 0xFE) * 256 + c * 8 + row_counter));
}

// For a run of character fetches in which I and the row counter stand still: with
// no CHR$ board that widens the codes and I below 0x40, code c's pattern is
// row[c * 8] of the returned row of the character set; null otherwise.
inline const uint8_t* plain_character_row()
{
    if (chr_generator == chr_chr16 || chr_generator == chr_quicksilva || z80.i >= 0x40) return nullptr;
    const uint32_t set = (z80.i & 0xFE) * 256u;  // 512 bytes, within one bank
    if (set + 0x200 > ram_top || hires_card != hires_none) return nullptr;
    return bank[set >> 13] + (set & 0x1FFF) + row_counter;
}

// A display-file byte with bit 6 set is executed as it stands (0x76 is the HALT
// that ends a row); any other is a character.
BUS_ACCESS uint8_t character_fetch(uint8_t b)
{
    if (b & 0x40) return b;
    return output_pattern(character_pattern(b), b & 0x80);
}

// The hi-res cards' display fetch, which may leave the byte to character_fetch.
uint8_t hires_display_fetch(uint8_t b);

// Where the display hardware reads the byte of a display fetch at the address.
BUS_ACCESS uint16_t display_fetch_address(uint16_t address)
{
    return address <= 0xBFFF ? address : address & 0x7FFF;
}

BUS_ACCESS uint16_t display_file_address(uint16_t address)
{
    return address < display_fetch_threshold() ? address : display_fetch_address(address);
}

// The M1 cycle: the CPU has already counted its 4 T-states and stepped R.
// Above the display-fetch threshold the display hardware reads the display
// file 32K lower (or at the address itself below 0xC000).
BUS_ACCESS uint8_t fetch_opcode(uint16_t address)
{
    if (address < display_fetch_threshold()) return peek_byte(address);
    const uint8_t b = peek_byte(display_file_address(address));
    if (hires_card != hires_none) return hires_display_fetch(b);
    return character_fetch(b);
}

// A quiet run's accesses (see display.cpp), with the registers and the T-state count
// in the run's locals. In a quiet run no card and no watchpoint looks at an access and
// every opcode fetch lies below the display file, so each access is a plain one
// through the page tables. Nothing is called, so the locals stay in host registers.
BUS_ACCESS uint8_t fetch_opcode(Z80Locals&, uint16_t address) { return paged_byte(address); }
BUS_ACCESS uint8_t read_byte(Z80Locals& c, uint16_t address)
{
    c.tstates += 3;
    return paged_byte(address);
}
BUS_ACCESS void write_byte(Z80Locals& c, uint16_t address, uint8_t value)
{
    c.tstates += 3;
    const uint32_t a = address;
    write_pages[a >> 8][a & 0xFF] = value;
}

// Whether a fetch at the address gives a HALT and does nothing else: no hi-res
// card watches the fetch, and the byte there is 0x76 (bit 6 set: no pattern).
BUS_ACCESS bool fetch_is_plain_halt(uint16_t address)
{
    return hires_card == hires_none && peek_byte(display_file_address(address)) == 0x76;
}

uint8_t port_in(uint16_t port);
void port_out(uint16_t port, uint8_t value);

// ED FC: the tape-load routine's trap, served by the program-file loader.
void load_trap();
// The same for a quiet run, which a port access ends: they see the record, written
// back while they last.
Z80_INLINE uint8_t port_in(Z80Locals& c, uint16_t port)
{
    return z80ops::through_record(c, [port] { return port_in(port); });
}
Z80_INLINE void port_out(Z80Locals& c, uint16_t port, uint8_t value)
{
    z80ops::through_record(c, [port, value] {
        port_out(port, value);
        return 0;
    });
}
Z80_INLINE void load_trap(Z80Locals& c)
{
    z80ops::through_record(c, [] {
        load_trap();
        return 0;
    });
}
// Per-instruction duties of the debugger (the PC log line, the breakpoint check),
// set only while logging is on or a breakpoint exists. True: a breakpoint asks the
// frame loop to stop here. The display loop runs HALT repeats and character fetches
// in batches unless fetch_runs_barred: while logging, or with a breakpoint where the
// display file runs (at 0x8000 and above), each is an instruction of its own.
extern uint8_t per_instruction_duties;
extern uint8_t fetch_runs_barred;
// Per address, the kinds of breakpoint there (bit 2: execution); and what else waits
// for the check after an instruction (bit 0: the PC log, bit 1: a watched access).
constexpr uint8_t break_map_execute = 4;
extern uint8_t breakpoint_map[65536];
extern uint8_t debugger_pending;
bool debugger_after_instruction();
// A breakpoint asked to stop: the display loop ends after this instruction.
inline void stop_instruction_loop() { line_end = line_end_stopped; }
inline bool after_instruction()
{
    return per_instruction_duties && ((breakpoint_map[z80.pc] & break_map_execute) | debugger_pending) &&
           debugger_after_instruction();
}
// The machine's side of an instruction run by the debugger's stepping: its sound,
// and what its port access means to the sync generators.
void after_step(uint32_t tstates_taken);
// The hardware part of a hard reset.
void reset_hardware();
