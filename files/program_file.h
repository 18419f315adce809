// Program files (".p" and ".81"): a ZX81 memory image from 0x4009, held until the
// ROM's LOAD routine reaches the load trap patched into it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr uint16_t program_load_address = 0x4009;  // the first system variable a program file holds
constexpr uint32_t longest_program_image = 0x10000 - program_load_address;  // 49,143 bytes
constexpr uint16_t load_trap_address = 0x0347;     // in the ROM's tape-load routine
extern const uint8_t load_trap_patch[5];           // ED FC (load trap), C3 07 02 (JP 0x0207)

extern std::vector<uint8_t> program_image;  // what the next load trap copies
extern uint32_t program_image_length;       // the file's length less its last byte
extern uint8_t file_loaded;                 // a file was chosen in the Open File dialog
extern std::string current_file_name;       // up to 259 characters
extern std::string current_file_type;       // "P File" or "81 File"
extern std::string program_dialog_path;     // the Open File dialog's path buffer

// Program file kinds, and the extensions that name them (case-sensitive).
enum ProgramKind { program_unknown = 0, program_p = 1, program_81 = 2 };
struct ProgramExtension {
    ProgramKind kind;
    const char* extension;
    std::size_t length;
};
extern const ProgramExtension program_extensions[3];
// The kind of a name whose last characters are a known extension ("GAME.P").
ProgramKind program_kind_by_ending(const std::string& name);
// The kind of an extension whose first characters are a known one (".prg" is a P file).
ProgramKind program_kind_by_extension(const std::string& extension);
const char* program_type_text(ProgramKind kind);

// Takes a whole program file's bytes as the program image. Returns 0, or the error
// code of a file that is empty or too long; then the previous image stays.
int take_program_image(const uint8_t* file_bytes, std::size_t file_length);
// Copies the program image into a 64 KiB memory image from 0x4009.
void copy_program_image(uint8_t* memory_image);

// Reads an opened file into the program image and patches the ROM's tape-load routine.
// A file that is empty, too long or unreadable is reported and changes nothing.
bool read_program_file(std::FILE* file);
void apply_load_trap_patch();
// Called by the CPU on ED FC: the program image goes into memory from 0x4009.
void load_trap();
// How many times the ROM has reached the trap: a load has completed when it moves.
extern unsigned load_trap_count;

// The three ways of choosing a file (the dialog and the drop themselves are the window's).
// A file named on the command line: silent unless the file itself is bad.
bool load_program_from_path(const std::string& path);
// A file chosen in the Open File dialog.
bool load_chosen_program(const std::string& path);
// A file dropped on the main window; an unknown extension is reported.
bool load_dropped_program(const std::string& path);
