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

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(headless_keys, 0, sizeof headless_keys);
        hires_card = ay_card = chr_generator = quicksilva_chr_active = memotech_mode = port_event = 0;
        opt_model_type = 4, opt_M1Not = 32768, opt_colours = 0;
        memory_init(shared_rom_folder());
        display_init();
        release_all_keys();
        set_ram_top();
        reset_machine();
        std::memset(rom_image, 0, sizeof rom_image);
    }

    // Bytes (Z80 code, or data for it) placed in RAM from `address`.
    void load_code(uint16_t address, std::initializer_list<uint8_t> code)
    {
        for (uint8_t b : code) memory[address++] = b;
    }
};

// Types on the key matrix as a typist would: each key held for four frames, then all
// released for `gap` frames; '^' shifts the next key, '\n' is NEWLINE.
template <class Frame>
void type_keys(const std::string& text, int gap, Frame frame)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^') key_matrix[0] &= 0xFE, ++i;
        if (const uint8_t key = key_for_legend(text[i]); key != 0xFF) key_matrix[key / 8] &= uint8_t(~(1u << key % 8));
        for (int n = 0; n < 4; ++n) frame();
        release_all_keys();
        for (int n = 0; n < gap; ++n) frame();
    }
}
