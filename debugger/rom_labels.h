// The names the ZX81's own documentation gives to addresses: the ROM's routines
// and the system variables at the bottom of RAM.
#pragma once
#include <cstdint>

struct RomLabel {
    const char* name;
    uint16_t address;
};

struct SystemVariable {
    const char* name;
    uint16_t address;
    uint8_t size;  // bytes
};

constexpr int rom_label_count = 218;
constexpr int system_variable_count = 36;

// In ROM order. Some addresses carry two names; the earlier row is the one shown.
extern const RomLabel rom_labels[rom_label_count];
extern const SystemVariable system_variables[system_variable_count];

// The name of the first row at this address, or nullptr.
const char* rom_label_at(uint32_t address);
const char* system_variable_at(uint32_t address);
