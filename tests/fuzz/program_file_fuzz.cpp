// Any name and any bytes as a program file: the kind lookups and the image must
// stay inside their bounds, and a load never writes outside 0x4009 to 0xFFFF.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "files/program_file.h"

namespace {

void require(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) return 0;
    // Bytes 0 and 1: the file's length (so that lengths near the limit come cheap);
    // byte 2: the length of the name that follows; the rest, repeated, is the file.
    const size_t file_length = data[0] | size_t(data[1]) << 8;
    const size_t name_length = std::min<size_t>(data[2], size - 3);
    const std::string name(reinterpret_cast<const char*>(data + 3), name_length);
    const uint8_t* pattern = data + 3 + name_length;
    const size_t pattern_length = size - 3 - name_length;
    std::vector<uint8_t> file(file_length);
    for (size_t i = 0; pattern_length && i < file_length; ++i) file[i] = pattern[i % pattern_length];

    const ProgramKind by_ending = program_kind_by_ending(name);
    const ProgramKind by_extension = program_kind_by_extension(name);
    require(by_ending >= program_unknown && by_ending <= program_81);
    require(by_extension >= program_unknown && by_extension <= program_81);

    const uint32_t previous_length = program_image_length;
    const int error = take_program_image(file.data(), file_length);
    if (error) {
        require(program_image_length == previous_length);
    } else {
        require(program_image_length == file_length - 1);
    }

    // Exactly 64 KiB, so that the sanitizer sees any write past its end.
    std::unique_ptr<uint8_t[]> memory_image(new uint8_t[0x10000]);
    std::memset(memory_image.get(), 0xA5, 0x10000);
    copy_program_image(memory_image.get());
    for (size_t a = 0; a < program_load_address; ++a) require(memory_image[a] == 0xA5);
    if (!error && file_length > 1) require(std::memcmp(memory_image.get() + program_load_address, file.data(), file_length - 1) == 0);
    return 0;
}
