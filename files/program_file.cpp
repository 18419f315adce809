// Choosing a program file: reading it into the program image and patching the ROM's
// tape-load routine, so that the user's LOAD copies the image into memory.
#include <sys/stat.h>

#include <cstring>

#include "files/config.h"
#include "files/program_file.h"
#include "machine/memory.h"
#include "shell/errors.h"

uint8_t file_loaded;
std::string current_file_name;
std::string current_file_type;
std::string program_dialog_path;

namespace {

constexpr std::size_t longest_name = folder_capacity - 1;

std::string name_of(const std::string& path)
{
    const std::size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? path : path.substr(last + 1);
}

// The extension keeps its dot; a name without a dot has none.
std::string extension_of(const std::string& path)
{
    const std::string name = name_of(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

void remember_folder(const std::string& path)
{
    std::snprintf(opt_current_sna_dir, folder_capacity, "%s", path.c_str());
}

// Opens and reads a file whose kind is already known; reports what goes wrong. A
// folder named like a program cannot be read, on every system alike.
bool read_named_file(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        report_error(error_tape_read);
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        report_error(error_tape_missing);
        return false;
    }
    const bool read = read_program_file(f);
    std::fclose(f);
    return read;
}

}  // namespace

bool read_program_file(std::FILE* file)
{
    // One byte more than the longest usable file tells a file that is too long.
    std::vector<uint8_t> bytes(longest_program_image + 2);
    const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), file);
    const int error = std::ferror(file) ? int(error_tape_read) : take_program_image(bytes.data(), n);
    if (error) {
        report_error(error);
        return false;
    }
    apply_load_trap_patch();
    return true;
}

void apply_load_trap_patch() { std::memcpy(rom_image + load_trap_address, load_trap_patch, sizeof load_trap_patch); }

unsigned load_trap_count;

void load_trap()
{
    copy_program_image(memory);
    ++load_trap_count;
}

bool load_program_from_path(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    const ProgramKind kind = program_kind_by_ending(path);
    const bool read = kind != program_unknown && read_program_file(f);
    std::fclose(f);
    if (!read) return false;
    program_dialog_path = path.substr(0, longest_name);
    current_file_type = program_type_text(kind);
    return true;
}

bool load_chosen_program(const std::string& path)
{
    remember_folder(path);
    const std::string name = name_of(path);
    const ProgramKind kind = program_kind_by_ending(name);
    if (kind == program_unknown || !read_named_file(path)) return false;
    program_dialog_path = path.substr(0, longest_name);
    current_file_name = name.substr(0, longest_name);
    current_file_type = program_type_text(kind);
    file_loaded = 1;
    return true;
}

bool load_dropped_program(const std::string& path)
{
    remember_folder(path);
    const ProgramKind kind = program_kind_by_extension(extension_of(path));
    if (kind == program_unknown) {
        report_error(error_tape_extension);
        return false;
    }
    if (!read_named_file(path)) return false;
    current_file_name = path.substr(0, longest_name);
    current_file_type = program_type_text(kind);
    return true;
}
