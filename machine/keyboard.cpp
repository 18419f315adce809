#include "machine/keyboard.h"

#include <cstring>

#include "core/host.h"

uint8_t key_matrix[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

uint8_t helper_on;
int helper_char;
int helper_frame;
uint8_t helper_shift_latch;
uint8_t helper_function_latch;

const HelperKeyCodes helper_buttons[helper_button_count] = {
    {'1', 29, 117, -1},  {'2', 30, 218, -1},  {'3', 31, 222, -1},  {'4', 32, 223, -1},  {'5', 33, 114, -1},
    {'6', 34, 113, -1},  {'7', 35, 112, -1},  {'8', 36, 115, -1},  {'9', 37, 116, -1},  {'0', 28, 119, -1},
    {'Q', 54, 192, 199}, {'W', 60, 217, 200}, {'E', 42, 224, 201}, {'R', 55, 219, 207}, {'T', 57, 221, 64},
    {'Y', 62, 220, 213}, {'U', 58, 13, 214},  {'I', 46, 16, 196},  {'O', 52, 17, 211},  {'P', 53, 11, 194},
    {'A', 38, 227, 202}, {'S', 56, 225, 203}, {'D', 41, 228, 204}, {'F', 43, 229, 209}, {'G', 44, 226, 210},
    {'H', 45, 216, 208}, {'J', 47, 22, 197},  {'K', 48, 21, 198},  {'L', 49, 20, 212},  {0, 0, 0, 0},
    {0, 0, 0, 0},        {'Z', 63, 14, 205},  {'X', 61, 25, 206},  {'C', 40, 15, 193},  {'V', 59, 24, -1},
    {'B', 39, 23, 66},   {'N', 51, 19, 215},  {'M', 50, 18, 65},   {0, 0, 0, 0},        {0, 0, 0, 0},
};

const char* const matrix_legends[8] = {"#ZXCV", "ASDFG", "QWERT", "12345", "09876", "POIUY", "\nLKJH", " .MNB"};
const char zx81_charset[65] = " ##########\"#$:?()><=+-*/;,.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

uint8_t key_for_legend(char c)
{
    for (int row = 0; row < 8; ++row)
        for (int bit = 0; bit < 5; ++bit)
            if (matrix_legends[row][bit] == c) return uint8_t(row * 8 + bit);
    return 0xFF;
}

namespace {

void press_legend(char c)
{
    const uint8_t k = key_for_legend(c);
    if (k != 0xFF) press_key(ZxKey(k));
}

// Characters by the keys that type them, as runs of consecutive codes. "S+" is SHIFT
// with the key.
struct CharRun {
    uint8_t first_code;
    const char* keys;
};
const CharRun char_runs[] = {
    {0x0B, "S+P S+SPACE S+U S+Z S+C S+I S+O S+M S+N S+L S+K S+J S+B S+V S+X"},
    {0x1C, "0 1 2 3 4 5 6 7 8 9"},
    {0x26, "A B C D E F G H I J K L M N O P Q R S T U V W X Y Z"},
    {0x70, "S+7 S+6 S+5 S+8 S+9 S+1 NEWLINE S+0"},
    {0x79, "S+NEWLINE"},
    {0xC0, "S+Q"},
    {0xD8, "S+H S+W S+2 S+Y S+R S+T S+3 S+4 S+E S+S S+G S+A S+D S+F"},
};

// For each code: the legend of its key, or 0 for none; bit 7 set means with SHIFT.
struct CharTable {
    uint8_t key[256] = {};
    CharTable()
    {
        for (const CharRun& run : char_runs) {
            int code = run.first_code;
            for (const char* p = run.keys; *p; ++code) {
                const bool shifted = std::strncmp(p, "S+", 2) == 0;
                if (shifted) p += 2;
                char legend = *p;
                if (std::strncmp(p, "SPACE", 5) == 0) legend = ' ';
                if (std::strncmp(p, "NEWLINE", 7) == 0) legend = '\n';
                key[code] = uint8_t(key_for_legend(legend) | (shifted ? 0x80 : 0));
                while (*p && *p != ' ') ++p;
                while (*p == ' ') ++p;
            }
        }
    }
};
const CharTable char_table;

// Windows virtual-key codes of the host keys read.
enum HostKey : uint8_t {
    vk_back = 0x08, vk_return = 0x0D, vk_shift = 0x10, vk_control = 0x11, vk_space = 0x20,
    vk_left = 0x25, vk_up = 0x26, vk_right = 0x27, vk_down = 0x28, vk_delete = 0x2E,
    vk_numpad0 = 0x60, vk_multiply = 0x6A, vk_add = 0x6B, vk_subtract = 0x6D, vk_decimal = 0x6E,
    vk_divide = 0x6F, vk_semicolon = 0xBA, vk_equals = 0xBB, vk_comma = 0xBC, vk_minus = 0xBD,
    vk_period = 0xBE, vk_slash = 0xBF,
};

// Host keys that type a shifted ZX81 symbol; the first one held decides. A legend of
// 0 for the unshifted case means the entry applies only with shift held.
struct SymbolKey {
    uint8_t vk, vk_alternative;
    char with_shift, without_shift;
    bool scan_goes_on;
};
const SymbolKey symbol_keys[] = {
    {vk_left, 0, '5', '5', false},         {vk_right, 0, '8', '8', false},
    {vk_up, 0, '6', '6', false},           {vk_down, 0, '7', '7', false},
    {vk_multiply, 0, 'B', 'B', false},     {vk_semicolon, 0, 'Z', 'X', false},
    {vk_comma, 0, 'N', '.', false},        {vk_equals, 0, 'K', 'L', false},
    {vk_slash, vk_divide, 'C', 'V', false}, {vk_add, 0, 'K', 'K', true},
    {vk_minus, vk_subtract, 'J', 'J', false}, {vk_period, vk_decimal, 'M', 0, false},
};

bool held(uint8_t vk) { return vk != 0 && host_key_down(vk); }

// Keys pressed together, each by its own host key.
void press_plain_keys()
{
    if (held(vk_shift)) press_key(zx_key_shift);
    for (char c = 'A'; c <= 'Z'; ++c)
        if (held(uint8_t(c))) press_legend(c);
    for (char c = '0'; c <= '9'; ++c)
        if (held(uint8_t(c)) || held(uint8_t(vk_numpad0 + (c - '0')))) press_legend(c);
    if (held(vk_return)) press_key(zx_key_newline);
    if (held(vk_period) || held(vk_decimal)) press_key(zx_key_stop);
    if (held(vk_space)) press_key(zx_key_space);
}

}  // namespace

void release_all_keys() { std::memset(key_matrix, 0xFF, sizeof key_matrix); }

void scan_keyboard()
{
    if (!host_is_foreground()) return;
    release_all_keys();
    const bool shift = held(vk_shift);
    if (shift) press_key(zx_key_shift);
    if (held(vk_control)) {  // function mode
        press_key(zx_key_shift);
        press_key(zx_key_newline);
    }
    if (held(vk_delete) || held(vk_back)) {  // RUBOUT
        press_key(zx_key_shift);
        press_key(zx_key_0);
        return;
    }
    for (const SymbolKey& s : symbol_keys) {
        if (!held(s.vk) && !held(s.vk_alternative)) continue;
        const char legend = shift ? s.with_shift : s.without_shift;
        if (!legend) continue;
        press_key(zx_key_shift);
        press_legend(legend);
        if (!s.scan_goes_on) return;
    }
    press_plain_keys();
}

uint8_t key_for_code(int code) { return code >= 0 && code < 256 ? char_table.key[code] : 0; }

void press_char_keys(int code)
{
    const uint8_t k = key_for_code(code);
    if (!k) {
        release_all_keys();
        return;
    }
    if (k & 0x80) press_key(zx_key_shift);
    press_key(ZxKey(k & 0x7F));
}

void helper_open()
{
    helper_on = 1;
    helper_frame = 0;
    helper_shift_latch = helper_function_latch = 0;
}

void helper_close() { helper_on = 0; }

void helper_press_button(int id)
{
    const int index = id - helper_first_button;
    if (index < 0 || index >= helper_button_count) return;
    switch (id) {
    case helper_newline_button:
        helper_char = 118;
        if (helper_shift_latch) helper_function_latch = 1;
        return;
    case helper_shift_button:
        helper_shift_latch ^= 1;
        return;
    case helper_stop_button:
        helper_char = helper_shift_latch && !helper_function_latch ? 26 : 0;
        break;
    case helper_space_button:
        helper_char = helper_release_code;
        return;
    default: {
        const HelperKeyCodes& b = helper_buttons[index];
        if (helper_shift_latch) helper_char = helper_function_latch ? b.plain : b.shifted;
        else helper_char = helper_function_latch && b.function >= 0 ? b.function : b.plain;
    }
    }
    helper_shift_latch = helper_function_latch = 0;
}

void helper_frame_tick()
{
    if (!helper_on) return;
    if (++helper_frame > 6) helper_frame = 1;
    if (helper_frame != 1) return;
    release_all_keys();
    press_char_keys(helper_char);
}
