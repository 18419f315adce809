#include "machine/display.h"

#include <algorithm>
#include <cstring>

#include "bus.h"
#include "core/host.h"
#include "core/z80.h"
#include "sound/sound_output.h"

uint32_t frame_buffer[frame_buffer_width * frame_buffer_height];

uint32_t picture_colour = 0xCACACA;
const uint32_t picture_colours[4] = {0xCACACA, 0xFFFFFF, 0x00B500, 0xB68000};

int vertical_hold;
int horizontal_hold;
int earliest_frame_end = 283;
int forced_frame_end = 340;
int new_line_column = 405;
int line_wrap_limit = 2 * 207 + 2;

int hsync_generator_on;
int row_counter;
uint16_t scanline;
uint16_t column;
uint32_t shift_register;
uint32_t inverse_register;
int sync_length;
uint32_t overrun;
int line_end;

uint32_t scanline_pixels[scanline_capacity + scanline_slack];
int pixel_count;

namespace {

constexpr int hsync_pulse_length = 10;
constexpr int minimum_sync = 10;
constexpr int vsync_minimum = 290;

const uint32_t black_pixels[8] = {};

// The hi-res cards' part of a display fetch: the byte to execute, or -1 when the
// card leaves the fetch to the character generator.
int hires_fetch(uint8_t b)
{
    const uint8_t execute = (b & 0x40) ? b : 0x00;
    const bool inverse = b & 0x80;
    // Pseudo hi-res: the pattern address comes from I and the refresh address (R before this fetch).
    const bool pseudo_hires =
        hires_card == hires_wrx || (hires_card == hires_quicksilva && !quicksilva_hires_latch);
    if (pseudo_hires && z80.i >= 0x20 && !(b & 0x40)) {
        const uint8_t refresh = uint8_t(((z80.r - 1) & 0x7F) | (z80.r7 & 0x80));
        return output_pattern(peek_byte(uint16_t(z80.i * 256 + refresh)), inverse);
    }
    if (hires_card == hires_memotech && (z80.i & 1) && memotech_mode != 0) {
        if (execute == 0x76 && pixel_count >= 66) return 0x76;
        if (scanline >= 56 && scanline <= 248) return output_pattern(b, memotech_mode == 3);
        return execute;
    }
    if (hires_card == hires_g007 && (z80.i & 1)) return output_pattern(b, false);
    return -1;
}

// The eight pixels of each shift-register byte in the picture colour, black where
// a bit is 1 (set_palette keeps it in step with the colour).
uint32_t byte_pixels[256][8];

void build_byte_pixels()
{
    for (int v = 0; v < 256; ++v)
        for (int k = 0; k < 8; ++k) byte_pixels[v][k] = (v >> (7 - k)) & 1 ? black_colour : picture_colour;
}

// The line is gathered as runs of pixels and drawn into the scanline buffer when
// the run ends. A run starts with an instruction: its first sixteen pixels show
// bits 15..0 of the shift register (XOR the inverse register), the rest the
// picture colour, since only zeros are shifted in; the black level of a vertical
// sync makes all-black runs. An instruction whose sixteen bits are all zero only
// lengthens the run before it, which already ends in the picture colour.
constexpr uint32_t black_level = 0x10000;
struct PixelRun {
    uint32_t key;  // bits 15..0 to show, or black_level
    int count;
};
constexpr int max_runs = 128;  // a line holds at most 420 / 8 instructions
PixelRun runs[max_runs];
int run_count;

void start_runs()
{
    runs[0] = {0, 0};
    run_count = 1;
}

inline __attribute__((always_inline)) void add_run(uint32_t key, int count)
{
    PixelRun& last = runs[run_count - 1];
    const bool black = key == black_level;
    if ((key & 0xFFFF) == 0 && black == (last.key == black_level)) last.count += count;
    else if (run_count < max_runs) runs[run_count++] = {key, count};
    else last.count += count;
}

// Two pixels per T-state out of the shift register.
inline void emit_pixels(int count)
{
    count = std::min(count, scanline_capacity - pixel_count);
    pixel_count += count;
    add_run(hsync_generator_on ? (shift_register ^ inverse_register) & 0xFFFF : black_level, count);
    shift_register = count < 32 ? shift_register << count : 0;
    inverse_register = count < 32 ? inverse_register << count : 0;
}

// Draws the runs into the scanline buffer, eight pixels at a time: up to seven
// pixels past a run are scribbled over, and overwritten by the next run or left
// in the buffer's slack.
void draw_runs()
{
    uint32_t* out = scanline_pixels;
    for (int i = 0; i < run_count; ++i) {
        const PixelRun run = runs[i];
        if (run.key == black_level) {
            for (int k = 0; k < run.count; k += 8) std::memcpy(out + k, black_pixels, sizeof black_pixels);
        } else {
            std::memcpy(out, byte_pixels[run.key >> 8], sizeof byte_pixels[0]);
            std::memcpy(out + 8, byte_pixels[run.key & 0xFF], sizeof byte_pixels[0]);
            for (int k = 16; k < run.count; k += 8) std::memcpy(out + k, byte_pixels[0], sizeof byte_pixels[0]);
        }
        out += run.count;
    }
}

// What the instruction's port access means to the sync generators.
void act_on_port_event()
{
    if (port_event == port_event_in_fe) {
        if (!nmi_generator_on) hsync_generator_on = 0;  // vertical sync begins
        return;
    }
    if (port_event == port_event_out_fe) nmi_generator_on = 1;
    if (port_event == port_event_out_fd) nmi_generator_on = 0;
    // Every OUT ends a vertical sync.
    if (!hsync_generator_on) row_counter = 0;
    hsync_generator_on = 1;
    if (sync_length != 0) line_end = line_end_vsync;
}

// The line timer ran out: the NMI generator fires, and the HSYNC generator ends the line.
void pass_hsync_point()
{
    if (nmi_generator_on) {
        const int taken = accept_nmi(pixel_count);
        line_tstates_left -= taken;
        tstates += uint32_t(taken);
    }
    overrun = uint32_t(-line_tstates_left);
    if (hsync_generator_on && sync_length == 0) {
        sync_length = hsync_pulse_length;
        line_end = line_end_hsync;
        pixel_count = std::min(pixel_count, longest_scanline);
        row_counter = (row_counter + 1) & 7;
    }
    line_tstates_left += tstates_per_line;
}

// Black from the current position to the end of the visible frame.
void blank_rest_of_frame()
{
    if (scanline >= visible_height) return;
    uint32_t* line = frame_buffer + scanline * frame_buffer_width;
    if (column < visible_width) std::fill(line + column, line + visible_width, black_colour);
    for (int y = scanline + 1; y < visible_height; ++y) {
        uint32_t* row = frame_buffer + y * frame_buffer_width;
        std::fill(row, row + visible_width, black_colour);
    }
}

// Copies the scanline into the frame buffer, wrapping after the line-wrap limit.
void copy_scanline()
{
    int done = 0;
    while (done < pixel_count && scanline < frame_buffer_height) {
        const int room = line_wrap_limit + 1 - column;
        const int n = std::min(room, pixel_count - done);
        if (n > 0) {
            std::memcpy(frame_buffer + scanline * frame_buffer_width + column, scanline_pixels + done,
                        sizeof(uint32_t) * n);
            column = uint16_t(column + n);
            done += n;
        }
        if (column > line_wrap_limit) {
            column = 0;
            if (++scanline == frame_buffer_height) line_end = line_end_hsync;
        }
    }
}

}  // namespace

