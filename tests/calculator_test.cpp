// The programmer's calculator, driven key by key as the window does: each sequence
// starts from a freshly opened calculator (DEC, BYTE, toggles off) and ends with
// the text on show and, for the shifts, the carry.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "shell/calculator.h"

namespace {

// Presses the keys named in a sequence: key words as on the window, anything else
// a run of digits typed one by one ("256" is 2, 5, 6; hexadecimal "C A" is spaced
// apart from the key words CA, CE and DEC).
void press(const std::string& word)
{
    struct Key {
        const char* name;
        void (*action)();
    };
    static const Key keys[] = {
        {"+", [] { calculator_operator(calc_add); }},
        {"-", [] { calculator_operator(calc_subtract); }},
        {"*", [] { calculator_operator(calc_multiply); }},
        {"/", [] { calculator_operator(calc_divide); }},
        {"AND", [] { calculator_operator(calc_and); }},
        {"OR", [] { calculator_operator(calc_or); }},
        {"XOR", [] { calculator_operator(calc_xor); }},
        {"=", calculator_equals},
        {"NOT", calculator_not},
        {"RL", [] { calculator_shift(calc_rl); }},
        {"RR", [] { calculator_shift(calc_rr); }},
        {"RLC", [] { calculator_shift(calc_rlc); }},
        {"RRC", [] { calculator_shift(calc_rrc); }},
        {"SLA", [] { calculator_shift(calc_sla); }},
        {"SRA", [] { calculator_shift(calc_sra); }},
        {"SLL", [] { calculator_shift(calc_sll); }},
        {"SRL", [] { calculator_shift(calc_srl); }},
        {"BIN", [] { calculator_set_base(2); }},
        {"DEC", [] { calculator_set_base(10); }},
        {"HEX", [] { calculator_set_base(16); }},
        {"BYTE", [] { calculator_set_width(8); }},
        {"WORD", [] { calculator_set_width(16); }},
        {"SIGNED", calculator_toggle_signed},
        {"+/-", calculator_toggle_signed},
        {"CARRY", calculator_toggle_carry},
        {"CA", calculator_clear_all},
        {"CE", calculator_clear_entry},
        {"STO", calculator_store},
    };
    for (const Key& key : keys)
        if (word == key.name) return key.action();
    for (char c : word) calculator_digit(int(std::strchr("0123456789ABCDEF", c) - "0123456789ABCDEF"));
}

// The display after the sequence, without the spaces that right-align it.
std::string run(const char* sequence)
{
    calculator_open();
    std::istringstream words(sequence);
    std::string word;
    while (words >> word) press(word);
    const std::string shown = calculator_display;
    return shown.substr(shown.find_first_not_of(' '));
}

struct Case {
    const char* keys;
    const char* shown;
};

void expect_all(const Case* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(run(cases[i].keys), cases[i].shown) << cases[i].keys;
}
#define EXPECT_ALL(cases) expect_all(cases, sizeof cases / sizeof cases[0])

TEST(Calculator, DigitsThatDoNotFitTheWidthAreDropped)
{
    const Case cases[] = {
        {"256", "25"},                  // BYTE: 256 does not fit
        {"WORD 256", "256"},            //
        {"WORD 65536", "6553"},         //
        {"WORD HEX 1 0 0 0 0", "1000"}, // a fifth hexadecimal digit
        {"BIN 111111111", "11111111"},  // a ninth bit in BYTE
        {"0 0 7", "7"},                 // no leading zero
        {"A 1", "1"},                   // A to F mean nothing in decimal
        {"BIN 2 1", "1"},               // nor 2 to 9 in binary
    };
    EXPECT_ALL(cases);
}

TEST(Calculator, ArithmeticIsLeftToRightAndChecksTheWidthAtEquals)
{
    const Case cases[] = {
        {"1 + 2 * 3 =", "9"},
        {"1 + 2 *", "3"},  // the running result is on show
        {"7 / 2 =", "3"},
        {"SIGNED 7 NOT / 2 =", "-3"},  // truncates toward zero
        {"255 + 1 =", "OVERFLOW"},
        {"WORD 255 + 1 =", "256"},
        {"WORD 65535 + 1 =", "OVERFLOW"},
        {"3 - 5 =", "OVERFLOW"},
        {"SIGNED 3 - 5 =", "-2"},
        {"+/- 3 - 5 =", "-2"},
        {"SIGNED 0 - 200 =", "OVERFLOW"},  // below -128 in BYTE
        {"WORD SIGNED 0 - 200 =", "-200"},
        {"5 * =", "25"},     // nothing typed after "*": the square
        {"5 * 0 =", "0"},    // a typed 0 is a 0
        {"20 * =", "OVERFLOW"},
        {"WORD 65535 * 65535 * 65535 * 65535 =", "OVERFLOW"},
        {"HEX F0 AND 3 C =", "30"},
        {"HEX F0 OR 0 F =", "FF"},
        {"HEX F0 XOR 3 C =", "CC"},
        {"12 + 3 = =", "15"},  // a second "=" keeps the result
        {"12 =", "12"},
    };
    EXPECT_ALL(cases);
}

TEST(Calculator, ErrorsShowInTheDisplayAndTheCalculatorStartsAfresh)
{
    const Case cases[] = {
        {"7 / 0 =", "DIVIDE BY 0"},
        {"7 / 0 + 1 =", "DIVIDE BY 0"},  // found at "=" through later operations
        {"7 / 0 = 4", "4"},
        {"7 / 0 = 4 + 1 =", "5"},
        {"255 + 1 = 9 - 2 =", "7"},
        {"255 + 1 = + 3 =", "3"},  // no operand survives the error
    };
    EXPECT_ALL(cases);
}

TEST(Calculator, ClearKeysAndStore)
{
    const Case cases[] = {
        {"5 + 3 CA 2 =", "2"},     // CA forgets the pending "+"
        {"5 + 3 CE 4 =", "9"},     // CE only the entry
        {"5 * = + 1 =", "1"},      // a result is not the next operand...
        {"5 * = STO + 1 =", "26"}, // ...unless STO takes it into the entry
        {"WORD 5 * = STO * =", "625"},
    };
    EXPECT_ALL(cases);
}

TEST(Calculator, BaseChangesCarryTheValue)
{
    const Case cases[] = {
        {"255 HEX", "FF"},
        {"HEX F F DEC", "255"},
        {"5 BIN", "00000101"},  // binary is written as width digits
        {"WORD 5 BIN", "0000000000000101"},
        {"BIN 101 HEX", "5"},
        {"12 + 3 = HEX", "F"},  // the last result, in the new base
        {"12 + 3 = HEX 1", "1"},
        {"12 + HEX", "C"},      // the operand on show, in the new base
        {"SIGNED 3 - 5 = HEX", "FE"},
        {"WORD SIGNED 3 - 5 = HEX", "FFFE"},
        {"5 BIN 1", "000001011"},  // digits go on after the written value
        {"BIN 1 HEX DEC 7", "17"},
    };
    EXPECT_ALL(cases);
}

TEST(Calculator, NotNegatesWithinTheWidth)
{
    const Case cases[] = {
        {"5 NOT", "-5"},
        {"HEX 1 NOT", "FF"},
        {"WORD HEX 1 NOT", "FFFF"},
        {"BIN 1 1 NOT", "11111101"},
        {"HEX 1 NOT + 1 =", "OVERFLOW"},  // FF + 1 in BYTE
        {"5 NOT + 8 =", "3"},
    };
    EXPECT_ALL(cases);
}

TEST(Calculator, ShiftsAndRotatesSetTheCarry)
{
    struct ShiftCase {
        const char* keys;
        const char* shown;
        bool carry;
    };
    const ShiftCase cases[] = {
        {"HEX 8 1 RLC", "3", true},          {"HEX 8 1 SRA", "C0", true},
        {"HEX 4 0 RLC", "80", false},        {"HEX 8 1 RRC", "C0", true},
        {"HEX 8 0 RL", "0", true},           {"CARRY HEX 1 RL", "3", false},
        {"CARRY HEX 2 RR", "81", false},     {"HEX 1 RR", "0", true},
        {"HEX 8 1 SLA", "2", true},          {"HEX 4 0 SRA", "20", false},
        {"HEX 8 0 SLL", "1", true},          {"HEX 8 1 SRL", "40", true},
        {"HEX 8 1 RLC RLC", "6", false},     {"CARRY WORD 300 RL", "300", true},  // not a byte: unchanged
        {"HEX 8 1 SLA 3 +", "23", true},     // digits go on after a shifted value
    };
    for (const ShiftCase& c : cases) {
        EXPECT_EQ(run(c.keys), c.shown) << c.keys;
        EXPECT_EQ(calculator_carry, c.carry) << c.keys;
    }
}

TEST(Calculator, DisplayIsRightAlignedInSixteenColumns)
{
    calculator_open();
    EXPECT_STREQ(calculator_display, "                 0");
    calculator_digit(1);
    calculator_digit(2);
    EXPECT_STREQ(calculator_display, "              12");
    calculator_set_width(16);
    calculator_set_base(2);
    EXPECT_STREQ(calculator_display, "0000000000001100");
    EXPECT_EQ(calculator_free_columns, 0);
    calculator_digit(1);  // no column left
    EXPECT_STREQ(calculator_display, "0000000000001100");
    // Opening again starts in DEC and BYTE with the toggles off.
    calculator_toggle_signed();
    calculator_open();
    EXPECT_EQ(calculator_base, 10);
    EXPECT_EQ(calculator_width, 8);
    EXPECT_FALSE(calculator_signed);
    EXPECT_STREQ(calculator_display, "                 0");
}

}  // namespace
