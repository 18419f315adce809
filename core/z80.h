// The Z80 processor: one instruction at a time, with the interrupt entries.
#pragma once
#include <cstdint>

// Runs one instruction in normal running, then the debugger's per-instruction duties.
void execute_instruction();
// Runs one instruction for the debugger's stepping commands, then the machine's side of
// it: its sound and its port access.
void step_instruction();
// Offers the maskable interrupt; clears int_pending whether or not it is taken.
bool accept_interrupt();
// Takes the NMI at the given pixel position of the scanline; returns the T-states it cost.
int accept_nmi(int pixel_position);

// A handler of the machine's dispatch tables, and the seven opcode tables.
using Z80Handler = void (*)();
enum Z80Table { table_main, table_cb, table_ed, table_dd, table_fd, table_ddcb, table_fdcb, z80_table_count };
// How many slots of the seven opcode grids name no handler (a grid written short).
int z80_empty_slots();