uint8_t hires_display_fetch(uint8_t b)
{
    const int claimed = hires_fetch(b);
    return claimed >= 0 ? uint8_t(claimed) : character_fetch(b);
}

void display_init()
{
    tstates_per_line = 207;
    line_tstates_left = 207;
    nmi_generator_on = 0;
    hsync_generator_on = 0;
    row_counter = 0;
    scanline = column = 0;
    shift_register = inverse_register = 0;
    sync_length = 0;
    overrun = 0;
    line_end = line_end_none;
    pixel_count = 0;
    vertical_hold = horizontal_hold = 0;
    earliest_frame_end = 283;
    forced_frame_end = 340;
    new_line_column = 405;
    line_wrap_limit = 2 * 207 + 2;
    set_palette();
}

void set_palette()
{
    if (opt_colours >= 0 && opt_colours < 4) picture_colour = picture_colours[opt_colours];
    build_byte_pixels();
}

void apply_display_holds()
{
    earliest_frame_end = 283 + vertical_hold;
    forced_frame_end = 283 + 40 + vertical_hold;
    new_line_column = 405 + horizontal_hold;
}

void run_scanline()
{
    pixel_count = 0;
    start_runs();
    if (line_end != line_end_none) {
        // The last instruction's T-states past the HSYNC point, in the level colour.
        pixel_count = int(std::min<uint32_t>(2 * overrun, scanline_capacity));
        add_run(hsync_generator_on ? 0 : black_level, pixel_count);
        overrun = 0;
        line_end = line_end_none;
        sync_length = 0;
        if (pixel_count >= scanline_stop) {
            draw_runs();
            return;
        }
    }

    while (line_end == line_end_none && pixel_count < scanline_stop) {
        port_event = port_event_none;
        execute_instruction();
        if (int_pending) {
            if (z80.iff1) accept_interrupt();
            else int_pending = 0;  // what the acceptance does with interrupts disabled, without the call
        }
        const int n = int(tstates - instr_start_tstates);
        sound_advance(uint32_t(n));
        emit_pixels(2 * n);
        if (port_event != port_event_none) act_on_port_event();

        line_tstates_left -= n;
        if (!(z80.r & 0x40)) int_pending = 1;  // bit 6 of R drives the INT line
        if (!hsync_generator_on) sync_length += n;
        if (line_tstates_left < 0) pass_hsync_point();
    }
    if (line_end == line_end_vsync) line_tstates_left = tstates_per_line;  // the line timer restarts
    draw_runs();
}

void store_scanline()
{
    if (scanline < frame_buffer_height) copy_scanline();
    if (sync_length < minimum_sync) {
        line_end = line_end_none;
        return;
    }
    if (line_end == line_end_none) return;
    if (column > new_line_column) {
        column = 0;
        ++scanline;
    }
    const bool frame_ends = scanline >= frame_buffer_height || scanline >= forced_frame_end ||
                            (sync_length > vsync_minimum && scanline > earliest_frame_end);
    if (!frame_ends) return;

    blank_rest_of_frame();
    scanline = column = 0;
    host_draw_frame();
}
