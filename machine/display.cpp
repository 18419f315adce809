#include "machine/display.h"

#include <algorithm>
#include <cstring>

#include "bus.h"
#include "core/frame_loop.h"
#include "core/host.h"
#include "core/z80.h"
#include "core/z80_batch.h"
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
// Words of line_bits that may hold a 1: those after them are 0. Most lines are blank or
// nearly so, and the line's comparisons and clearing stop there.
int line_words_used;

void start_line()
{
    pixel_count = 0;
    std::fill(line_bits, line_bits + line_words_used, 0);
    line_words_used = 0;
}

// Ors the bits of v, first pixel in bit 63, into the line from pixel p on.
inline void put_bits(uint64_t v, int p)
{
    const int word = p >> 6, offset = p & 63;
    line_bits[word] |= v >> offset;
    if (offset) line_bits[word + 1] |= v << (64 - offset);
    line_words_used = std::max(line_words_used, word + 2);
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
// the same colour is there already: most lines repeat the one before. Of the drawn
// words, those from drawn_words_used on are 0.
uint64_t drawn_bits[line_words];
int drawn_words, drawn_words_used;
uint32_t drawn_colour;

void redraw_line()
{
    if (drawn_colour != picture_colour) drawn_words = drawn_words_used = 0;
    drawn_colour = picture_colour;
    const int words = (pixel_count + 63) / 64;
    if (words <= drawn_words) {  // the usual case: the line before had the same bits
        const int compared = std::min(words, std::max(line_words_used, drawn_words_used));
        uint64_t differ = 0;
        for (int w = 0; w < compared; ++w) differ |= drawn_bits[w] ^ line_bits[w];
        if (!differ) return;
    }
    for (int w = 0; w < words; ++w) {
        const uint64_t bits = line_bits[w];
        if (w < drawn_words && drawn_bits[w] == bits) continue;
        drawn_bits[w] = bits;
        uint32_t* out = scanline_pixels + w * 64;
        for (int k = 0; k < 8; ++k)
            std::memcpy(out + k * 8, byte_pixels[(bits >> (56 - 8 * k)) & 0xFF], sizeof byte_pixels[0]);
    }
    drawn_words_used = std::max(std::min(line_words_used, words), drawn_words_used > words ? drawn_words_used : 0);
    drawn_words = std::max(drawn_words, words);
}

// Most lines are blank after a blank line: then only the test is made here.
inline void draw_line()
{
    const bool blank_again = (line_words_used | drawn_words_used) == 0 && drawn_colour == picture_colour &&
                             (pixel_count + 63) / 64 <= drawn_words;
    if (!blank_again) redraw_line();
}

// What the instruction's port access means to the line being drawn: an OUT ends a
// vertical sync, and with it the line.
void act_on_port_event()
{
    follow_port_event();
    if (port_event != port_event_in_fe && sync_length != 0) line_end = line_end_vsync;
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

// Two kinds of instruction are only an opcode fetch: a HALT repeat, and the NOP
// that a display fetch of a character puts in place of the display-file byte
// (the byte is read and the pattern latched, nothing else). Each takes 4 T-states,
// steps R and shows eight pixels. Runs of them are done here without the
// instruction machinery, with exactly what the ordinary loop would do. A run stops
// before an instruction that is not of the kind, crosses the HSYNC point, is
// followed by an interrupt or starts with the line full, and leaves it to the
// ordinary loop. Only where no hi-res card watches the fetches and the debugger
// need not see each of them (fetch_runs_barred).

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

// The byte a character puts into the shift register XOR the inverse register.
inline uint32_t character_byte(uint8_t b, const uint8_t* character_row)
{
    return character_row[(b & 0x3F) * 8] ^ (-uint32_t(b >> 7) & 0xFF);
}

// The bytes of eight characters (as read into `eight` on a little-endian host), the
// first highest. Stretches of one character, mostly spaces, are common enough to be
// worth their own way; otherwise the inverse bits are applied to all eight at once.
constexpr uint64_t each_byte = 0x0101010101010101ull;

inline uint64_t eight_character_bytes(uint64_t eight, const uint8_t* display, const uint8_t* character_row)
{
    if (eight == (eight & 0xFF) * each_byte) return character_byte(uint8_t(eight), character_row) * each_byte;
    uint64_t bytes = 0;
    for (int k = 0; k < 8; ++k) bytes = bytes << 8 | character_row[(display[k] & 0x3F) * 8];
    return bytes ^ __builtin_bswap64(((eight >> 7) & each_byte) * 0xFF);
}

// Blocks of eight display bytes like `eight` from display on, within room, after one
// whose bytes are all the same: each shows those bytes again on the next 64 pixels
// and leaves the run's word as it was. Returns the display bytes taken.
int blocks_alike(const uint8_t* display, int room, uint64_t eight, uint64_t bytes, RunPixels& pixels)
{
    int steps = 0;
    for (uint64_t next; steps + 8 <= room && (std::memcpy(&next, display + steps, 8), next == eight); steps += 8) {
        if (bytes) put_bits(bytes, pixels.position);
        pixels.position += 64;
    }
    return steps;
}

// A run of character fetches at the picture level with a plain character row, from
// registers whose low bytes are clear. Step k shows bits 15..8 of shift XOR inverse:
// the first step what the registers held, each later one the byte of the character
// before it; the last character's byte stays in the registers for the next
// instruction. The bytes are gathered eight to a word, and eight characters at a time
// where none of them has bit 6 set.
int plain_character_run(const uint8_t* display, int room, RunPixels& pixels, const uint8_t* row)
{
    uint64_t word = ((pixels.shift ^ pixels.inverse) >> 8) & 0xFF;  // the latest byte lowest
    int in_word = 1, steps = 0;
    auto flush = [&] {
        if (word) put_bits(word, pixels.position);
        pixels.position += 64;
        word = 0;
        in_word = 0;
    };
    while (steps < room) {
        uint64_t eight;
        if (steps + 8 <= room && (std::memcpy(&eight, display + steps, 8), !(eight & 0x4040404040404040ull))) {
            // Eight characters: they complete the word under way and start the next.
            const uint64_t bytes = eight_character_bytes(eight, display + steps, row);
            if (in_word == 8) flush();
            if (in_word == 0) {
                word = bytes;  // the last byte must stay out of the words put so far
                in_word = 8;
            } else {
                word = word << (8 * (8 - in_word)) | bytes >> (8 * in_word);
                const int left = in_word;
                flush();
                word = bytes & (~0ull >> (64 - 8 * left));
                in_word = left;
            }
            steps += 8;
            if (bytes == (bytes & 0xFF) * each_byte) steps += blocks_alike(display + steps, room - steps, eight, bytes, pixels);
            continue;
        }
        const uint8_t b = display[steps];
        if (b & 0x40) break;  // executed as it stands
        if (in_word == 8) flush();
        word = word << 8 | character_byte(b, row);
        ++in_word;
        ++steps;
    }
    if (steps == 0) return 0;
    // The last byte is not shown yet.
    word >>= 8;
    --in_word;
    if (in_word) {
        if (word) put_bits(word << (64 - 8 * in_word), pixels.position);
        pixels.position += 8 * in_word;
    }
    // Of 32-bit registers shifted a byte per step, only the last three characters'
    // bytes remain, and what they held before when the run is shorter than four.
    uint32_t shift = steps < 4 ? pixels.shift : 0;
    uint32_t inverse = steps < 4 ? pixels.inverse : 0;
    for (int k = std::max(0, steps - 3); k < steps; ++k) {
        const uint8_t b = display[k];
        shift = (shift | row[(b & 0x3F) * 8]) << 8;
        inverse = (inverse | (-uint32_t(b >> 7) & 0xFF)) << 8;
    }
    pixels.shift = shift;
    pixels.inverse = inverse;
    return steps;
}

// Character fetches from PC on, at most `room`; returns how many. The run keeps
// within PC's 8K bank (0xC000, where the display address folds down, is a bank
// boundary), so the display bytes lie side by side below the RAM top. With a plain
// character row (see plain_character_row) the patterns are read from it directly.
template <bool PlainRow>
int run_character_fetches(int room, RunPixels& pixels, const uint8_t* character_row)
{
    const uint16_t pc = z80.pc;  // at or above the display-fetch threshold
    const uint16_t start = display_fetch_address(pc);
    if (start >= ram_top) return 0;  // the folded RAM above the top: the ordinary loop reads it
    room = std::min({room, 0x2000 - (pc & 0x1FFF), int(ram_top - start)});
    const uint8_t* const display = bank[start >> 13] + (start & 0x1FFF);
    int steps = 0;
    if (PlainRow && pixels.picture_level && !((pixels.shift | pixels.inverse) & 0xFF)) {
        steps = plain_character_run(display, room, pixels, character_row);
    } else {
        for (; steps < room; ++steps) {
            const uint8_t b = display[steps];
            if (b & 0x40) break;  // executed as it stands
            pixels.shift |= PlainRow ? character_row[(b & 0x3F) * 8] : character_pattern(b);
            if (b & 0x80) pixels.inverse |= 0xFF;
            pixels.step();
        }
    }
    z80.pc = uint16_t(pc + steps);
    return steps;
}

// One batch of instructions that only fetch: a row of characters and its HALT, or
// steps halted at a HALT. True when it left the CPU halted at the row's HALT.
Z80_INLINE bool run_fetch_only_batch()
{
    const bool halted = z80.halted;
    if (!halted && z80.pc < display_fetch_threshold()) return false;  // the usual case: an ordinary fetch
    if (fetch_runs_barred || hires_card != hires_none) return false;
    if (halted && !fetch_is_plain_halt(z80.pc)) return false;
    if (int_pending && z80.iff1) return false;  // the next instruction is followed by the interrupt
    // Steps before the line fills, the HSYNC point is reached or the interrupt comes.
    int room = std::min((scanline_stop - pixel_count + 7) / 8, line_tstates_left / 4);
    if (z80.iff1) room = std::min(room, steps_to_int_line(z80.r));
    if (room <= 0) return false;

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
        // The HALT that ends the row only takes time too, and leaves the CPU halted there.
        if (steps < room && fetch_is_plain_halt(z80.pc)) {
            pixels.step();
            ++steps;
            z80.halted = 1;
        }
        if (steps == 0) return false;
    }
    port_event = port_event_none;
    sound_advance_repeated(4, steps);  // the sound inputs stand still during the run
    tstates += 4 * steps;
    instr_start_tstates = tstates - 4;
    z80.r = uint8_t(z80.r + steps);
    int_pending = !(z80.r & 0x40);  // with interrupts disabled the acceptance only clears it
    shift_register = pixels.shift;
    inverse_register = pixels.inverse;
    pixel_count = pixels.position;
    line_tstates_left -= 4 * steps;
    if (!hsync_generator_on) sync_length += 4 * steps;
    return !halted && z80.halted;
}

// The batches from PC: after a row's HALT, the steps halted there.
Z80_INLINE void run_fetch_only_instructions()
{
    while (run_fetch_only_batch()) {
    }
}

// Most instructions only take time: no port access, no pattern in the shift register,
// no interrupt taken. For such an instruction the loop below would only add its
// T-states to the sound, the pixel count (picture colour, or black while the vertical
// sync grows) and the line timer, so a run of them is accounted for at once, ending
// before the line timer runs out or the line fills or PC comes within an instruction's
// opcode fetches of the display file (so no quiet instruction fetches a pattern). Only
// where no debugger duty follows each instruction (so no watchpoint is set), no hi-res
// card reads the pixel count and no AY chip is clocked, and no card but RAM takes a
// write.
constexpr uint32_t longest_instruction = 23;  // T-states, DD CB d op
constexpr uint32_t opcode_fetch_reach = 3;    // DD CB d op fetches from PC to PC + 3

// The first PC whose instruction may fetch from the display file.
inline uint32_t quiet_pc_limit() { return display_fetch_threshold() - opcode_fetch_reach; }

bool quiet_running_possible()
{
    if (z80.pc >= quiet_pc_limit()) return false;  // the usual reason: the display file
    if ((per_instruction_duties | hires_card | ay_card) || chr_generator == chr_quicksilva ||
        (shift_register | inverse_register) || (int_pending && z80.iff1))
        return false;
    return fast_mode || (sound_tstates < tstates_per_sample && tstates_per_sample >= longest_instruction);
}

// A run of quiet instructions of `taken` T-states in all.
void account_quiet(uint32_t taken)
{
    sound_advance_steady(taken);
    if (!hsync_generator_on) {  // the vertical sync: black, and the sync grows
        put_black(pixel_count, 2 * int(taken));
        sync_length += int(taken);
    }
    pixel_count += 2 * int(taken);
    line_tstates_left -= int(taken);
    if (line_tstates_left < 0) pass_hsync_point();
}

// Runs instructions while they are quiet, at least one. Returns true when every one has
// been accounted for; false when the last was not quiet, and the caller accounts for it.
// The last instruction of a quiet run was not: the ones before it, `taken` T-states in
// all, are accounted for, their samples before its port access.
void account_quiet_before(uint32_t taken, int level)
{
    const int now = vsync_level;
    vsync_level = level;
    account_quiet(taken);
    vsync_level = now;
}

// One instruction of a quiet run, on either kind of CPU (see quiet_running_possible):
// its opcode fetch is a plain read, and no debugger duty follows.
Z80_INLINE void run_quiet_one(Z80Registers&)
{
    z80ops::count_refresh(z80);
    z80_main_table[paged_byte(uint16_t(z80ops::take_pc<1>(z80)))]();
}
Z80_INLINE void run_quiet_one(Z80Locals& c) { z80ops::run_one(c); }

// Where a quiet run stops, and what it leaves for the caller.
struct QuietRun {
    uint32_t end;       // the T-state it stops at or after
    uint32_t pc_limit;  // the PC it stops at or above
    uint32_t int_line;  // bit 6 of R after the last instruction (clear: INT requested)
    uint32_t before;    // when the last instruction began
};

// Runs instructions while they are quiet, at least one. Returns true when every one
// was; false when the last was not (the caller accounts for it).
template <class Cpu>
Z80_INLINE bool quiet_loop(Cpu& c, QuietRun& run)
{
    for (;;) {
        run.before = z80ops::tstate_count(c);
        run_quiet_one(c);
        // An interrupt to take (EI may just have enabled it) is not quiet; with
        // interrupts disabled the request only lapses, as in the ordinary loop.
        const bool take_interrupt = !(run.int_line & 0x40) && c.iff1;
        // A port access and a HALT are rare: one test for both.
        const bool port_or_halt = (port_event | c.halted) != 0;
        if (take_interrupt || (port_or_halt && port_event != port_event_none)) {
            int_pending = take_interrupt;
            return false;
        }
        run.int_line = c.r;  // bit 6 of R drives the INT line
        // HALT repeats and the display file's character fetches run in batches.
        if (port_or_halt || z80ops::tstate_count(c) >= run.end || c.pc >= run.pc_limit) return true;
    }
}

// A long run keeps the registers in locals: one instruction hands its results to the
// next in host registers rather than through memory. Moving them there and back costs
// more than a few instructions gain, so a short run keeps to the record.
constexpr uint32_t long_quiet_run = 64;  // T-states

[[gnu::flatten]] bool quiet_loop_on_locals(QuietRun& run)
{
    Z80Locals c;
    z80ops::copy_registers(c, z80);
    c.tstates = tstates;
    const bool quiet = quiet_loop(c, run);
    z80ops::copy_registers(z80, c);
    tstates = c.tstates;
    return quiet;
}

bool run_quiet_instructions()
{
    port_event = port_event_none;
    // Continue while the line timer stays at 0 or more and the line below its stop.
    const uint32_t budget = uint32_t(std::max(0, std::min(line_tstates_left + 1, (scanline_stop + 1 - pixel_count) / 2)));
    const uint32_t start = tstates;
    const int level = vsync_level;  // the sound input, which only a port access changes
    QuietRun run{start + budget, quiet_pc_limit(), int_pending ? 0x00u : 0x40u, start};
    const bool quiet = budget >= long_quiet_run ? quiet_loop_on_locals(run) : quiet_loop(z80, run);
    if (!quiet) {
        instr_start_tstates = run.before;
        account_quiet_before(run.before - start, level);
        return false;
    }
    int_pending = !(run.int_line & 0x40);
    account_quiet(tstates - start);
    return true;
}

// What each frame-buffer line was last given by copy_scanline: the line's bits, the
// colour, and which of its pixels went where. Most lines get the same pixels at the same
// place frame after frame, and those are not copied again. Nothing else writes the
// frame buffer but blank_rest_of_frame, which forgets what it covers.
struct LineCopy {
    uint64_t bits[line_words];  // 0 from words_used on
    int words_used;
    uint32_t colour;
    int column, from, count;  // count 0: nothing known
};
LineCopy line_copies[frame_buffer_height];

// Copies pixels [from, from + count) of the scanline to the current frame-buffer line at
// the current column, unless that line holds them already.
// Whether the current frame-buffer line holds those pixels already.
inline bool line_holds(int from, int count)
{
    const LineCopy& last = line_copies[scanline];
    if (last.count != count || last.column != column || last.from != from || last.colour != picture_colour) return false;
    uint64_t differ = 0;
    for (int w = 0; w < std::max(last.words_used, line_words_used); ++w) differ |= last.bits[w] ^ line_bits[w];
    return !differ;
}

void copy_to_line(int from, int count)
{
    if (line_holds(from, count)) return;
    LineCopy& last = line_copies[scanline];
    const int compared = std::max(last.words_used, line_words_used);
    std::memcpy(frame_buffer + scanline * frame_buffer_width + column, scanline_pixels + from, sizeof(uint32_t) * count);
    std::copy(line_bits, line_bits + compared, last.bits);
    last.words_used = line_words_used;
    last.colour = picture_colour;
    last.column = column;
    last.from = from;
    last.count = count;
}

void forget_line_copies(int first_line)
{
    for (int y = first_line; y < frame_buffer_height; ++y) line_copies[y].count = 0;
}

// Black from the current position to the end of the visible frame.
void blank_rest_of_frame()
{
    if (scanline >= visible_height) return;
    forget_line_copies(scanline);
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
    if (pixel_count > 0 && column + pixel_count <= line_wrap_limit) {  // the usual case: it fits
        if (!line_holds(0, pixel_count)) copy_to_line(0, pixel_count);
        column = uint16_t(column + pixel_count);
        return;
    }
    int done = 0;
    while (done < pixel_count && scanline < frame_buffer_height) {
        const int room = line_wrap_limit + 1 - column;
        const int n = std::min(room, pixel_count - done);
        if (n > 0) {
            copy_to_line(done, n);
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
    forget_line_copies(0);
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

    while (line_end == line_end_none && pixel_count < scanline_stop) {
        run_fetch_only_instructions();
        if (pixel_count >= scanline_stop) break;
        if (quiet_running_possible()) {
            if (run_quiet_instructions()) continue;
        } else {
            port_event = port_event_none;
            run_instruction_through(z80_dispatch);  // with the debugger's duties while it has any
        }
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
    if (line_end == line_end_stopped) {  // a breakpoint stopped the machine inside the line
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

void follow_port_event()
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
}
