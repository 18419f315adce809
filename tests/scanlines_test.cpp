// The Scanlines effect: which colour bytes each output darkens, and which rows.
#include <gtest/gtest.h>

#include <vector>

#include "video/scanlines.h"

TEST(Scanlines, EachOutputLowersOnlyBytesAboveItsThreshold)
{
    const int dd = directdraw_scanline_threshold, d3d = direct3d_scanline_threshold;
    const struct { uint32_t pixel; int threshold; uint32_t darkened; } cases[] = {
        {0xCACACA, dd, 0xAAAAAA}, {0xFFFFFF, dd, 0xDFDFDF}, {0x00B500, dd, 0x009500}, {0xB68000, dd, 0x966000},
        {0x000000, dd, 0x000000}, {0x303030, d3d, 0x101010}, {0x303030, dd, 0x303030},
        {0x404041, dd, 0x404021}, {0x202021, d3d, 0x202001},  // at the threshold: not lowered
        {0xFFCACACA, dd, 0xFFAAAAAA},
    };
    for (const auto& c : cases) EXPECT_EQ(darken_pixel(c.pixel, c.threshold), c.darkened) << std::hex << c.pixel;
}

TEST(Scanlines, DarkensEverySecondRowFromTheFirstWithinTheWidth)
{
    // Five rows of three pixels, four pixels apart: the fourth column is not picture.
    const int width = 3, rows = 5, pitch = 4;
    std::vector<uint32_t> picture(pitch * rows, 0xCACACA);
    darken_scanlines(picture.data(), width, rows, pitch, directdraw_scanline_threshold);
    for (int i = 0; i < pitch * rows; ++i)
        EXPECT_EQ(picture[i], (i / pitch % 2 == 0 && i % pitch < width) ? 0xAAAAAAu : 0xCACACAu) << i;
}
