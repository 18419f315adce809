// Controls of the headless host, for the command-line front end and the tests.
#pragma once
#include <string>

extern bool headless_keys[256];     // indexed by Windows virtual-key code
extern bool headless_foreground;    // false: the key matrix is left as it is
extern int headless_error_count;    // errors shown so far
extern std::string headless_last_error;

// The debugger's questions. A breakpoint hit is counted, reported through the
// callback (when set) while the machine stands at it, and stops the frame loop.
extern int headless_breakpoint_hits;
extern int headless_last_breakpoint;       // table index of the last hit, -1 for none
extern void (*headless_breakpoint_report)(int index);
// The stop key: never held (-1), or held from the given number of questions on.
extern long headless_stop_after_polls;
extern bool headless_continue_log;         // the answer to the log-size question
extern int headless_log_questions;         // times it was asked
