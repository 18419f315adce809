#include "debugger/debugger_text.h"

#include <cstdarg>
#include <cstdio>

#include "core/machine_state.h"
#include "machine/display.h"

namespace {

std::string format(const char* fmt, ...)
{
    char buf[128];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

RegisterPaneLine bytes_line(const uint8_t* image, const char* label, uint16_t value)
{
    return {format(label, value), bytes_beside(image, value), register_bytes_x, register_bytes_column};
}

RegisterPaneLine flags_line(const char* label, const RegPair& af)
{
    return {format(label, af.hi, af.lo), flags_text(af.lo), register_flags_x, register_flags_column};
}

// The left text, then the beside text from its column; the left text's trailing
// spaces give way when it would run past the column.
std::string joined(const RegisterPaneLine& line)
{
    std::string s = line.left;
    while (int(s.size()) > line.beside_column && s.back() == ' ') s.pop_back();
    if (int(s.size()) < line.beside_column) s.resize(line.beside_column, ' ');
    return s + line.beside;
}

}  // namespace

std::string flags_text(uint8_t f)
{
    static const char marks[] = "SZ-H-PNC";
    std::string s;
    for (int bit = 7; bit >= 0; --bit) {
        const char mark = marks[7 - bit];
        s += (mark != '-' && (f >> bit & 1)) ? mark : '-';
        if (bit) s += ' ';
    }
    return s;
}

std::string bytes_beside(const uint8_t* image, uint16_t address)
{
    std::string hex, text;
    for (int i = 0; i < 8; ++i) {
        const uint8_t b = image[uint16_t(address + i)];
        hex += format(" %02X", b);
        text += pane_char(b);
    }
    return hex + "  " + text;
}

std::vector<RegisterPaneLine> register_pane_parts(const uint8_t* image)
{
    const uint16_t ir = uint16_t(z80.i << 8 | r_register());
    return {
        bytes_line(image, "PC  %04X", z80.pc),
        bytes_line(image, "SP  %04X", z80.sp),
        flags_line("AF  %02X%02X  ", z80.af),
        bytes_line(image, "BC  %04X ", z80.bc.w),
        bytes_line(image, "DE  %04X ", z80.de.w),
        bytes_line(image, "HL  %04X ", z80.hl.w),
        bytes_line(image, "IX  %04X ", z80.ix.w),
        bytes_line(image, "IY  %04X ", z80.iy.w),
        flags_line("AF' %02X%02X  ", z80.af_alt),
        bytes_line(image, "BC' %04X ", z80.bc_alt.w),
        bytes_line(image, "DE' %04X ", z80.de_alt.w),
        bytes_line(image, "HL' %04X ", z80.hl_alt.w),
        {format("IR  %04X ", ir), format(" NMI Gen: %d ", nmi_generator_on) + format("HSYNC Gen: %d", hsync_generator_on),
         register_bytes_x, register_bytes_column},
        {"", format("IM %d", z80.im) + (z80.iff1 ? " INTERRUPTS ON " : " INTERRUPTS OFF") +
                 format(" TStates: %d", int(tstates)),
         register_bytes_x, register_bytes_column},
    };
}

std::vector<std::string> register_pane_lines(const uint8_t* image)
{
    std::vector<std::string> lines;
    for (const RegisterPaneLine& line : register_pane_parts(image)) lines.push_back(joined(line));
    return lines;
}
