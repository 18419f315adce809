// Whole files in and out, for the tests of what the program reads and writes.
#pragma once
#include <cstdio>
#include <string>

inline std::string read_whole_file(const std::string& path)
{
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char block[4096];
        size_t n;
        while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.append(block, n);
        std::fclose(f);
    }
    return bytes;
}

inline void write_whole_file(const std::string& path, const std::string& bytes)
{
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}
