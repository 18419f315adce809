#include "cli/zx81_keys.h"

#include <cctype>
#include <cstdint>
#include <cstring>

#include "bus.h"
#include "machine/keyboard.h"

namespace {

// Named keys written as {NAME}, by the ZX81 code they type; BREAK is SPACE alone.
struct NamedKey {
    const char* name;
    int code;
};
const NamedKey named_keys[] = {
    {"UP", 0x70},   {"DOWN", 0x71},    {"LEFT", 0x72},     {"RIGHT", 0x73},
    {"EDIT", 0x75}, {"RUBOUT", 0x77},  {"GRAPHICS", 0x74}, {"FUNCTION", 0x79},
};

MatrixKey matrix_key(uint8_t key) { return {key >> 3 & 7, key & 7}; }

// The key with this legend, alone or with SHIFT; false when no key has it (SHIFT's
// own legend does not count).
bool legend_stroke(char legend, bool shifted, Keystroke& s)
{
    const uint8_t key = key_for_legend(legend);
    if (!legend || legend == '#' || key == 0xFF) return false;
    s.clear();
    if (shifted) s.push_back(matrix_key(zx_key_shift));
    s.push_back(matrix_key(key));
    return true;
}

// The keys that type ZX81 character `code`, when a key types it.
bool code_stroke(int code, Keystroke& s)
{
    const uint8_t key = key_for_code(code);
    if (!key) return false;
    s.clear();
    if (key & 0x80) s.push_back(matrix_key(zx_key_shift));
    s.push_back(matrix_key(key & 0x7F));
    return true;
}

bool parse_named(const std::string& name, Keystroke& s)
{
    for (const NamedKey& n : named_keys)
        if (name == n.name) return code_stroke(n.code, s);
    if (name == "BREAK") return legend_stroke(' ', false, s);
    if (name.size() == 7 && name.compare(0, 6, "SHIFT+") == 0)
        return legend_stroke(char(std::toupper(static_cast<unsigned char>(name[6]))), true, s);
    return false;
}

// A shifted symbol typed by its own character (the pound sign in UTF-8); n is the
// number of bytes it takes.
bool symbol_stroke(const std::string& text, size_t i, Keystroke& s, size_t& n)
{
    n = 1;
    if (text.compare(i, 2, "\xC2\xA3") == 0) return n = 2, code_stroke(zx81_pound_code, s);
    if (text[i] == ',') return legend_stroke('.', true, s);  // the character keys have no comma
    const char* p = std::strchr(zx81_charset, text[i]);
    return text[i] != '#' && p && code_stroke(int(p - zx81_charset), s);
}

}  // namespace

bool parse_keystrokes(const std::string& text, std::vector<Keystroke>& out, std::string& error)
{
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        Keystroke s;
        size_t n = 1;
        if (c == '{') {
            const size_t end = text.find('}', i);
            if (end == std::string::npos || !parse_named(text.substr(i + 1, end - i - 1), s)) {
                error = text.substr(i, end == std::string::npos ? std::string::npos : end - i + 1);
                return false;
            }
            n = end + 1 - i;
        } else if (c == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            legend_stroke('\n', false, s);
            n = 2;
        } else if (!legend_stroke(char(std::toupper(static_cast<unsigned char>(c))), false, s) &&
                   !symbol_stroke(text, i, s, n)) {
            error = text.substr(i, 1);
            return false;
        }
        out.push_back(s);
        i += n;
    }
    return true;
}

namespace {

std::string char_text(uint8_t code)
{
    if (code == zx81_pound_code) return "\xC2\xA3";
    if (code == 0x80) return "#";         // an inverse space is a solid block
    const char c = zx81_charset[code & 0x3F];
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
    static const std::string pound = char_text(zx81_pound_code);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, pound.size(), pound) == 0) {
            out.push_back(zx81_pound_code);
            i += pound.size() - 1;
            continue;
        }
        const char c = text[i];
        const char upper = char(std::toupper(static_cast<unsigned char>(c)));
        const char* p = c && c != '#' ? std::strchr(zx81_charset, upper) : nullptr;
        if (!p) {
            error = text.substr(i, 1);
            return false;
        }
        out.push_back(uint8_t((p - zx81_charset) | (c != upper ? 0x80 : 0)));
    }
    return true;
}
