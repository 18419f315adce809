// The key matrix from the host keyboard and on port 0xFE, and the keys that type ZX81
// characters. Letters, digits, Backspace, the arrows and the helper's clicks are
// typed end to end by the GUI tests; here the mappings that combine keys.
#include "machine_fixture.h"

namespace {

using Keys = std::vector<int>;

// The ZX81 keys down in the matrix, in matrix order.
Keys keys_down()
{
    Keys down;
    for (int k = 0; k < 64; ++k)
        if ((k & 7) < 5 && !(key_matrix[k >> 3] & (1 << (k & 7)))) down.push_back(k);
    return down;
}

Keys scan(std::initializer_list<int> host_keys)
{
    std::memset(headless_keys, 0, sizeof headless_keys);
    for (int vk : host_keys) headless_keys[vk] = true;
    scan_keyboard();
    return keys_down();
}

class KeyboardTest : public MachineTest {};

TEST_F(KeyboardTest, HostKeysMapOntoTheMatrix)
{
    constexpr int shift = 0x10, ctrl = 0x11, backspace = 0x08, semicolon = 0xBA, pad_plus = 0x6B,
                  full_stop = 0xBE, pad_7 = 0x67;
    EXPECT_EQ(scan({pad_7}), Keys{zx_key_7});
    EXPECT_EQ(scan({backspace, 'A'}), (Keys{zx_key_shift, zx_key_0}));  // RUBOUT only
    EXPECT_EQ(scan({semicolon}), (Keys{zx_key_shift, zx_key_x}));
    EXPECT_EQ(scan({semicolon, shift}), (Keys{zx_key_shift, zx_key_z}));
    EXPECT_EQ(scan({pad_plus, 'A'}), (Keys{zx_key_shift, zx_key_a, zx_key_k}));  // the scan goes on
    EXPECT_EQ(scan({full_stop}), Keys{zx_key_stop});
    EXPECT_EQ(scan({full_stop, shift}), (Keys{zx_key_shift, zx_key_m}));
    EXPECT_EQ(scan({ctrl, 'E'}), (Keys{zx_key_shift, zx_key_e, zx_key_newline}));

    // Port 0xFE reads the half-rows its high byte selects, a key down as a 0 bit.
    scan({'A', 'B'});
    EXPECT_EQ(port_in(0xFEFE), 0x7F);
    EXPECT_EQ(port_in(0xFDFE), 0x7E);
    EXPECT_EQ(port_in(0x00FE), 0x6E);  // every half-row: A on row 1, B on row 7
}

TEST_F(KeyboardTest, CharacterCodesPressTheirKeysAndTheHelperTypesEverySixthFrame)
{
    press_char_keys(0xE5);
    EXPECT_EQ(keys_down(), (Keys{zx_key_shift, zx_key_f}));
    press_char_keys(0x27);  // a listed code only adds keys
    EXPECT_EQ(keys_down(), (Keys{zx_key_shift, zx_key_f, zx_key_b}));
    press_char_keys(0x05);  // an unlisted one releases them all
    EXPECT_EQ(keys_down(), Keys{});

    auto click = [](std::initializer_list<int> ids) {
        for (int id : ids) helper_press_button(id);
        return helper_char;
    };
    const int q = 710, shift = helper_shift_button, newline = helper_newline_button;
    helper_open();
    EXPECT_EQ(click({shift, q}), 192);
    EXPECT_EQ(click({shift, newline, shift, q}), 199);  // function token of Q
    EXPECT_EQ(click({726, 703}), 32);                    // latches cleared after J: plain 4
    EXPECT_EQ(click({shift, helper_stop_button}), 26);

    click({q});
    std::vector<int> pressed_frames;
    for (int frame = 1; frame <= 13; ++frame) {
        end_of_frame_duties();
        if (keys_down() == Keys{zx_key_q}) pressed_frames.push_back(frame);
        release_all_keys();
    }
    EXPECT_EQ(pressed_frames, (std::vector<int>{1, 7, 13}));
    helper_close();
    end_of_frame_duties();
    EXPECT_EQ(keys_down(), Keys{});
}

}  // namespace
