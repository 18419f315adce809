#include "debugger/disassemble_file.h"

#include <algorithm>
#include <cstdio>

#include "core/host.h"
#include "debugger/listing.h"
#include "debugger/memory_tools.h"

long disassemble_to_file(const std::string& path, const char* start_text, const char* end_text,
                         const DisasmStyle& style)
{
    FILE* file = std::fopen(path.c_str(), "a+");
    if (!file) {
        host_message("ERROR", "Cannot Open File");
        return -1;
    }
    long start = 0, end = 0, lines = 0;
    if (parse_address_text(start_text, start) && parse_address_text(end_text, end))
        lines = std::max(0L, disassemble_range(file, page_map_byte, start, end, style));
    std::fclose(file);
    return lines;
}
