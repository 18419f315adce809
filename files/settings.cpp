// The settings themselves: their live variables, defaults and ranges, and the text
// form of the configuration file. Nothing here touches a file or the machine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "files/config.h"

float opt_emulation_speed = 100;
uint8_t opt_exit_msg = 1, opt_focus_on = 0;
int32_t opt_model_type = 2, opt_M1Not = 32768;
int32_t opt_GDI = 1, opt_DirectDraw = 0, opt_OpenGL = 0, opt_Direct3D = 0;
int32_t opt_draw_mode = 0, opt_draw_size = 1, opt_tstates_per_scanline = 0, opt_colours = 0;
int32_t opt_frameskip = 1;
uint8_t opt_border_size = 0;
int32_t opt_border_left, opt_border_right, opt_border_top, opt_border_bottom;
uint8_t opt_sound = 1;
int32_t opt_snd_volume = 40;
uint8_t opt_stereo = 1;
int32_t opt_freq = 44100;
uint8_t opt_soundbits = 16;
int32_t opt_num_buffers = 8;
int32_t opt_dis_rom, opt_dis_sv;
char opt_current_sna_dir[folder_capacity], opt_current_tap_dir[folder_capacity];

WindowPlacement placement_main_window{400, 400};
int32_t placement_window_size = 1;
WindowPlacement placement_debugger{300, 200}, placement_view_registers{400, 300},
    placement_view_memory{200, 200}, placement_edit_memory{300, 300},
    placement_view_disassembly{600, 200}, placement_calculator{400, 400},
    placement_system_variables{300, 200}, placement_tape_browser{300, 300},
    placement_wav_browser{300, 300};

ConfigRecord config_staging;
ConfigRecord config_saved;

std::string program_folder;
std::string user_folder;

char path_separator()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string path_join(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + path_separator() + name;
}

