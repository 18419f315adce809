// The programmer's calculator: whole numbers of 8 or 16 bits in binary, decimal or
// hexadecimal, the four arithmetic operations, AND, OR, XOR, NOT and the eight Z80
// shifts and rotates with a carry flag. Every key leaves the text the window shows
// in calculator_display; the window itself computes nothing.
#pragma once
#include <cstdint>

// The pending operation: what the next operator or "=" computes.
enum CalculatorOperation {
    calc_none,
    calc_and,
    calc_or,
    calc_xor,
    calc_divide,
    calc_multiply,
    calc_subtract,
    calc_add,
};

// The Z80's shift and rotate instructions, in the order of their keys.
enum CalculatorShift { calc_rl, calc_rr, calc_rlc, calc_rrc, calc_sla, calc_sra, calc_sll, calc_srl };

constexpr int calculator_columns = 16;

// ---- The calculator's state ----
extern char calculator_entry[calculator_columns + 1];  // the digits typed so far, current base
extern int32_t calculator_digit_count;                   // characters in the entry
extern int32_t calculator_free_columns;                  // display columns still free
extern char calculator_display[calculator_columns + 3];  // what the window shows
extern int calculator_base;                              // 2, 10 or 16
extern int calculator_width;                             // 8 (BYTE) or 16 (WORD)
extern bool calculator_signed;                           // "SIGNED" and "+/-"
extern bool calculator_carry;                            // "CARRY", and the shifts' carry out
extern int64_t calculator_first_operand, calculator_second_operand, calculator_result;
extern CalculatorOperation calculator_pending;
extern bool calculator_divide_by_zero;
extern bool calculator_multiplied;

// ---- The keys ----
void calculator_open();                            // BYTE, DEC, toggles off, display cleared
void calculator_close();                           // operands and entry cleared
void calculator_digit(int digit);                  // 0 to 15
void calculator_set_base(int base);                // BIN, DEC, HEX
void calculator_set_width(int width);              // BYTE, WORD
void calculator_operator(CalculatorOperation op);  // + - * / AND OR XOR
void calculator_equals();
void calculator_not();
void calculator_shift(CalculatorShift shift);
void calculator_toggle_signed();  // "SIGNED" and "+/-"
void calculator_toggle_carry();
void calculator_clear_all();    // "CA"
void calculator_clear_entry();  // "CE": the entry only; the pending operation stays
void calculator_store();        // "STO": the value on show becomes the entry

// True when the digit key is valid in the current base (the window enables it).
bool calculator_digit_allowed(int digit);
