// Breakpoints: the table of up to 256 in the order added, each an execution address,
// a range of memory watched for reads or writes, or a port watched for IN or OUT,
// with an optional condition; and the check the frame loop makes after every
// instruction.
#pragma once
#include <cstdint>
#include <string>

enum BreakKind : uint8_t { break_execute, break_read, break_write, break_port_in, break_port_out };

constexpr int max_breakpoints = 256;

struct Breakpoint {
    BreakKind kind;
    uint16_t first, last;   // address or range; the port for port kinds
    bool full_port;         // a port above 0xFF was given: all 16 bits must match
    std::string condition;  // as typed, empty for none
    uint32_t hits;          // times it fired
    // The compiled condition lives in breakpoints.cpp, indexed like the table.
};

extern Breakpoint breakpoints[max_breakpoints];
extern int breakpoint_count;
extern bool debug_active;   // set when a breakpoint is added or logging starts

// Add dialog: the address text by the dialog's rules ("#"/"$" hex, a leading digit
// decimal, anything else ignored; 0x10000 and above ignored). For reads and writes
// "ADDR-ADDR" gives a range. Returns true when added; false with message empty when
// the text is ignored, with message set when the condition cannot be read. The 257th
// reports error 7.
bool add_breakpoint(BreakKind kind, const char* address_text, const char* condition_text,
                    std::string& message);
// Update: a new condition for entry i (the message as for add).
bool update_breakpoint(int index, const char* condition_text, std::string& message);
void delete_breakpoint(int index);
void clear_breakpoints();
// The command line's SPEC: "ADDR [if COND]", "read A[-B]", "write A[-B]", "in PORT", "out PORT".
bool add_breakpoint_spec(const std::string& spec, std::string& message);
// Reads a SPEC without adding it.
bool check_breakpoint_spec(const std::string& spec, std::string& message);
// The text of the Condition column: the condition and the hit count.
std::string breakpoint_condition_text(int index);
// "%04X" (or "%04X-%04X") with the kind, as the Address column shows it.
std::string breakpoint_address_text(int index);

// Reads a condition on its own (the message as for add); for the dialogs' checks.
bool check_condition(const char* condition_text, std::string& message);

// The watched accesses the debugger's own stepping makes are not hits.
void discard_watch_hits();
// Port Read / Port Write Event runs: the next IN (or OUT) at the port; a port above
// 0xFF must match all 16 bits, otherwise the low byte.
void arm_port_run(bool out, uint32_t port);
bool port_run_hit();
void disarm_port_run();
// Turns the frame loop's per-instruction duties on while logging or breakpoints need them.
void update_instruction_duties();
