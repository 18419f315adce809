// Typing on the ZX81 keyboard from text: which matrix keys make each character.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One key of the 8 x 5 matrix: half-row 0-7 and bit 0-4.
struct MatrixKey {
    int row, bit;
};

// The keys pressed together for one keystroke (SHIFT first when shifted).
using Keystroke = std::vector<MatrixKey>;

// Splits text into keystrokes: letters, digits, space, ".", newline (or the two
// characters \n), the shifted symbols by their own character, and {NAME} for
// RUBOUT, EDIT, FUNCTION, GRAPHICS, UP, DOWN, LEFT, RIGHT, BREAK or SHIFT+<key>.
// Returns false and names the offending piece in `error` when the text has a
// character no key types.
bool parse_keystrokes(const std::string& text, std::vector<Keystroke>& out, std::string& error);

// The 24 lines of the display file as text: inverse letters in lower case,
// block graphics as "#".
std::vector<std::string> screen_text();

// Text as ZX81 character codes, the way --screen-text writes them: upper-case letters,
// digits and symbols as themselves, lower-case letters in inverse video, and the
// pound sign. False, naming the character, for one the ZX81 has no single code for
// ("#" stands for every block graphic).
bool zx81_codes(const std::string& text, std::vector<uint8_t>& out, std::string& error);
