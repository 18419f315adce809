#include "debugger/debugger_text.h"

#include <cstdarg>
#include <cstdio>

#include "core/machine_state.h"
#include "debugger/rom_labels.h"
#include "files/config.h"
#include "files/program_file.h"
#include "machine/display.h"
#include "machine/memory.h"

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

// ---- memory pane, code pane, tabs ----

namespace {

// "%04X", three spaces, the bytes in hex, a gap, the bytes as characters.
std::string memory_row(const uint8_t* image, uint32_t address, int bytes, const char* gap)
{
    std::string hex, text;
    for (int i = 0; i < bytes; ++i) {
        const uint8_t b = image[uint16_t(address + i)];
        hex += format("%02X ", b);
        text += pane_char(b);
    }
    return format("%04X   ", unsigned(address & 0xFFFF)) + hex + gap + text;
}

std::vector<std::string> memory_rows(const uint8_t* image, uint32_t start, int rows, int bytes, const char* gap)
{
    std::vector<std::string> out;
    for (int r = 0; r < rows; ++r) out.push_back(memory_row(image, start + uint32_t(r * bytes), bytes, gap));
    return out;
}

}  // namespace

std::vector<std::string> memory_pane_rows(const uint8_t* image, uint32_t start)
{
    return memory_rows(image, start, memory_pane_rows_count, 8, " ");
}

std::vector<std::string> view_memory_rows(const uint8_t* image, uint32_t start)
{
    return memory_rows(image, start, view_memory_rows_count, 16, "  ");
}

std::vector<std::string> code_pane_lines(const Listing* listing, int top_line, uint16_t pc, int& current)
{
    std::vector<std::string> lines;
    current = -1;
    const ListingLine* line = listing ? listing->first : nullptr;
    while (line && line->line_number < top_line) line = line->next;
    for (int i = 0; i < code_pane_lines_count; ++i) {
        std::string text = line ? std::string(line->text).substr(0, code_pane_width) : "";
        text.resize(code_pane_width, ' ');
        if (line && line->address == pc) current = i;
        lines.push_back(text);
        if (line) line = line->next;
    }
    return lines;
}

std::vector<std::pair<std::string, std::string>> stack_rows(const uint8_t* image, uint16_t sp, uint32_t top)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (uint32_t a = sp; a < top; a += 2)
        rows.emplace_back(format("%04X", a), format("%02X%02X", image[uint16_t(a + 1)], image[a]));
    return rows;
}

std::vector<std::string> info_rows()
{
    return {
        model_status_label(opt_model_type),
        format("%d t_states per frame", int(frame_length)),
        format("%d t_states per scanline", tstates_per_line),
        current_file_name,
        current_file_type,
        program_image_length ? format("%d bytes", int(program_image_length)) : "",
    };
}

std::vector<std::string> internal_rows()
{
    return {
        format("NMI Generator:   %d", nmi_generator_on),
        format("HSYNC Generator: %d", hsync_generator_on),
        format("Row Counter:     %d", row_counter),
        format("Scanline:        %d", int(scanline)),
        format("Shift Register:  %d", int(shift_register)),
    };
}

std::vector<SysvarRow> system_variable_rows(const uint8_t* image)
{
    std::vector<SysvarRow> rows;
    for (const SystemVariable& v : system_variables) {
        std::string value;
        for (int i = 0; i < v.size; ++i) value += format(i ? ", #%02X" : "#%02X", image[v.address + i]);
        rows.push_back({v.name, format("#%04X", v.address), value});
    }
    return rows;
}
