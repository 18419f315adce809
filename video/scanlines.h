// The Scanlines picture effect of the DirectDraw and Direct3D outputs: every
// second row of the picture, starting with the first, is drawn darker, as the
// gaps between the beam's lines look on a television.
#pragma once
#include <cstdint>

// A colour byte is lowered only when it is above the output's threshold, so
// black stays black and dim colours do not wrap round.
constexpr int directdraw_scanline_threshold = 64;
constexpr int direct3d_scanline_threshold = 32;
constexpr int scanline_darkening = 32;

// The pixel (0x00RRGGBB) with each of its blue, green and red bytes above
// `threshold` lowered by 32; the top byte is kept.
inline uint32_t darken_pixel(uint32_t pixel, int threshold)
{
    uint32_t lowered = 0;
    for (int shift = 0; shift < 24; shift += 8)
        if (int((pixel >> shift) & 0xFF) > threshold) lowered += uint32_t(scanline_darkening) << shift;
    return pixel - lowered;
}

// Darkens rows 0, 2, 4, ... below `rows` of a picture `width` pixels wide whose
// rows lie `pitch` pixels apart.
void darken_scanlines(uint32_t* picture, int width, int rows, int pitch, int threshold);
