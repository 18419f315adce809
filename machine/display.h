// The ZX81 picture: the display hardware that turns opcode fetches from the
// display file into pixels, the HSYNC and NMI generators, vertical sync, and the
// gathering of pixels into scanlines and of scanlines into frames.
#pragma once
#include <cstdint>

constexpr int frame_buffer_width = 520;   // pitch in pixels
constexpr int frame_buffer_height = 380;
constexpr int visible_width = 384;
constexpr int visible_height = 296;
// Written by store_scanline alone, which leaves a line be when it already holds what it
// would be given; display_init forgets what the lines hold.
extern uint32_t frame_buffer[frame_buffer_width * frame_buffer_height];

// The two colours of the picture: black and the colour chosen by opt_colours.
constexpr uint32_t black_colour = 0x000000;
extern uint32_t picture_colour;
extern const uint32_t picture_colours[4];

// Options sliders, -50..50 and -400..400; not kept in the configuration.
extern int vertical_hold;
extern int horizontal_hold;
// Derived from the holds when the options are applied.
extern int earliest_frame_end;   // scanline past which a vertical sync ends a frame
extern int forced_frame_end;     // scanline at which the frame ends whatever the sync
extern int new_line_column;      // column past which a line end starts a new buffer line
extern int line_wrap_limit;      // last column written on a frame-buffer line

// Display state (NMI generator: nmi_generator_on of the machine state).
extern int hsync_generator_on;   // 0: stopped by an IN from 0xFE, vertical sync level
extern int row_counter;          // line within the character row, 0..7
extern uint16_t scanline;        // current line of the frame buffer
extern uint16_t column;          // current column of the frame buffer
extern uint32_t shift_register;  // pixel shown is bit 15
extern uint32_t inverse_register;
extern int sync_length;          // T-states of the current sync pulse, 0 for none
extern uint32_t overrun;         // T-states past the HSYNC point, drawn at the next line start
// line_end_stopped: a breakpoint stopped the machine inside the line (carried on later).
enum LineEnd { line_end_none = 0, line_end_hsync = 1, line_end_vsync = 2, line_end_stopped = 3 };
extern int line_end;

constexpr int scanline_capacity = 1000;
constexpr int scanline_stop = 420;        // run_scanline returns once this many pixels are in
constexpr int longest_scanline = 414;     // 2 x 207: a line ended by HSYNC is cut to this
constexpr int scanline_slack = 64 - scanline_capacity % 64;  // room for a last word of 64 pixels drawn whole
// Written only by run_scanline, which keeps what it drew there for the next line.
extern uint32_t scanline_pixels[scanline_capacity + scanline_slack];
extern int pixel_count;

// Start-up state of the display; nothing else ever resets it.
void display_init();
// Picture colour from opt_colours; an unknown value keeps the present colour.
void set_palette();
// Frame end limits and new-line column from the two holds.
void apply_display_holds();

// Runs instructions until the current scanline ends or holds scanline_stop pixels.
void run_scanline();
// Copies the scanline into the frame buffer; at a frame end, has the frame drawn.
void store_scanline();
// What the last instruction's port access (port_event) means to the sync generators:
// the NMI generator on or off, the HSYNC generator stopped for a vertical sync or
// started again. The display loop does this after each instruction, the debugger's
// stepping after each step.
void follow_port_event();
