// The programmer's calculator, driven key by key as the window does: each sequence
// starts from a freshly opened calculator (DEC, BYTE, toggles off).
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "shell/calculator.h"

namespace {

int index_of(const char* names, const std::string& word)
{
    std::istringstream list(names);
    std::string name;
    for (int i = 0; list >> name; ++i)
        if (name == word) return i;
    return -1;
}

// Presses a key named as on the window; anything else is a run of digits typed one by
// one ("256" is 2, 5, 6; hexadecimal "C A" is spaced apart from the keys CA and CE).
void press(const std::string& word)
{
    if (int op = index_of("AND OR XOR / * - +", word); op >= 0) return calculator_operator(CalculatorOperation(op + 1));
    if (int shift = index_of("RL RR RLC RRC SLA SRA SLL SRL", word); shift >= 0)
        return calculator_shift(CalculatorShift(shift));
    static const int bases[] = {2, 10, 16};
    if (int base = index_of("BIN DEC HEX", word); base >= 0) return calculator_set_base(bases[base]);
    static const std::pair<const char*, void (*)()> keys[] = {
        {"=", calculator_equals}, {"NOT", calculator_not}, {"SIGNED", calculator_toggle_signed},
        {"+/-", calculator_toggle_signed}, {"CARRY", calculator_toggle_carry}, {"CA", calculator_clear_all},
        {"CE", calculator_clear_entry}, {"STO", calculator_store},
        {"BYTE", [] { calculator_set_width(8); }}, {"WORD", [] { calculator_set_width(16); }},
    };
    for (const auto& [name, action] : keys)
        if (word == name) return action();
    for (char c : word) calculator_digit(int(std::strchr("0123456789ABCDEF", c) - "0123456789ABCDEF"));
}

// The display after the sequence, without the spaces that right-align it.
std::string run(const char* sequence)
{
    calculator_open();
    std::istringstream words(sequence);
    for (std::string word; words >> word;) press(word);
    const std::string shown = calculator_display;
    return shown.substr(shown.find_first_not_of(' '));
}

}  // namespace

TEST(Calculator, KeySequencesShowTheirResults)
{
    const std::pair<const char*, const char*> cases[] = {
        // Digits that do not fit the width are dropped; digits outside the base mean nothing.
        {"256", "25"}, {"WORD 65536", "6553"}, {"WORD HEX 1 0 0 0 0", "1000"}, {"BIN 111111111", "11111111"},
        {"0 0 7", "7"}, {"A 1", "1"}, {"BIN 2 1", "1"},
        // Left to right; the width is checked at "=".
        {"1 + 2 * 3 =", "9"}, {"1 + 2 *", "3"}, {"7 / 2 =", "3"}, {"SIGNED 7 NOT / 2 =", "-3"},
        {"255 + 1 =", "OVERFLOW"}, {"WORD 255 + 1 =", "256"}, {"WORD 65535 + 1 =", "OVERFLOW"},
        {"3 - 5 =", "OVERFLOW"}, {"SIGNED 3 - 5 =", "-2"}, {"+/- 3 - 5 =", "-2"},
        {"SIGNED 0 - 200 =", "OVERFLOW"}, {"WORD SIGNED 0 - 200 =", "-200"},
        {"5 * =", "25"}, {"5 * 0 =", "0"}, {"20 * =", "OVERFLOW"}, {"WORD 65535 * 65535 * 65535 * 65535 =", "OVERFLOW"},
        {"HEX F0 AND 3 C =", "30"}, {"HEX F0 OR 0 F =", "FF"}, {"HEX F0 XOR 3 C =", "CC"}, {"12 + 3 = =", "15"},
        // Errors show in the display, and the calculator starts afresh after them.
        {"7 / 0 =", "DIVIDE BY 0"}, {"7 / 0 + 1 =", "DIVIDE BY 0"}, {"7 / 0 = 4 + 1 =", "5"},
        {"255 + 1 = 9 - 2 =", "7"}, {"255 + 1 = + 3 =", "3"},
        // Clear keys and STO.
        {"5 + 3 CA 2 =", "2"}, {"5 + 3 CE 4 =", "9"}, {"5 * = + 1 =", "1"}, {"5 * = STO + 1 =", "26"},
        // A base change carries the value on show; binary is written as width digits.
        {"255 HEX", "FF"}, {"HEX F F DEC", "255"}, {"5 BIN", "00000101"}, {"WORD 5 BIN", "0000000000000101"},
        {"12 + 3 = HEX", "F"}, {"12 + 3 = HEX 1", "1"}, {"12 + HEX", "C"}, {"WORD SIGNED 3 - 5 = HEX", "FFFE"},
        {"5 BIN 1", "000001011"}, {"WORD 12 BIN 1", "0000000000001100"},  // no column left for the 1
        {"BIN 1 HEX DEC 7", "17"},
        // NOT negates within the width.
        {"5 NOT", "-5"}, {"HEX 1 NOT", "FF"}, {"WORD HEX 1 NOT", "FFFF"}, {"HEX 1 NOT + 1 =", "OVERFLOW"},
        {"5 NOT + 8 =", "3"},
    };
    for (const auto& [keys, shown] : cases) EXPECT_EQ(run(keys), shown) << keys;
}

TEST(Calculator, ShiftsAndRotatesSetTheCarry)
{
    const struct { const char* keys; const char* shown; bool carry; } cases[] = {
        {"HEX 8 1 RLC", "3", true}, {"HEX 8 1 SRA", "C0", true}, {"HEX 4 0 RLC", "80", false},
        {"HEX 8 1 RRC", "C0", true}, {"HEX 8 0 RL", "0", true}, {"CARRY HEX 1 RL", "3", false},
        {"CARRY HEX 2 RR", "81", false}, {"HEX 1 RR", "0", true}, {"HEX 8 1 SLA", "2", true},
        {"HEX 4 0 SRA", "20", false}, {"HEX 8 0 SLL", "1", true}, {"HEX 8 1 SRL", "40", true},
        {"CARRY WORD 300 RL", "300", true},  // not a byte: unchanged
        {"HEX 8 1 SLA 3 +", "23", true},     // digits go on after a shifted value
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.keys), c.shown) << c.keys;
        EXPECT_EQ(calculator_carry, c.carry) << c.keys;
    }
}

TEST(Calculator, DisplayIsRightAlignedAndOpeningStartsAfresh)
{
    EXPECT_STREQ((run("12"), calculator_display), "              12");
    calculator_toggle_signed();
    calculator_open();
    EXPECT_TRUE(calculator_base == 10 && calculator_width == 8 && !calculator_signed);
    EXPECT_STREQ(calculator_display, "                 0");
}
