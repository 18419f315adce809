// The key matrix from the host keyboard, and the keys that type ZX81 characters.
#include "machine_fixture.h"

namespace {

class KeyboardTest : public MachineTest {
protected:
    // The ZX81 keys down in the matrix, as a sorted list.
    std::vector<int> keys_down()
    {
        std::vector<int> down;
        for (int k = 0; k < 64; ++k)
            if ((k & 7) < 5 && !(key_matrix[k >> 3] & (1 << (k & 7)))) down.push_back(k);
        return down;
    }
    std::vector<int> scan(std::initializer_list<int> host_keys)
    {
        std::memset(headless_keys, 0, sizeof headless_keys);
        for (int vk : host_keys) headless_keys[vk] = true;
        scan_keyboard();
        return keys_down();
    }
    std::vector<int> typed(int code)
    {
        release_all_keys();
        press_char_keys(code);
        return keys_down();
    }
};

using Keys = std::vector<int>;
constexpr int vk_shift = 0x10, vk_control = 0x11, vk_back = 0x08, vk_left = 0x25, vk_semicolon = 0xBA,
              vk_add = 0x6B, vk_period = 0xBE, vk_numpad7 = 0x67, vk_return = 0x0D;

TEST_F(KeyboardTest, HostKeysMapOntoTheMatrix)
{
    EXPECT_EQ(scan({}), Keys{});
    EXPECT_EQ(scan({'A', 'Q', '1'}), (Keys{zx_key_a, zx_key_q, zx_key_1}));
    EXPECT_EQ(scan({vk_numpad7, vk_return}), (Keys{zx_key_7, zx_key_newline}));
    EXPECT_EQ(scan({vk_back, 'A'}), (Keys{zx_key_shift, zx_key_0}));  // RUBOUT only
    EXPECT_EQ(scan({vk_left, 'A'}), (Keys{zx_key_shift, zx_key_5}));
    EXPECT_EQ(scan({vk_semicolon}), (Keys{zx_key_shift, zx_key_x}));
    EXPECT_EQ(scan({vk_semicolon, vk_shift}), (Keys{zx_key_shift, zx_key_z}));
    EXPECT_EQ(scan({vk_add, 'A'}), (Keys{zx_key_shift, zx_key_a, zx_key_k}));  // the scan goes on
    EXPECT_EQ(scan({vk_period}), Keys{zx_key_stop});
    EXPECT_EQ(scan({vk_period, vk_shift}), (Keys{zx_key_shift, zx_key_m}));
    EXPECT_EQ(scan({vk_control, 'E'}), (Keys{zx_key_shift, zx_key_e, zx_key_newline}));
}

TEST_F(KeyboardTest, CharacterCodesPressTheirKeys)
{
    EXPECT_EQ(typed(0x26), Keys{zx_key_a});
    EXPECT_EQ(typed(0x3F), Keys{zx_key_z});
    EXPECT_EQ(typed(0x1C), Keys{zx_key_0});
    EXPECT_EQ(typed(0x0C), (Keys{zx_key_shift, zx_key_space}));
    EXPECT_EQ(typed(0x19), (Keys{zx_key_shift, zx_key_x}));
    EXPECT_EQ(typed(0x76), Keys{zx_key_newline});
    EXPECT_EQ(typed(0x79), (Keys{zx_key_shift, zx_key_newline}));
    EXPECT_EQ(typed(0xE5), (Keys{zx_key_shift, zx_key_f}));

    // A listed code only adds keys; an unlisted one releases them all.
    typed(0x26);
    press_char_keys(0x27);
    EXPECT_EQ(keys_down(), (Keys{zx_key_a, zx_key_b}));
    press_char_keys(0x05);
    EXPECT_EQ(keys_down(), Keys{});
}

TEST_F(KeyboardTest, HelperTypesItsCharacterEverySixthFrame)
{
    auto click = [](std::initializer_list<int> ids) {
        for (int id : ids) helper_press_button(id);
        return helper_char;
    };
    const int q = 710, shift = helper_shift_button, newline = helper_newline_button;
    helper_open();
    EXPECT_EQ(click({q}), 54);
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
