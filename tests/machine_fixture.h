// A freshly started ZX81 for the hardware tests: 16K of RAM, no add-on cards,
// no keys held, and a ROM image the test fills itself unless it loads the real one.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bus.h"
#include "cli/host_headless.h"
#include "core/frame_loop.h"
#include "core/z80.h"
#include "machine/display.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "sound/sound_output.h"

inline std::string shared_rom_folder() { return std::string(WREN81_SHARED_DIR) + "/roms/"; }

// The Z80 core fills every slot of its dispatch tables; the stand-in before it has none.
inline bool z80_core_present() { return z80_handler(table_main, 0xD3) != nullptr; }

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(headless_keys, 0, sizeof headless_keys);
        hires_card = ay_card = chr_generator = 0;
        quicksilva_chr_active = 0;
        memotech_mode = 0;
        port_event = 0;
        opt_model_type = 4;
        opt_M1Not = 32768;
        opt_colours = 0;
        memory_init(shared_rom_folder());
        display_init();
        release_all_keys();
        set_ram_top();
        reset_machine();
        std::memset(rom_image, 0, sizeof rom_image);
    }

    // Z80 code placed in RAM at `address`, where the CPU starts.
    void load_code(uint16_t address, std::initializer_list<uint8_t> code)
    {
        for (uint8_t b : code) memory[address++] = b;
    }
};

#define REQUIRE_Z80_CORE() \
    if (!z80_core_present()) GTEST_SKIP() << "needs the Z80 core"
