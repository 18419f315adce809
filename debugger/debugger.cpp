#include "debugger/debugger.h"

#include <algorithm>

#include "bus.h"
#include "core/frame_loop.h"
#include "core/host.h"
#include "core/machine_state.h"
#include "core/z80.h"
#include "debugger/breakpoints.h"
#include "debugger/memory_tools.h"
#include "debugger/pc_log.h"
#include "machine/memory.h"

bool debugger_open;
bool centre_on_pc;
uint8_t debug_snapshot[65536];
Listing* debug_listing;
int code_top_line = 1;
const ListingLine* current_line;
int highlight_address = -1;
uint32_t memory_pane_start = 0x2000;
int selected_tab;
bool run_flag;
bool debugger_run_active;
bool report_hits_in_runs;
bool armed_opcodes[armed_opcode_count];

namespace {

constexpr int code_pane_page = 26;  // the code pane shows 30 lines; the last top line leaves 27
constexpr int memory_pane_bytes = 128;

bool until_interrupt;
bool until_tstate;
uint32_t tstate_target;

// The seven opcodes of the Run Until menu; a zero second byte means one byte.
struct ArmedPattern {
    uint8_t first, second;
};
constexpr ArmedPattern armed_patterns[armed_opcode_count] = {
    {0xF3, 0}, {0xFB, 0}, {0x76, 0}, {0xED, 0x56}, {0xED, 0x5E}, {0xED, 0x5F}, {0xED, 0x4F},
};

// The snapshot's byte at an address, brought up to date first: the stepping loops
// read the code ahead of them as it is now, without copying all of memory each step.
uint8_t fresh_byte(uint16_t address) { return debug_snapshot[address] = peek_byte(address); }

// One instruction for the debugger's stepping; a watched access it made is not a
// breakpoint hit.
void step()
{
    step_instruction();
    discard_watch_hits();
}

// One instruction of a run (to a frame event, a T-state, an opcode or a port): the
// PC log goes on, and a breakpoint stops the run. True: stop.
bool run_step()
{
    step_instruction();
    if (!per_instruction_duties) return false;
    debugger_run_active = true;
    const bool stop = debugger_after_instruction();
    debugger_run_active = false;
    return stop;
}

void end_frame_count()
{
    tstates -= frame_length;
    ++frames_run;
}

void rebase_ei_stamp()
{
    if (z80.ei_stamp != 0) z80.ei_stamp = uint8_t(z80.ei_stamp + 0xB8);  // minus 64,584, modulo 256
}

// The maskable interrupt at a frame end; true when it was taken.
bool offer_interrupt()
{
    if (!z80.iff1 || uint8_t(tstates) == z80.ei_stamp) return false;
    const uint8_t pending = int_pending;  // the frame loop's own request is left as it was
    accept_interrupt();
    int_pending = pending;
    return true;
}

// Single Step without the repaint: one instruction and, past the frame's end, the
// frame-end sequence.
void single_step_quietly()
{
    step();
    if (tstates > frame_length - 1) {
        debugger_frame_end();
        host_draw_frame();
        end_frame_count();
    }
}

// After a command: memory as it is now, and the code pane on PC.
void after_command()
{
    take_snapshot();
    if (debugger_open) locate_pc();
}

bool armed_opcode_at_pc()
{
    const uint8_t first = fresh_byte(z80.pc), second = fresh_byte(uint16_t(z80.pc + 1));
    for (int k = 0; k < armed_opcode_count; ++k) {
        const ArmedPattern& p = armed_patterns[k];
        if (armed_opcodes[k] && first == p.first && (p.second == 0 || second == p.second)) {
            armed_opcodes[k] = false;
            return true;
        }
    }
    return false;
}

// Steps until the frame's end; false when a breakpoint stopped the run first.
bool step_to_frame_end()
{
    if (tstates > frame_length - 1) end_frame_count();
    while (tstates < frame_length)
        if (run_step()) return false;
    return true;
}

}  // namespace

uint32_t memory_top() { return ram_top; }

void take_snapshot()
{
    for (uint32_t page = 0; page < 8; ++page)
        for (uint32_t a = page * 0x2000; a < (page + 1) * 0x2000; ++a) debug_snapshot[a] = peek_byte(uint16_t(a));
    if (!debug_listing) return;
    free_listing(debug_listing);
    current_line = nullptr;
    debug_listing = build_listing(debug_snapshot, memory_top(), DisasmStyle{16, opt_dis_rom != 0, opt_dis_sv != 0});
}

void debugger_open_window()
{
    debugger_open = true;
    emulation_paused = 1;
    take_snapshot();
    memory_pane_start = 0x2000;
    code_top_line = 1;
    free_listing(debug_listing);
    debug_listing = build_listing(debug_snapshot, memory_top(), DisasmStyle{16, opt_dis_rom != 0, opt_dis_sv != 0});
    current_line = nullptr;
    push_pop_selection = 0;  // "AF"
    selected_tab = 0;
    if (centre_on_pc) locate_pc();
    else {
        const int top = code_top_line;
        locate_pc();  // for the current line's mark
        code_top_line = top;
    }
    centre_on_pc = false;
    if (pc_logging || pc_log_one_frame) stop_pc_log();  // logging stops while the debugger is open
}

