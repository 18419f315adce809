// The debugger's state and its stepping: the memory snapshot and the listing built
// from it, the code pane's position, Single Step, Step Over, Step Out and the
// run-until commands. Everything here drives the processor through
// step_instruction, never through the frame loop. The windows only draw the texts
// of debugger_text.h and call these functions.
#pragma once
#include <cstdint>

#include "debugger/listing.h"

// ---- state ----
extern bool debugger_open;      // the debugger window exists (Single Step locates PC only then)
extern bool centre_on_pc;       // set by a breakpoint hit: opening puts PC 10 lines from the top
extern uint8_t debug_snapshot[65536];  // flat copy of the address space, page by page
extern Listing* debug_listing;  // built from the snapshot up to the memory top
extern int code_top_line;       // first listing line of the code pane, from 1
extern const ListingLine* current_line;  // the line whose address is PC, or nullptr
extern int highlight_address;   // address marked by Find, -1 for none
extern uint32_t memory_pane_start;       // multiple of 8, 0x2000 .. memory top - 128
extern int selected_tab;        // 0 Stack, 1 Info, 2 Internal
extern bool run_flag;           // an opcode run is in progress: each repaint runs one more frame
// A breakpoint met during a run (to a frame event, a T-state, an opcode or a port)
// stops the run; the host hears of it only when report_hits_in_runs is set (the
// command line; the window shows where the run stopped).
extern bool debugger_run_active;
extern bool report_hits_in_runs;

// One past the last address of the selected RAM model (0x4400 .. 0x10000).
uint32_t memory_top();

// Takes the snapshot (eight 8 KiB pages through the memory map) and, when a listing
// exists, rebuilds it. The debugger refreshes both after every step and run.
void take_snapshot();
// Opening and closing the debugger window (the logic; the window itself is the host's).
void debugger_open_window();
void debugger_close_window();
// Makes the line at PC current and puts it 10 lines below the top; leaves the top
// line alone when no line starts at PC.
void locate_pc();
// Code pane scrolling: clamps to 1 .. listing length - 26.
void scroll_code_pane(int top_line);
// Memory pane scrolling: rounds down to 8 and clamps to 0x2000 .. memory top - 128.
void scroll_memory_pane(uint32_t start);

// ---- stepping ----
void single_step();
void step_over();
void step_out();

// ---- run-until ----
enum ArmedOpcode { arm_di, arm_ei, arm_halt, arm_im1, arm_im2, arm_ld_a_r, arm_ld_r_a, armed_opcode_count };
extern bool armed_opcodes[armed_opcode_count];

// The frame-end sequence: rebases ei_stamp and offers the interrupt. True: stop.
bool debugger_frame_end();
void run_to_start_of_frame();
void run_to_end_of_frame();
void run_until_interrupt();
void run_until_tstate(uint32_t target);
// Arms an opcode and sets the run flag; the host then calls run_one_frame per repaint.
void arm_opcode(ArmedOpcode which);
// One frame of an opcode run (or of Interrupt / Specified T-State). False: stop.
bool run_one_frame();
// Port Read Event / Port Write Event: run frames until the next IN (or OUT) at the
// port; a port above 0xFF matches all 16 bits, otherwise the low byte. Gives up
// (false) after frame_limit frames or when the host asks to stop.
bool run_until_port(bool write, uint32_t port, int frame_limit);
