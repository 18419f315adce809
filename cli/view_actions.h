// The debugger's views and memory tools as wren81-cli actions: --regs, --memory,
// --code, --stack, --sysvars, --poke and --find-text.
#pragma once
#include <string>

// How many values the action takes (0 or 1), or -1 when it is not one of these.
int view_action_arity(const std::string& name);
// Runs it: 0, 1 after a reported error, 2 (with a message) for bad input.
int view_action(const std::string& name, const std::string& arg);
