// A batch run of the Z80: many instructions in one function, with the registers and
// the T-state count in local variables that the compiler keeps in host registers,
// written back to the record and to tstates when the run ends. Interrupts are not
// taken. Built for buses that offer the batch accesses (the flat bus).
#pragma once
#include <cstdint>

// Runs up to count instructions, stopping after one that leaves the CPU halted (a
// halted CPU runs its HALT again); returns how many ran.
uint32_t z80_run(uint32_t count);
