// The Scanlines effect over a picture in an output's own surface or texture.
#include "video/scanlines.h"

void darken_scanlines(uint32_t* picture, int width, int rows, int pitch, int threshold)
{
    for (int y = 0; y < rows; y += 2) {
        uint32_t* row = picture + y * pitch;
        for (int x = 0; x < width; ++x) row[x] = darken_pixel(row[x], threshold);
    }
}