namespace {

// Section numbers, and their names as they stand between the brackets.
enum Section { emulation, hardware, display, sound, debugger, folders, window_placements, end, no_section };
const char* const section_names[] = {"Emulation", "Hardware", "Display", "Sound",
                                     "Debugger", "Folders", "Window Placements", "End"};

enum class Store : uint8_t { real, byte, word, text };
constexpr Store store_of(const float&) { return Store::real; }
constexpr Store store_of(const uint8_t&) { return Store::byte; }
constexpr Store store_of(const int32_t&) { return Store::word; }
constexpr Store store_of(const char (&)[folder_capacity]) { return Store::text; }

// One setting: where it lives, where its copy sits in a record, and the values it
// may take (a range, or a list of choices; anything else becomes the default).
struct Setting {
    Section section;
    const char* key;
    Store store;
    void* live;
    std::size_t offset;
    int32_t low, high, fallback;
    int32_t choices[3];
};

#define VARIABLE(name) store_of(name), &name, offsetof(ConfigRecord, name)

// In file order.
const Setting settings[] = {
    {emulation, "opt_emulation_speed", VARIABLE(opt_emulation_speed), 10, 1000, 100, {}},
    {emulation, "opt_exit_msg", VARIABLE(opt_exit_msg), 0, 1, 1, {}},
    {emulation, "opt_focus_on", VARIABLE(opt_focus_on), 0, 1, 0, {}},
    {hardware, "opt_model_type", VARIABLE(opt_model_type), 0, 6, 2, {}},
    {hardware, "opt_M1Not", VARIABLE(opt_M1Not), 0, 0, 32768, {32768, 49152}},
    {display, "opt_GDI", VARIABLE(opt_GDI), 0, 1, 1, {}},
    {display, "opt_DirectDraw", VARIABLE(opt_DirectDraw), 0, 1, 0, {}},
    {display, "opt_OpenGL", VARIABLE(opt_OpenGL), 0, 0, 0, {}},  // written as 0, never taken
    {display, "opt_Direct3D", VARIABLE(opt_Direct3D), 0, 1, 0, {}},
    {display, "opt_draw_mode", VARIABLE(opt_draw_mode), 0, 2, 0, {}},
    {display, "opt_draw_size", VARIABLE(opt_draw_size), 1, 3, 1, {}},
    {display, "opt_tstates_per_scanline", VARIABLE(opt_tstates_per_scanline), 0, 1, 0, {}},
    {display, "opt_colours", VARIABLE(opt_colours), 0, 3, 0, {}},
    {display, "opt_frameskip", VARIABLE(opt_frameskip), 1, 11, 1, {}},
    {display, "opt_border_size", VARIABLE(opt_border_size), 0, 3, 0, {}},
    {display, "opt_border_size", VARIABLE(opt_border_left), 0, 74, 0, {}},
    {display, "opt_border_size", VARIABLE(opt_border_right), 0, 54, 0, {}},
    {display, "opt_border_size", VARIABLE(opt_border_top), 0, 58, 0, {}},
    {display, "opt_border_size", VARIABLE(opt_border_bottom), 0, 48, 0, {}},
    {sound, "opt_sound", VARIABLE(opt_sound), 0, 1, 1, {}},
    {sound, "opt_snd_volume", VARIABLE(opt_snd_volume), 0, 100, 40, {}},
    {sound, "opt_stereo", VARIABLE(opt_stereo), 0, 1, 1, {}},
    {sound, "opt_freq", VARIABLE(opt_freq), 0, 0, 44100, {11025, 22050, 44100}},
    {sound, "opt_soundbits", VARIABLE(opt_soundbits), 0, 0, 16, {8, 16}},
    {sound, "opt_num_buffers", VARIABLE(opt_num_buffers), 1, 50, 8, {}},
    {debugger, "opt_dis_rom", VARIABLE(opt_dis_rom), 0, 1, 0, {}},
    {debugger, "opt_dis_sv", VARIABLE(opt_dis_sv), 0, 1, 0, {}},
    {folders, "opt_current_sna_dir", VARIABLE(opt_current_sna_dir), 0, 0, 0, {}},
    {folders, "opt_current_tap_dir", VARIABLE(opt_current_tap_dir), 0, 0, 0, {}},
};

#undef VARIABLE

// The placements in file order, one line per value.
struct Placement {
    const char* key;
    int32_t* value;
    int32_t fallback;
};
const Placement placements[] = {
    {"Main Window", &placement_main_window.left, 400},
    {"Main Window", &placement_main_window.top, 400},
    {"Window Size", &placement_window_size, 1},
    {"Debugger", &placement_debugger.left, 300},
    {"Debugger", &placement_debugger.top, 200},
    {"View Registers", &placement_view_registers.left, 400},
    {"View Registers", &placement_view_registers.top, 300},
    {"View Memory", &placement_view_memory.left, 200},
    {"View Memory", &placement_view_memory.top, 200},
    {"Edit Memory", &placement_edit_memory.left, 300},
    {"Edit Memory", &placement_edit_memory.top, 300},
    {"View Disassembly", &placement_view_disassembly.left, 600},
    {"View Disassembly", &placement_view_disassembly.top, 200},
    {"Calculator", &placement_calculator.left, 400},
    {"Calculator", &placement_calculator.top, 400},
    {"System Variables", &placement_system_variables.left, 300},
    {"System Variables", &placement_system_variables.top, 200},
    {"Tape Browser", &placement_tape_browser.left, 300},
    {"Tape Browser", &placement_tape_browser.top, 300},
    {"WAV Browser", &placement_wav_browser.left, 300},
    {"WAV Browser", &placement_wav_browser.top, 300},
};

// A value brought into the setting's range: clamped to a range, or the default
// when it is not one of the choices.
int32_t fit(const Setting& s, int64_t value)
{
    if (s.choices[0] != 0) {
        for (int32_t c : s.choices)
            if (c != 0 && c == value) return c;
        return s.fallback;
    }
    return int32_t(std::clamp<int64_t>(value, s.low, s.high));
}

void* field(const Setting& s, ConfigRecord& record) { return reinterpret_cast<char*>(&record) + s.offset; }
const void* field(const Setting& s, const ConfigRecord& record)
{
    return reinterpret_cast<const char*>(&record) + s.offset;
}

int64_t number_at(Store store, const void* p)
{
    switch (store) {
    case Store::real: {
        const float v = *static_cast<const float*>(p);
        // Whole percent, truncated; a value that is no number at all counts as 0.
        return std::isfinite(v) ? int64_t(std::clamp(v, -2e9f, 2e9f)) : 0;
    }
    case Store::byte: return *static_cast<const uint8_t*>(p);
    case Store::word: return *static_cast<const int32_t*>(p);
    case Store::text: break;
    }
    return 0;
}

void put_number(Store store, void* p, int32_t v)
{
    switch (store) {
    case Store::real: *static_cast<float*>(p) = float(v); break;
    case Store::byte: *static_cast<uint8_t*>(p) = uint8_t(v); break;
    case Store::word: *static_cast<int32_t*>(p) = v; break;
    case Store::text: break;
    }
}

void put_text(char* to, std::string_view text)
{
    const std::size_t n = std::min(text.size(), folder_capacity - 1);
    std::memcpy(to, text.data(), n);
    to[n] = 0;
}

std::string_view text_at(const void* p)
{
    const char* s = static_cast<const char*>(p);
    return std::string_view(s, strnlen(s, folder_capacity - 1));
}

std::size_t size_of(Store store)
{
    switch (store) {
    case Store::real: return sizeof(float);
    case Store::byte: return sizeof(uint8_t);
    case Store::word: return sizeof(int32_t);
    case Store::text: break;
    }
    return folder_capacity;
}

// Copies one setting between two places; on the way into the live settings a
// number is brought into its range, so nothing downstream meets a value it cannot use.
void copy_setting(const Setting& s, const void* from, void* to, bool bring_into_range)
{
    if (s.store == Store::text)
        put_text(static_cast<char*>(to), text_at(from));
    else if (bring_into_range)
        put_number(s.store, to, fit(s, number_at(s.store, from)));
    else
        std::memcpy(to, from, size_of(s.store));
}

// ---- Reading the text ----

// Hands out the lines of a buffer one at a time, without their CR LF or LF.
struct LineReader {
    const char* at;
    const char* end;

