#include "machine/display.h"

#include <algorithm>
#include <cstring>

#include "bus.h"
#include "core/frame_loop.h"
#include "core/host.h"
#include "core/z80.h"
#include "core/z80_step.h"
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

uint8_t per_instruction_duties;
uint8_t fetch_runs_barred;

namespace {

constexpr int hsync_pulse_length = 10;
constexpr int minimum_sync = 10;
constexpr int vsync_minimum = 290;

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

// The line is gathered as bits, one per pixel, 1 for black: pixel i is bit
// 63 - i % 64 of word i / 64. An instruction shows bits 15..0 of the shift
// register (XOR the inverse register) on its first sixteen pixels and the picture
// colour after them, since only zeros are shifted in; while the HSYNC generator is
// stopped all its pixels are black. The bits become pixels once the line ends.
constexpr int line_words = scanline_capacity / 64 + 2;  // and a word for the spill past the last
uint64_t line_bits[line_words];

void start_line()
{
    pixel_count = 0;
    std::memset(line_bits, 0, sizeof line_bits);
}

// Ors the bits of v, first pixel in bit 63, into the line from pixel p on.
inline void put_bits(uint64_t v, int p)
{
    const int offset = p & 63;
    line_bits[p >> 6] |= v >> offset;
    if (offset) line_bits[(p >> 6) + 1] |= v << (64 - offset);
}

void put_black(int p, int count)
{
    for (; count > 0; count -= 48, p += 48) put_bits(~0ull << (64 - std::min(count, 48)), p);
}

// Two pixels per T-state out of the shift register.
inline void emit_pixels(int count)
{
    count = std::min(count, scanline_capacity - pixel_count);
    if ((shift_register | inverse_register) == 0 && hsync_generator_on) {
        pixel_count += count;  // the usual case outside the display file: picture colour only
        return;
    }
    if (!hsync_generator_on) {
        put_black(pixel_count, count);
    } else if (const uint32_t shown = (shift_register ^ inverse_register) & 0xFFFF) {
        const uint64_t bits = uint64_t(shown) << 48;
        put_bits(count < 16 ? bits & ~(~0ull >> count) : bits, pixel_count);
    }
    pixel_count += count;
    if ((shift_register | inverse_register) == 0) return;  // usual outside the display file
    shift_register = count < 32 ? shift_register << count : 0;
    inverse_register = count < 32 ? inverse_register << count : 0;
}

// The line's bits as pixels in the scanline buffer, a word of 64 at a time (the
// last word may run into the buffer's slack). A word drawn for an earlier line in
// the same colour is there already: most lines repeat the one before.
uint64_t drawn_bits[line_words];
int drawn_words;
uint32_t drawn_colour;

void draw_line()
{
    if (drawn_colour != picture_colour) drawn_words = 0;
    drawn_colour = picture_colour;
    const int words = (pixel_count + 63) / 64;
    for (int w = 0; w < words; ++w) {
        const uint64_t bits = line_bits[w];
        if (w < drawn_words && drawn_bits[w] == bits) continue;
        drawn_bits[w] = bits;
        uint32_t* out = scanline_pixels + w * 64;
        for (int k = 0; k < 8; ++k)
            std::memcpy(out + k * 8, byte_pixels[(bits >> (56 - 8 * k)) & 0xFF], sizeof byte_pixels[0]);
    }
    drawn_words = std::max(drawn_words, words);
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
BUS_ACCESS void pass_hsync_point()
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

// Two kinds of instruction are only an opcode fetch: a HALT repeat, and the NOP
// that a display fetch of a character puts in place of the display-file byte
// (the byte is read and the pattern latched, nothing else). Each takes 4 T-states,
// steps R and shows eight pixels. Runs of them are done here without the
// instruction machinery, with exactly what the ordinary loop would do. A run stops
// before an instruction that is not of the kind, crosses the HSYNC point, is
// followed by an interrupt or starts with the line full, and leaves it to the
// ordinary loop. Only where no hi-res card watches the fetches and no debugger
// duty follows each instruction.

// The pixel registers and the line position during a run.
struct RunPixels {
    uint32_t shift, inverse;
    int position;
    bool picture_level;

    // Eight pixels: bits 15..8 of the registers, or black at the sync level.
    void step()
    {
        const uint32_t shown = picture_level ? ((shift ^ inverse) >> 8) & 0xFF : 0xFF;
        if (shown) put_bits(uint64_t(shown) << 56, position);
        position += 8;
        shift <<= 8;
        inverse <<= 8;
    }
};

// Steps until the first after which bit 6 of R is 0 (the INT line), counting it.
int steps_to_int_line(uint8_t r)
{
    const uint8_t next = (r + 1) & 0x7F;
    return (next & 0x40) ? 1 + (0x80 - next) : 1;
}

// Character fetches from PC on, at most `room`; returns how many. The run keeps
// within PC's 8K bank (0xC000, where the display address folds down, is a bank
// boundary), so the display bytes lie side by side below the RAM top. With a plain
// character row (see plain_character_row) the patterns are read from it directly.
template <bool PlainRow>
BUS_ACCESS int run_character_fetches(int room, RunPixels& pixels, const uint8_t* character_row)
{
    const uint16_t pc = z80.pc;  // at or above the display-fetch threshold
    const uint16_t start = display_fetch_address(pc);
    if (start >= ram_top) return 0;  // the folded RAM above the top: the ordinary loop reads it
    room = std::min({room, 0x2000 - (pc & 0x1FFF), int(ram_top - start)});
    const uint8_t* const display = bank[start >> 13] + (start & 0x1FFF);
    int steps = 0;
    for (; steps < room; ++steps) {
        const uint8_t b = display[steps];
        if (b & 0x40) break;  // executed as it stands
        pixels.shift |= PlainRow ? character_row[(b & 0x3F) * 8] : character_pattern(b);
        if (b & 0x80) pixels.inverse |= 0xFF;
        pixels.step();
    }
    z80.pc = uint16_t(pc + steps);
    return steps;
}

// Inlined into both forms of the display loop.
BUS_ACCESS void run_fetch_only_instructions()
{
    const bool halted = z80.halted;
    if (!halted && z80.pc < display_fetch_threshold()) return;  // the usual case: an ordinary fetch
    if (fetch_runs_barred || hires_card != hires_none) return;
    if (halted && !fetch_is_plain_halt(z80.pc)) return;
    if (int_pending && z80.iff1) return;  // the next instruction is followed by the interrupt
    // Steps before the line fills, the HSYNC point is reached or the interrupt comes.
    int room = std::min((scanline_stop - pixel_count + 7) / 8, line_tstates_left / 4);
    if (z80.iff1) room = std::min(room, steps_to_int_line(z80.r));
    if (room <= 0) return;

    RunPixels pixels{shift_register, inverse_register, pixel_count, hsync_generator_on != 0};
    int steps = 0;
    if (halted) {
        // Once the registers are empty at the picture level the rest shows nothing.
        for (; steps < room && (pixels.shift | pixels.inverse | !pixels.picture_level); ++steps) pixels.step();
        pixels.position += 8 * (room - steps);
        steps = room;
    } else {
        const uint8_t* const row = plain_character_row();
        steps = row ? run_character_fetches<true>(room, pixels, row) : run_character_fetches<false>(room, pixels, row);
        if (steps == 0) return;
    }
    port_event = port_event_none;
    sound_advance_repeated(4, steps);  // the sound inputs stand still during the run
    tstates += 4 * steps;
    instr_start_tstates = tstates - 4;
    z80.r = (z80.r + steps) & 0x7F;
    int_pending = !(z80.r & 0x40);  // with interrupts disabled the acceptance only clears it
    shift_register = pixels.shift;
    inverse_register = pixels.inverse;
    pixel_count = pixels.position;
    line_tstates_left -= 4 * steps;
    if (!hsync_generator_on) sync_length += 4 * steps;
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

namespace {

// The instructions of a line. Whether the debugger has per-instruction duties is
// asked once a line, so that without them the loop pays nothing for them.
template <bool Duties>
void run_line_instructions()
{
    while (line_end == line_end_none && pixel_count < scanline_stop) {
        run_fetch_only_instructions();
        if (pixel_count >= scanline_stop) break;
        port_event = port_event_none;
        if (!Duties) run_instruction_through(z80_main_dispatch);
        else if (execute_instruction_inline()) line_end = line_end_stopped;  // a breakpoint stops the machine
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
}

// Out of line, so that the usual loop, inlined below, stays as small as it was.
__attribute__((noinline)) void run_line_instructions_with_duties() { run_line_instructions<true>(); }

}  // namespace

void run_scanline()
{
    if (scanline_cut_short) scanline_cut_short = false;  // carry on the line a breakpoint stopped
    else start_line();
    if (line_end != line_end_none) {
        // The last instruction's T-states past the HSYNC point, in the level colour.
        pixel_count = int(std::min<uint32_t>(2 * overrun, scanline_capacity));
        if (!hsync_generator_on) put_black(0, pixel_count);
        overrun = 0;
        line_end = line_end_none;
        sync_length = 0;
        if (pixel_count >= scanline_stop) {
            draw_line();
            return;
        }
    }

    if (per_instruction_duties) run_line_instructions_with_duties();
    else run_line_instructions<false>();
    if (line_end == line_end_stopped) {
        line_end = line_end_none;
        scanline_cut_short = true;
        return;
    }
    if (line_end == line_end_vsync) line_tstates_left = tstates_per_line;  // the line timer restarts
    draw_line();
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
