// The programmer's calculator. Numbers are typed into the entry, in the current base,
// as long as they fit the width; operators work strictly left to right; "=" checks
// the result against the width and shows it, or shows the error and starts afresh.
#include "shell/calculator.h"

#include <cstdio>
#include <cstring>

char calculator_entry[calculator_columns + 1];
int32_t calculator_digit_count;
int32_t calculator_free_columns = calculator_columns;
char calculator_display[calculator_columns + 3];
int calculator_base = 10;
int calculator_width = 8;
bool calculator_signed;
bool calculator_carry;
int64_t calculator_first_operand, calculator_second_operand, calculator_result;
CalculatorOperation calculator_pending = calc_none;
bool calculator_divide_by_zero;
bool calculator_multiplied;

namespace {

const char cleared_display[] = "                 0";
const char digit_characters[] = "0123456789ABCDEF";

// Anything an intermediate result grows beyond is an overflow at "=" whatever the
// width; keeping values inside it keeps every product within 64 bits.
constexpr int64_t value_bound = 0x7FFFFFFF;

bool entry_given;       // a value was typed (a lone "0" included) or put into the entry
bool overflowed;        // an intermediate result left value_bound
bool value_on_show;     // the display shows shown_value rather than the entry
int64_t shown_value;    // a result or operand on show, written again on a base change

int64_t width_limit() { return int64_t(1) << calculator_width; }
int64_t width_mask() { return width_limit() - 1; }

// The value of a text of digits in the current base, with an optional leading minus.
int64_t parse(const char* text)
{
    const bool negative = *text == '-';
    if (negative) ++text;
    int64_t value = 0;
    for (; *text; ++text) {
        const char* digit = std::strchr(digit_characters, *text);
        if (!digit || digit - digit_characters >= calculator_base) break;
        if (value < value_bound) value = value * calculator_base + (digit - digit_characters);
    }
    return negative ? -value : value;
}

// Decimal as "%d"; hexadecimal as "%X" and binary as width digits, both two's
// complement within the width for a negative value.
void format(int64_t value, char* text, size_t size)
{
    if (calculator_base == 10) {
        std::snprintf(text, size, "%lld", static_cast<long long>(value));
        return;
    }
    if (value < 0 || value > 0xFFFF) value &= value < 0 ? width_mask() : 0xFFFF;
    if (calculator_base == 16) {
        std::snprintf(text, size, "%llX", static_cast<unsigned long long>(value));
        return;
    }
    const int digits = value > width_mask() ? 16 : calculator_width;
    for (int i = 0; i < digits; ++i) text[i] = (value >> (digits - 1 - i)) & 1 ? '1' : '0';
    text[digits] = 0;
}

void show_text(const char* text)
{
    std::snprintf(calculator_display, sizeof calculator_display, "%*s", calculator_columns, text);
}

void show_cleared() { std::memcpy(calculator_display, cleared_display, sizeof cleared_display); }

void show_value(int64_t value)
{
    char text[calculator_columns + 2];
    format(value, text, sizeof text);
    show_text(text);
    shown_value = value;
    value_on_show = true;
}

void empty_entry()
{
    calculator_entry[0] = 0;
    calculator_digit_count = 0;
    calculator_free_columns = calculator_columns;
    entry_given = false;
}

// A computed value becomes the entry, written in the current base; 0 clears the display.
void set_entry(int64_t value)
{
    empty_entry();
    entry_given = true;
    value_on_show = false;
    if (value == 0) {
        show_cleared();
        return;
    }
    format(value, calculator_entry, sizeof calculator_entry);
    calculator_digit_count = int32_t(std::strlen(calculator_entry));
    calculator_free_columns = calculator_columns - calculator_digit_count;
    show_text(calculator_entry);
}

void clear_operands()
{
    calculator_first_operand = calculator_second_operand = calculator_result = 0;
    calculator_pending = calc_none;
    calculator_divide_by_zero = calculator_multiplied = overflowed = false;
}

// "DIVIDE BY 0" or "OVERFLOW" on show, and the calculator starts afresh.
void fail(const char* message)
{
    show_text(message);
    clear_operands();
    empty_entry();
    value_on_show = false;
}

void compute_pending()
{
    const int64_t a = calculator_first_operand, b = calculator_second_operand;
    int64_t& r = calculator_result;
    switch (calculator_pending) {
    case calc_and: r = a & b; break;
    case calc_or: r = a | b; break;
    case calc_xor: r = a ^ b; break;
    case calc_add: r = a + b; break;
    case calc_subtract: r = a - b; break;
    case calc_multiply:
        r = a * b;
        calculator_multiplied = true;
        break;
    case calc_divide:
        if (b == 0)
            calculator_divide_by_zero = true;  // the result stays as it was
        else
            r = a / b;  // truncates toward zero
        break;
    case calc_none: break;
    }
    if (r > value_bound || r < -value_bound) {
        overflowed = true;
        r = r > 0 ? value_bound : -value_bound;
    }
}

bool result_overflows(int64_t r)
{
    if (overflowed || r >= width_limit()) return true;
    if (calculator_signed) return r < -(width_limit() / 2);
    return r < 0;
}

// How each shift and rotate fills the bit it frees: the old carry, the bit that
// falls out (a rotate), 0, 1, or the sign bit kept (SRA).
enum Fill { fill_carry, fill_rotate, fill_zero, fill_one, fill_sign };
struct ShiftRule {
    bool left;
    Fill fill;
};
const ShiftRule shift_rules[] = {
    {true, fill_carry},  {false, fill_carry}, {true, fill_rotate}, {false, fill_rotate},
    {true, fill_zero},   {false, fill_sign},  {true, fill_one},    {false, fill_zero},
};

}  // namespace

