// The error reporter: every failure the user is told about is a numbered message
// from one table, shown as "%02X - message" in the "Wren81 Error" box. The caller
// always carries on afterwards.
#pragma once
#include <string>

// Codes raised by the files and configuration code (the table holds them all).
enum ErrorCode {
    error_rom_missing = 2,
    error_rom_length = 3,
    error_config_corrupt = 6,
    error_tape_missing = 20,
    error_tape_length = 21,
    error_tape_extension = 22,
    error_tape_read = 23,
    error_config_unwritable = 70,
};

// The table's text for a code; empty for codes without an entry.
const char* error_message(int code);
// The code as two upper-case hexadecimal digits, " - ", and the message.
std::string error_text(int code);
// Shows error_text(code) to the user.
void report_error(int code);
