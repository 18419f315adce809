// The error reporter: every failure the user is told about is a numbered message
// from one table, shown as "%02X - message" in the "Wren81 Error" box. The caller
// always carries on afterwards.
#pragma once
#include <string>

// Every code raised anywhere; the table in errors.cpp holds each one's text.
enum ErrorCode {
    error_rom_missing = 2,
    error_rom_length = 3,
    error_out_of_memory = 4,
    error_config_corrupt = 6,
    error_breakpoints_full = 7,
    error_tape_missing = 20,
    error_tape_length = 21,
    error_tape_extension = 22,
    error_tape_read = 23,
    error_dd_create = 30,
    error_dd_cooperative_level = 31,
    error_dd_display_mode = 32,
    error_dd_primary_surface = 33,
    error_dd_back_buffer = 34,
    error_dd_back_surface = 37,
    error_dd_create_clipper = 38,
    error_dd_clipper_window = 39,
    error_dd_attach_clipper = 40,
    error_dd_lock = 41,
    error_dd_pixel_format = 42,
    error_dd_blit = 43,
    error_dd_unlock = 44,
    error_d3d_create = 50,
    error_d3d_device = 51,
    error_d3d_texture = 52,
    error_d3d_lock = 53,
    error_d3d_draw = 54,
    error_sound_init = 60,
    error_sound_device = 61,
    error_sound_cooperative = 62,
    error_sound_primary = 63,
    error_sound_secondary = 64,
    error_sound_play = 65,
    error_config_unwritable = 70,
};

// The table's text for a code; empty for codes without an entry.
const char* error_message(int code);
// The code as two upper-case hexadecimal digits, " - ", and the message.
std::string error_text(int code);
// Shows error_text(code) to the user.
void report_error(int code);
