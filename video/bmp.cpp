#include "video/bmp.h"

#include <cstdio>
#include <vector>

#include "core/little_endian.h"

void bmp_header(uint8_t header[bmp_header_size], int width, int height)
{
    const uint32_t image_size = uint32_t(width) * 4 * uint32_t(height);
    for (int i = 0; i < bmp_header_size; ++i) header[i] = 0;
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, image_size + bmp_header_size);
    put32(header + 10, bmp_header_size);  // where the pixels start
    put32(header + 14, 40);               // information header size
    put32(header + 18, uint32_t(width));
    put32(header + 22, uint32_t(height)); // positive: bottom row first
    put16(header + 26, 1);                // planes
    put16(header + 28, 32);               // bits per pixel
    // Compression, image size, resolutions and colour counts stay 0.
}

bool write_bmp(const char* path, const uint32_t* pixels, int pitch, int left, int top, int width,
               int height, int scale)
{
    if (!pixels || width < 1 || height < 1 || scale < 1 || left < 0 || top < 0 || pitch < left + width ||
        width > bmp_largest_side / scale || height > bmp_largest_side / scale)
        return false;
    const int out_width = width * scale, out_height = height * scale;
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    uint8_t header[bmp_header_size];
    bmp_header(header, out_width, out_height);
    bool written = std::fwrite(header, 1, sizeof header, f) == sizeof header;
    std::vector<uint8_t> row(std::size_t(out_width) * 4);
    for (int y = out_height - 1; written && y >= 0; --y) {
        const uint32_t* source = pixels + std::size_t(top + y / scale) * std::size_t(pitch) + left;
        for (int x = 0; x < out_width; ++x) put32(&row[std::size_t(x) * 4], source[x / scale]);
        written = std::fwrite(row.data(), 1, row.size(), f) == row.size();
    }
    written = std::fclose(f) == 0 && written;
    if (!written) std::remove(path);
    return written;
}
