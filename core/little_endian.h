// Little-endian fields of the file formats the program writes (BMP, WAV).
#pragma once
#include <cstdint>

inline void put16(uint8_t* at, uint32_t v)
{
    at[0] = uint8_t(v);
    at[1] = uint8_t(v >> 8);
}

inline void put32(uint8_t* at, uint32_t v)
{
    put16(at, v);
    put16(at + 2, v >> 16);
}
