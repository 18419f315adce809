// The Scanlines effect: which colour bytes each output darkens, and which rows.
#include <gtest/gtest.h>

#include <vector>

#include "video/scanlines.h"

namespace {

TEST(Scanlines, DirectDrawLowersEachPictureColourAndLeavesBlack)
{
    const int t = directdraw_scanline_threshold;
    EXPECT_EQ(darken_pixel(0xCACACA, t), 0xAAAAAAu);  // Default Colours
    EXPECT_EQ(darken_pixel(0xFFFFFF, t), 0xDFDFDFu);  // Black & White
    EXPECT_EQ(darken_pixel(0x00B500, t), 0x009500u);  // Green Screen: only green moves
    EXPECT_EQ(darken_pixel(0xB68000, t), 0x966000u);  // Amber Screen
    EXPECT_EQ(darken_pixel(0x000000, t), 0x000000u);
}

TEST(Scanlines, EachOutputLowersOnlyBytesAboveItsThreshold)
{
    EXPECT_EQ(darken_pixel(0x303030, direct3d_scanline_threshold), 0x101010u);
    EXPECT_EQ(darken_pixel(0x303030, directdraw_scanline_threshold), 0x303030u);
    // The thresholds themselves are not above: a byte there would wrap or go dark.
    EXPECT_EQ(darken_pixel(0x404041, directdraw_scanline_threshold), 0x404021u);
    EXPECT_EQ(darken_pixel(0x202021, direct3d_scanline_threshold), 0x202001u);
    EXPECT_EQ(darken_pixel(0xFF000000u | 0xCACACA, directdraw_scanline_threshold), 0xFFAAAAAAu);
}

TEST(Scanlines, DarkensEverySecondRowFromTheFirstWithinTheWidth)
{
    // Five rows of three pixels, four pixels apart: the fourth column is not picture.
    const int width = 3, rows = 5, pitch = 4;
    std::vector<uint32_t> picture(pitch * rows, 0xCACACA);
    darken_scanlines(picture.data(), width, rows, pitch, directdraw_scanline_threshold);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < pitch; ++x) {
            const uint32_t want = (y % 2 == 0 && x < width) ? 0xAAAAAA : 0xCACACA;
            EXPECT_EQ(picture[y * pitch + x], want) << "row " << y << " column " << x;
        }
}

}  // namespace