    bool next(std::string_view& line)
    {
        if (at >= end) return false;
        const char* stop = static_cast<const char*>(std::memchr(at, '\n', std::size_t(end - at)));
        const char* after = stop ? stop + 1 : end;
        if (!stop) stop = end;
        if (stop > at && stop[-1] == '\r') --stop;
        line = std::string_view(at, std::size_t(stop - at));
        at = after;
        return true;
    }
};

// The value part of a line: what follows its first "=", or the whole line.
std::string_view value_of(std::string_view line)
{
    const std::size_t eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(eq + 1);
}

// A decimal number with optional blanks and sign before it, read up to the first
// character that is not a digit; false when there is no digit at all. Far too
// large numbers stop growing long before they could overflow.
bool decimal_of(std::string_view text, int64_t& result)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min<int64_t>(v * 10 + (text[i] - '0'), int64_t(1) << 40);
    result = negative ? -v : v;
    return true;
}

Section section_of(std::string_view header)
{
    if (header.size() < 2) return no_section;
    const std::string_view name = header.substr(1, header.size() - 2);
    for (int s = emulation; s <= end; ++s)
        if (name == section_names[s]) return Section(s);
    return no_section;
}

// Reads one section's values in order. False when the text ends first.
bool read_settings(LineReader& lines, Section section)
{
    std::string_view line;
    for (const Setting& s : settings) {
        if (s.section != section) continue;
        if (!lines.next(line)) return false;
        void* to = field(s, config_staging);
        int64_t v;
        if (s.store == Store::text)
            put_text(static_cast<char*>(to), value_of(line));
        else if (decimal_of(value_of(line), v))
            put_number(s.store, to, fit(s, v));
        // A line without a number leaves the value as it was.
    }
    return true;
}

