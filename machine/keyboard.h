// The ZX81 keyboard: an 8 x 5 key matrix read through port 0xFE, filled from the
// host keyboard, and the keyboard helper that types ZX81 characters by key presses.
#pragma once
#include <cstdint>

// One byte per half-row (row 0 selected by address line A8); bits 0-4 are its
// five keys, 0 = pressed; bits 5-7 stay 1.
extern uint8_t key_matrix[8];

// A ZX81 key as row * 8 + bit.
enum ZxKey : uint8_t {
    zx_key_shift = 0x00, zx_key_z, zx_key_x, zx_key_c, zx_key_v,
    zx_key_a = 0x08, zx_key_s, zx_key_d, zx_key_f, zx_key_g,
    zx_key_q = 0x10, zx_key_w, zx_key_e, zx_key_r, zx_key_t,
    zx_key_1 = 0x18, zx_key_2, zx_key_3, zx_key_4, zx_key_5,
    zx_key_0 = 0x20, zx_key_9, zx_key_8, zx_key_7, zx_key_6,
    zx_key_p = 0x28, zx_key_o, zx_key_i, zx_key_u, zx_key_y,
    zx_key_newline = 0x30, zx_key_l, zx_key_k, zx_key_j, zx_key_h,
    zx_key_space = 0x38, zx_key_stop, zx_key_m, zx_key_n, zx_key_b,
};

// The key legends of each half-row, bit 0 first: '#' is SHIFT, '\n' NEWLINE.
extern const char* const matrix_legends[8];
// The key (row * 8 + bit) with legend c; 0xFF for none.
uint8_t key_for_legend(char c);
// The key that types ZX81 character `code` (row * 8 + bit, bit 7 set when SHIFT goes
// with it); 0 when no key types it.
uint8_t key_for_code(int code);
// The ZX81 character set, codes 0-63, one ASCII character each: the block graphics
// (1-10) and the pound sign (12), which ASCII lacks, show as "#".
extern const char zx81_charset[65];
constexpr int zx81_pound_code = 12;

inline void press_key(ZxKey k) { key_matrix[k >> 3] &= uint8_t(~(1u << (k & 7))); }
void release_all_keys();

// Rebuilds the key matrix from the host keys while the emulator has the focus.
void scan_keyboard();
// Presses the keys that type ZX81 character `code`; an unlisted code releases every key.
void press_char_keys(int code);

// Keyboard helper: while helper_on, helper_char is typed every sixth frame.
extern uint8_t helper_on;
extern int helper_char;
extern int helper_frame;
extern uint8_t helper_shift_latch;
extern uint8_t helper_function_latch;

constexpr int helper_first_button = 700;
constexpr int helper_button_count = 40;
constexpr int helper_newline_button = 729;
constexpr int helper_shift_button = 730;
constexpr int helper_stop_button = 738;
constexpr int helper_space_button = 739;
constexpr int helper_release_code = 256;  // types nothing: every key released

// The codes a letter or digit button types: plain, shifted, function token (-1: none).
struct HelperKeyCodes {
    char label;
    int16_t plain, shifted, function;
};
// Buttons 700-739 in reading order of the ZX81 keyboard; NEWLINE, SHIFT, the full
// stop and SPACE have their own rules and are listed with label 0.
extern const HelperKeyCodes helper_buttons[helper_button_count];

void helper_open();
void helper_close();
// A click on button `id` (700-739).
void helper_press_button(int id);
// The frame loop's part: every sixth frame, release all and type helper_char again.
void helper_frame_tick();
