#include "cli/zx81_keys.h"

#include <cctype>
#include <cstdint>
#include <cstring>

#include "bus.h"

namespace {

// The key matrix by half-row, bits 0-4; '^' is SHIFT and '\n' NEWLINE.
const char* const matrix_rows[8] = {"^ZXCV", "ASDFG", "QWERT", "12345",
                                    "09876", "POIUY", "\nLKJH", " .MNB"};

bool find_key(char c, MatrixKey& key)
{
    for (int row = 0; row < 8; ++row)
        if (const char* p = std::strchr(matrix_rows[row], c); p && c)
            return key = {row, int(p - matrix_rows[row])}, true;
    return false;
}

// Shifted symbols and the key they are on.
struct ShiftedSymbol {
    const char* text;
    char key;
};
const ShiftedSymbol shifted_symbols[] = {
    {"\"", 'P'}, {"\xC2\xA3", ' '}, {"$", 'U'}, {":", 'Z'}, {"?", 'C'}, {"(", 'I'},
    {")", 'O'},  {">", 'M'},        {"<", 'N'}, {"=", 'L'}, {"+", 'K'}, {"-", 'J'},
    {"*", 'B'},  {"/", 'V'},        {";", 'X'}, {",", '.'},
};

// Named keys written as {NAME}: the key pressed with SHIFT, or alone.
struct NamedKey {
    const char* name;
    char key;
    bool shifted;
};
const NamedKey named_keys[] = {
    {"RUBOUT", '0', true}, {"EDIT", '1', true},  {"FUNCTION", '\n', true}, {"GRAPHICS", '9', true},
    {"UP", '7', true},     {"DOWN", '6', true},  {"LEFT", '5', true},      {"RIGHT", '8', true},
    {"BREAK", ' ', false},
};

Keystroke stroke(char key, bool shifted)
{
    Keystroke s;
    MatrixKey k{};
    if (shifted) s.push_back({0, 0});
    find_key(key, k);
    s.push_back(k);
    return s;
}

bool parse_named(const std::string& name, Keystroke& s)
{
    for (const NamedKey& n : named_keys)
        if (name == n.name) return s = stroke(n.key, n.shifted), true;
    if (name.size() == 7 && name.compare(0, 6, "SHIFT+") == 0) {
        MatrixKey k{};
        char c = char(std::toupper(static_cast<unsigned char>(name[6])));
        if (c != '^' && find_key(c, k)) return s = stroke(c, true), true;
    }
    return false;
}

}  // namespace

bool parse_keystrokes(const std::string& text, std::vector<Keystroke>& out, std::string& error)
{
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        MatrixKey k{};
        if (c == '{') {
            size_t end = text.find('}', i);
            Keystroke s;
            if (end == std::string::npos || !parse_named(text.substr(i + 1, end - i - 1), s)) {
                error = text.substr(i, end == std::string::npos ? std::string::npos : end - i + 1);
                return false;
            }
            out.push_back(s);
            i = end + 1;
            continue;
        }
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out.push_back(stroke('\n', false));
            i += 2;
            continue;
        }
        const char upper = char(std::toupper(static_cast<unsigned char>(c)));
        if (upper != '^' && find_key(upper, k)) {
            out.push_back(stroke(upper, false));
            ++i;
            continue;
        }
        bool found = false;
        for (const ShiftedSymbol& sym : shifted_symbols) {
            const size_t n = std::strlen(sym.text);
            if (text.compare(i, n, sym.text) == 0) {
                out.push_back(stroke(sym.key, true));
                i += n;
                found = true;
                break;
            }
        }
        if (!found) {
            error = text.substr(i, 1);
            return false;
        }
    }
    return true;
}

namespace {

// ZX81 character codes 0-63 as text; 1-10 are the block graphics.
const char charset[] = " ##########\"#$:?()><=+-*/;,.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::string char_text(uint8_t code)
{
    if (code == 12) return "\xC2\xA3";   // the pound sign
    if (code == 0x80) return "#";         // an inverse space is a solid block
    const char c = charset[code & 0x3F];
    if (code & 0x80) return std::string(1, char(std::tolower(static_cast<unsigned char>(c))));
    return std::string(1, c);
}

}  // namespace

std::vector<std::string> screen_text()
{
    std::vector<std::string> lines;
    uint16_t addr = uint16_t(peek_byte(0x400C) | (peek_byte(0x400D) << 8));  // D_FILE
    // The display file starts with a NEWLINE, and each of its 24 lines ends with one.
    for (int guard = 0; guard < 24 * 34 && lines.size() < 24; ++guard) {
        std::string line;
        for (int n = 0; n < 33; ++n) {
            const uint8_t code = peek_byte(++addr);
            if (code == 0x76) break;
            if ((code & 0x7F) < 64) line += char_text(code);
            else line += '?';
        }
        lines.push_back(line);
    }
    return lines;
}

bool zx81_codes(const std::string& text, std::vector<uint8_t>& out, std::string& error)
{
    static const std::string pound = char_text(12);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, pound.size(), pound) == 0) {
            out.push_back(12);
            i += pound.size() - 1;
            continue;
        }
        const char c = text[i];
        const char upper = char(std::toupper(static_cast<unsigned char>(c)));
        const char* p = c && c != '#' ? std::strchr(charset, upper) : nullptr;
        if (!p) {
            error = text.substr(i, 1);
            return false;
        }
        out.push_back(uint8_t((p - charset) | (c != upper ? 0x80 : 0)));
    }
    return true;
}