bool read_placements(LineReader& lines)
{
    std::string_view line;
    for (const Placement& p : placements) {
        if (!lines.next(line)) return false;
        int64_t v;
        // Far beyond any screen, but no overflow when the window is placed.
        if (decimal_of(value_of(line), v)) *p.value = int32_t(std::clamp<int64_t>(v, -100000, 100000));
    }
    return true;
}

void append_line(std::string& out, std::string_view text)
{
    out.append(text);
    out.append("\r\n");
}

// A folder read back keeps the blank its line ends in; writing it puts the blank back
// only once, so that a file read and written again stays the same.
std::string_view folder_without_blank(std::string_view folder)
{
    while (!folder.empty() && folder.back() == ' ') folder.remove_suffix(1);
    return folder;
}

void append_number(std::string& out, const char* key, int64_t value)
{
    char line[64];
    std::snprintf(line, sizeof line, "%s=%lld", key, static_cast<long long>(value));
    append_line(out, line);
}

}  // namespace

// ---- Copies ----

void config_apply()
{
    for (const Setting& s : settings) copy_setting(s, field(s, config_staging), s.live, true);
}

void config_snapshot()
{
    for (const Setting& s : settings) copy_setting(s, s.live, field(s, config_saved), false);
}

void config_restore()
{
    for (const Setting& s : settings) copy_setting(s, field(s, config_saved), s.live, false);
}

void settings_to_defaults()
{
    for (const Setting& s : settings)
        if (s.store != Store::text) put_number(s.store, s.live, s.fallback);
    const std::string sep(1, path_separator());
    put_text(opt_current_sna_dir, program_folder + sep + "snapshots" + sep);
    put_text(opt_current_tap_dir, program_folder + sep + "tapes" + sep);
    for (const Placement& p : placements) *p.value = p.fallback;
}

// ---- The text ----

std::string config_text(const ConfigRecord& record)
{
    std::string out;
    out.reserve(2048);
    Section current = no_section;
    for (const Setting& s : settings) {
        if (s.section != current) {
            if (current != no_section) append_line(out, " ");
            current = s.section;
            append_line(out, std::string("[") + section_names[current] + "]");
        }
        const void* from = field(s, record);
        if (s.store == Store::text)
            append_line(out, std::string(s.key) + "=" + std::string(folder_without_blank(text_at(from))) + " ");
        else
            append_number(out, s.key, s.live == &opt_OpenGL ? 0 : number_at(s.store, from));  // no OpenGL output exists
    }
    append_line(out, " ");
    append_line(out, "[Window Placements]");
    for (const Placement& p : placements) append_number(out, p.key, *p.value);
    append_line(out, " ");
    append_line(out, "[End]");
    append_line(out, "-----Nothing Below This Line-----");
    return out;
}

bool parse_config_text(const char* text, std::size_t size)
{
    // A text editor may have put a UTF-8 byte order mark in front.
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        size -= 3;
    }
    LineReader lines{text, text + size};
    std::string_view line;
    bool skipping = false;  // inside a section whose name is not known
    while (lines.next(line)) {
        if (line.empty() || line[0] != '[') {
            if (skipping) continue;
            return false;
        }
        const Section section = section_of(line);
        skipping = section == no_section;
        if (section == end) return true;
        if (skipping) continue;
        const bool whole = section == window_placements ? read_placements(lines) : read_settings(lines, section);
        if (!whole || !lines.next(line)) return false;  // the blank line after the values
    }
    return false;
}
