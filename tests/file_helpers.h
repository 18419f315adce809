// Whole files in and out, for the tests of what the program reads and writes.
#pragma once
#include <fstream>
#include <iterator>
#include <string>

inline std::string read_whole_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

inline void write_whole_file(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
