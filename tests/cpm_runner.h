// Runs a CP/M program (an instruction exerciser) on the bare Z80 of the flat bus.
#pragma once
#include <cstdint>
#include <string>

struct CpmRun {
    bool loaded = false;        // false: the file could not be read or does not fit
    bool finished = false;      // the program returned to 0x0000 (not cut off)
    std::string output;         // everything the program printed through the BDOS
    uint64_t instructions = 0;
    uint64_t tstates = 0;
    double wall_seconds = 0;
};

// Loads the program at 0x0100 and runs it until it returns to 0x0000, or for at most
// 2^37 T-states (about three times the longest exerciser) or, when given, about
// max_instructions instructions. With echo set, what it prints also goes to standard
// output as it comes.
CpmRun run_cpm_program(const std::string& path, bool echo, uint64_t max_instructions = UINT64_MAX);
