// Screenshots as BMP files: 32 bits per pixel, uncompressed, rows stored bottom-up,
// each pixel as blue, green, red and a fourth byte.
#pragma once
#include <cstdint>

constexpr int bmp_header_size = 54;  // 14-byte file header and 40-byte information header
constexpr int bmp_largest_side = 16384;

// The two headers of a width x height picture.
void bmp_header(uint8_t header[bmp_header_size], int width, int height);

// Writes the width x height rectangle at (left, top) of a picture of 0x00RRGGBB pixels
// with the given pitch, every pixel repeated scale times across and down. False when
// the size is unusable or the file cannot be written.
bool write_bmp(const char* path, const uint32_t* pixels, int pitch, int left, int top, int width,
               int height, int scale = 1);
