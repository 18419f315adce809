// Save Screenshot's file: a 32-bit bottom-up BMP of the chosen part of the frame buffer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "tests/file_helpers.h"
#include "video/bmp.h"

namespace {

uint32_t le32(const std::string& b, size_t at)
{
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}

// A 520-wide picture whose every pixel tells where it came from.
std::vector<uint32_t> numbered_picture()
{
    std::vector<uint32_t> p(520 * 380);
    for (size_t i = 0; i < p.size(); ++i) p[i] = uint32_t(i / 520) << 12 | uint32_t(i % 520);
    return p;
}
const std::vector<uint32_t> picture = numbered_picture();

// Test cases run in parallel processes: each writes a file of its own.
const std::string shot = ::testing::TempDir() + "wren81_shot_" + std::to_string(getpid()) + ".bmp";

}  // namespace

TEST(Screenshot, TheAreaBottomRowFirstWithEachPixelRepeatedAtDoubleSize)
{
    struct Case { int left, top, width, height, scale; };
    for (const Case c : {Case{64, 40, 384, 296, 1}, Case{100, 60, 256, 190, 2}}) {
        SCOPED_TRACE(c.scale);
        ASSERT_TRUE(write_bmp(shot.c_str(), picture.data(), 520, c.left, c.top, c.width, c.height, c.scale));
        const std::string b = read_whole_file(shot);
        const uint32_t w = uint32_t(c.width * c.scale), h = uint32_t(c.height * c.scale), size = 54 + w * h * 4;
        ASSERT_EQ(b.size(), size);
        EXPECT_EQ(b.substr(0, 2), "BM");
        // File size, reserved, pixel offset, header size, width, height, planes and bits, then zeros.
        const uint32_t fields[] = {size, 0, 54, 40, w, h, 1 | 32 << 16, 0, 0, 0, 0, 0, 0};
        for (size_t i = 0; i < 13; ++i) EXPECT_EQ(le32(b, 2 + 4 * i), fields[i]) << "offset " << 2 + 4 * i;
        // Bottom row first; each pixel's bytes blue, green, red, fourth.
        for (uint32_t y : {0u, 1u, 2u, h - 1})
            for (uint32_t x : {0u, 1u, 2u, w - 1})
                EXPECT_EQ(le32(b, 54 + (size_t(h - 1 - y) * w + x) * 4),
                          picture[size_t(c.top + y / c.scale) * 520 + c.left + x / c.scale]) << x << "," << y;
    }
}

TEST(Screenshot, UnusableRequestsWriteNothing)
{
    std::remove(shot.c_str());
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 0, 0, 0, 296));
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 200, 0, 384, 296));  // wider than the pitch
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 0, 0, 384, 296, 100));
    EXPECT_EQ(read_whole_file(shot), "");
    EXPECT_FALSE(write_bmp("/nonexistent-folder/x.bmp", picture.data(), 520, 0, 0, 384, 296));
}