void calculator_open()
{
    calculator_base = 10;
    calculator_width = 8;
    calculator_signed = calculator_carry = false;
    calculator_clear_all();
}

void calculator_close() { calculator_clear_all(); }

bool calculator_digit_allowed(int digit) { return digit >= 0 && digit < calculator_base; }

void calculator_digit(int digit)
{
    if (!calculator_digit_allowed(digit) || calculator_free_columns <= 0) return;
    // No leading zero: a lone 0 is a value given, shown as the cleared display.
    if (digit == 0 && calculator_digit_count == 0) {
        entry_given = true;
        value_on_show = false;
        show_cleared();
        return;
    }
    char trial[calculator_columns + 2];
    std::snprintf(trial, sizeof trial, "%s%c", calculator_entry, digit_characters[digit]);
    const int64_t value = parse(trial);
    if (value >= width_limit() || value <= -width_limit()) return;  // does not fit: dropped
    std::memcpy(calculator_entry, trial, sizeof calculator_entry);
    ++calculator_digit_count;
    --calculator_free_columns;
    entry_given = true;
    value_on_show = false;
    show_text(calculator_entry);
}

void calculator_set_base(int base)
{
    if (base != 2 && base != 10 && base != 16) return;
    const int64_t value = parse(calculator_entry);
    const bool had_entry = calculator_digit_count > 0;
    calculator_base = base;
    if (had_entry) {
        const bool given = entry_given;
        set_entry(value);
        entry_given = given;
    } else if (value_on_show) {
        show_value(shown_value);
    }
}

void calculator_set_width(int width)
{
    if (width == 8 || width == 16) calculator_width = width;
}

void calculator_operator(CalculatorOperation op)
{
    calculator_second_operand = parse(calculator_entry);
    if (calculator_pending != calc_none) {
        compute_pending();
        calculator_first_operand = calculator_result;
    } else {
        calculator_first_operand = calculator_second_operand;
    }
    show_value(calculator_first_operand);
    empty_entry();
    calculator_pending = op;
}

void calculator_equals()
{
    if (calculator_pending == calc_none && !entry_given) return;  // nothing new to show
    calculator_second_operand = parse(calculator_entry);
    // "*" then "=" with nothing typed squares: 5 * = gives 25.
    if (calculator_pending == calc_multiply && !entry_given) calculator_second_operand = calculator_first_operand;
    if (calculator_pending != calc_none)
        compute_pending();
    else
        calculator_result = calculator_second_operand;

    if (calculator_divide_by_zero) return fail("DIVIDE BY 0");
    if (result_overflows(calculator_result)) return fail("OVERFLOW");
    const int64_t result = calculator_result;
    clear_operands();
    empty_entry();
    show_value(result);
}

void calculator_not()
{
    int64_t value = -parse(calculator_entry);
    if (calculator_base != 10) value &= width_mask();
    set_entry(value);
}

void calculator_shift(CalculatorShift shift)
{
    const int64_t v = parse(calculator_entry);
    if (v < 0 || v > 255 || shift < calc_rl || shift > calc_srl) return;  // works on bytes only
    const ShiftRule& rule = shift_rules[shift];
    const int out = rule.left ? (v >> 7) & 1 : v & 1;
    int fill = 0;
    switch (rule.fill) {
    case fill_carry: fill = calculator_carry; break;
    case fill_rotate: fill = out; break;
    case fill_zero: fill = 0; break;
    case fill_one: fill = 1; break;
    case fill_sign: fill = (v >> 7) & 1; break;
    }
    const int64_t result = rule.left ? ((v << 1) | fill) & 0xFF : (v >> 1) | (fill << 7);
    calculator_carry = out;
    set_entry(result);
}

void calculator_toggle_signed() { calculator_signed = !calculator_signed; }
void calculator_toggle_carry() { calculator_carry = !calculator_carry; }

void calculator_clear_all()
{
    clear_operands();
    empty_entry();
    value_on_show = false;
    show_cleared();
}

void calculator_clear_entry()
{
    empty_entry();
    value_on_show = false;
    show_cleared();
}

void calculator_store()
{
    if (calculator_digit_count == 0 && value_on_show) set_entry(shown_value);
}
