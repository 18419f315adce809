// Disassemble to File: the listing of a range of memory appended to a text file.
#pragma once
#include <string>

#include "debugger/disassembler.h"

// Opens the file for appending (creating it when missing); when it cannot be opened
// the "Cannot Open File" message is shown, nothing is written and -1 returned.
// Then reads start and end as typed ("#" or "$" hexadecimal, otherwise decimal); a
// start or end that is not a number, above 65535, or an end below start - 1 ends
// the command with nothing written and returns 0. Otherwise writes one line per
// instruction from start to end, reading memory through the page map, and returns
// the number of lines. The file is closed in every case.
long disassemble_to_file(const std::string& path, const char* start_text, const char* end_text,
                         const DisasmStyle& style);
