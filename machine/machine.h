// Bringing the ZX81 up: the start-up of its hardware and the hard reset.
#pragma once
#include <string>

// Start-up of the hardware: ROM folder (ending in a path separator), bank table,
// display state, key matrix, RAM top from opt_model_type, then a hard reset.
// Returns 0, or non-zero when a ROM file could not be loaded (already reported).
int machine_init(const std::string& rom_folder);
// Hard reset: registers and memory cleared, then the ROM images loaded again.
int machine_hard_reset();
