#include "shell/errors.h"

#include <cstdio>

#include "core/host.h"

namespace {

// Indexed by code. Groups start at multiples of ten: general, snapshot, tape,
// DirectDraw, Direct3D, DirectSound; then configuration writing and the debugger's Find.
const char* const messages[] = {
    "",
    "Cannot begin EXECUTE_Z80",
    "ROM missing",
    "ROM file incorrect length",
    "Out of memory",
    "Configuration file missing",
    "Configuration file corrupt",
    "Only 256 breakpoints allowed",
    "Not enough memory to create FORTH word list",
    "",
    "Snapshot Error: Cannot load snapshot file",  // 10
    "Snapshot Error: Snapshot file missing",
    "Snapshot Error: Incorrect snapshot length",
    "", "", "", "", "", "", "",
    "Tape Error: Tape file missing",  // 20
    "Tape Error: Tape file incorrect length",
    "Tape Error: unknown extension",
    "Tape Error: Error reading from file",
    "Tape Error: Tape already in deck",
    "Tape Error: No tape in deck",
    "", "", "", "",
    "DirectDraw: Failed to create DirectDraw object",  // 30
    "DirectDraw: Failed to set Cooperative Level for DirectDraw",
    "DirectDraw: Failed to set display mode for DirectDraw",
    "DirectDraw: Failed to create surface for DirectDraw",
    "DirectDraw: Failed to attach backbuffer for DirectDraw",
    "DirectDraw: Failed to create offscreen surface for DirectDraw",
    "DirectDraw: Failed to lock pixels the specified surface",
    "DirectDraw: Failed to create back surface",
    "DirectDraw: Failed to create clipper",
    "DirectDraw: Failed to assign window to clipper",
    "DirectDraw: Failed to attach clipper to primary surface",  // 40
    "DirectDraw: Failed to lock surface",
    "DirectDraw: Failed to get pixel format",
    "DirectDraw: Failed to clear surface",
    "DirectDraw: Failed to unlock surface",
    "", "", "", "", "",
    "Direct3D: Failed to create Direct3D object",  // 50
    "Direct3D: Failed to create Direct3D device",
    "Direct3D: Failed to create Direct3D texture",
    "Direct3D: Failed to lock Direct3D texture",
    "Direct3D: Failed to draw the picture",
    "", "", "", "", "",
    "DirectSound: Failed to initialise sound",  // 60
    "DirectSound: Failed to create Directsound object",
    "DirectSound: Failed to set Cooperative level for DirectSound",
    "DirectSound: Failed to create DirectSound buffer",
    "DirectSound: Failed to create Secondary buffer",
    "DirectSound: Failed to play Secondary buffer",
    "DirectSound: 8 or 16 bit sound not supported",
    "DirectSound: Mono or Stereo sound not supported",
    "", "",
    "Configuration file cannot be written",  // 70
    "", "", "", "", "", "", "", "", "",
    "Find: No match found",  // 80
    "Find: Nothing to search for",
};

constexpr int message_count = int(sizeof messages / sizeof messages[0]);
static_assert(message_count == 82, "one entry per code from 0 to 81");

}  // namespace

const char* error_message(int code)
{
    return code >= 0 && code < message_count ? messages[code] : "";
}

std::string error_text(int code)
{
    char number[16];
    std::snprintf(number, sizeof number, "%02X - ", unsigned(code));
    return number + std::string(error_message(code));
}

void report_error(int code) { host_show_error(error_text(code)); }