void debugger_close_window()
{
    free_listing(debug_listing);
    debug_listing = nullptr;
    current_line = nullptr;
    debugger_open = false;
    emulation_paused = 0;
    run_flag = false;
}

void locate_pc()
{
    current_line = nullptr;
    if (!debug_listing) return;
    for (const ListingLine* line = debug_listing->first; line; line = line->next) {
        if (line->address > z80.pc) return;  // PC inside an instruction, or past the listing
        if (line->address == z80.pc) {
            current_line = line;
            scroll_code_pane(line->line_number - 10);
            return;
        }
    }
}

void scroll_code_pane(int top_line)
{
    const int last = debug_listing ? debug_listing->line_count - code_pane_page : 1;
    code_top_line = std::max(1, std::min(top_line, last));
}

void scroll_memory_pane(uint32_t start)
{
    const uint32_t last = memory_top() - memory_pane_bytes;
    memory_pane_start = std::max<uint32_t>(0x2000, std::min(start & ~7u, last));
}

// ---- stepping ----

void single_step()
{
    single_step_quietly();
    after_command();
}

namespace {

bool is_call(uint8_t op)
{
    return op == 0xCD || (op & 0xC7) == 0xC4;  // CALL nn and CALL cc,nn
}

bool is_return(uint16_t pc)
{
    const uint8_t op = fresh_byte(pc);
    if (op == 0xC9 || (op & 0xC7) == 0xC0) return true;  // RET and RET cc
    if (op != 0xED) return false;
    const uint8_t next = fresh_byte(uint16_t(pc + 1));
    return next == 0x45 || next == 0x4D;  // RETN, RETI
}

// Long steps poll the host's stop key once per frame of T-states.
bool time_to_give_up(uint32_t& next_poll)
{
    if (tstates < next_poll) return false;
    next_poll = tstates + frame_length;
    return host_stop_requested();
}

}  // namespace

void step_over()
{
    if (is_call(fresh_byte(z80.pc))) {
        const uint16_t return_address = uint16_t(z80.pc + 3);
        uint32_t next_poll = tstates + frame_length;
        do step();
        while (z80.pc != return_address && !time_to_give_up(next_poll));
    } else {
        step();
    }
    after_command();
}

void step_out()
{
    uint32_t polled_frames = frames_run;
    while (!is_return(z80.pc)) {
        single_step_quietly();
        if (frames_run != polled_frames) {
            polled_frames = frames_run;
            if (host_stop_requested()) {
                after_command();
                return;
            }
        }
    }
    single_step_quietly();
    after_command();
}

// ---- run-until ----

bool debugger_frame_end()
{
    rebase_ei_stamp();
    return offer_interrupt() && until_interrupt;
}

void run_to_start_of_frame()
{
    if (!step_to_frame_end()) return after_command();
    debugger_frame_end();
    host_draw_frame();
    end_frame_count();
    after_command();
}

void run_to_end_of_frame()
{
    if (!step_to_frame_end()) return after_command();
    rebase_ei_stamp();
    host_draw_frame();
    after_command();
    offer_interrupt();
}

bool run_one_frame()
{
    while (tstates < frame_length) {
        if (run_step() || (run_flag && armed_opcode_at_pc())) {
            after_command();
            return false;
        }
        if (until_tstate && tstates >= tstate_target) {
            after_command();
            return false;
        }
    }
    if (debugger_frame_end()) {
        after_command();
        return false;
    }
    host_draw_frame();
    end_frame_count();
    after_command();
    return !host_stop_requested();
}

namespace {

// Interrupt and Specified T-State: a frame, then a frame with the condition armed.
void run_two_frames(bool& condition)
{
    if (run_one_frame()) {
        condition = true;
        run_one_frame();
        condition = false;
    }
    host_draw_frame();
    after_command();
}

}  // namespace

void run_until_interrupt() { run_two_frames(until_interrupt); }

void run_until_tstate(uint32_t target)
{
    tstate_target = target;
    run_two_frames(until_tstate);
}

void arm_opcode(ArmedOpcode which)
{
    armed_opcodes[which] = true;
    run_flag = true;
}

// The port runs drive the machine as it runs, display, NMIs and interrupts included:
// a ZX81 in SLOW mode reaches its keyboard only from the display's interrupts, which
// stepping instruction by instruction never takes.
bool run_until_port(bool write, uint32_t port, int frame_limit)
{
    arm_port_run(write, port);
    if (tstates > frame_length - 1) end_frame_count();  // left there by End Of Frame
    debugger_run_active = true;
    frame_stop_requested = false;
    for (int frame = 0; frame < frame_limit && !port_run_hit() && !frame_stop_requested; ++frame) {
        run_machine_frame();
        if (host_stop_requested()) break;
    }
    debugger_run_active = false;
    const bool found = port_run_hit();
    disarm_port_run();
    after_command();
    return found;
}
