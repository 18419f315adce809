// wren81-cli's debugger actions: breakpoints, stepping, run-until and the PC log.
#pragma once
#include <string>

// Options of this kind: with an argument, or standing alone.
bool is_debug_option_with_argument(const std::string& option);
bool is_debug_option_alone(const std::string& option);
// Checks an action's argument before anything runs: "" when good, else the message.
std::string check_debug_action(const std::string& option, const std::string& argument);
// Runs the action; returns the exit status (2 for a malformed argument).
int debug_action(const std::string& option, const std::string& argument);
// Breakpoints fired so far: an action that runs the machine drops its rest when this moves.
int breaks_fired();
// At the end of the run: closes the PC log.
void finish_debugging();
