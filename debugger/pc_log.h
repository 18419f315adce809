// PC logging: a text line for every instruction the frame loop runs, written to a
// file the user chose, either until turned off or for one frame.
#pragma once
#include <string>

extern bool pc_logging;          // PC Logging is on
extern bool pc_log_one_frame;    // PC log One frame is in progress
extern int pc_log_limit_mb;      // the size at which the user is asked, 10 and doubling

// Opens (appending) and starts; false, after the "Cannot Open File" message, when the
// file cannot be opened.
bool start_pc_log(const std::string& path, bool one_frame);
// Turns logging off and closes the file.
void stop_pc_log();
// The per-instruction line, written before the breakpoint check.
void log_instruction();
// Frame end: closes a one-frame log, checks the size and asks the host.
void pc_log_frame_end();
