// The program image and the extension table: plain data, no files and no machine.
#include <algorithm>
#include <cstring>

#include "files/program_file.h"
#include "shell/errors.h"

std::vector<uint8_t> program_image;
uint32_t program_image_length;

const uint8_t load_trap_patch[5] = {0xED, 0xFC, 0xC3, 0x07, 0x02};

// Searched in this order; there is no upper-case ".81" to add.
const ProgramExtension program_extensions[3] = {
    {program_p, ".p", 2},
    {program_p, ".P", 2},
    {program_81, ".81", 3},
};

ProgramKind program_kind_by_ending(const std::string& name)
{
    for (const ProgramExtension& e : program_extensions)
        if (name.size() >= e.length && name.compare(name.size() - e.length, e.length, e.extension) == 0)
            return e.kind;
    return program_unknown;
}

ProgramKind program_kind_by_extension(const std::string& extension)
{
    for (const ProgramExtension& e : program_extensions)
        if (extension.compare(0, e.length, e.extension) == 0) return e.kind;
    return program_unknown;
}

const char* program_type_text(ProgramKind kind)
{
    return kind == program_p ? "P File" : kind == program_81 ? "81 File" : "";
}

int take_program_image(const uint8_t* file_bytes, std::size_t file_length)
{
    // The file's last byte is not part of the image; an image must fit below 0x10000.
    if (file_length < 2 || file_length - 1 > longest_program_image) return error_tape_length;
    program_image.assign(file_bytes, file_bytes + (file_length - 1));
    program_image_length = uint32_t(file_length - 1);
    return 0;
}

void copy_program_image(uint8_t* memory_image)
{
    const uint32_t n = std::min<uint32_t>(program_image_length, uint32_t(program_image.size()));
    if (n) std::memcpy(memory_image + program_load_address, program_image.data(), n);
}
