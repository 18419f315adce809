#include <gtest/gtest.h>

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

// The pixel stored for column x, row y (counted from the top) of a bottom-up file.
uint32_t stored_pixel(const std::string& b, int width, int height, int x, int y)
{
    return le32(b, 54 + (size_t(height - 1 - y) * width + x) * 4);
}

// Test cases run in parallel processes: each writes a file of its own.
std::string shot_path()
{
    return ::testing::TempDir() + "wren81_shot_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           ".bmp";
}
const std::vector<uint32_t> picture = numbered_picture();

}  // namespace

TEST(Screenshot, FullBorderAtOneToOne)
{
    const std::string shot = shot_path();
    ASSERT_TRUE(write_bmp(shot.c_str(), picture.data(), 520, 64, 40, 384, 296));
    const std::string b = read_whole_file(shot);
    ASSERT_EQ(b.size(), 454710u);
    EXPECT_EQ(b.substr(0, 2), "BM");
    // File size, reserved, pixel offset, header size, width, height, planes and bits, then zeros.
    const uint32_t fields[] = {454710, 0, 54, 40, 384, 296, 1 | 32 << 16, 0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < 13; ++i) EXPECT_EQ(le32(b, 2 + 4 * i), fields[i]) << "offset " << 2 + 4 * i;
    // Bottom row first; blue, green, red, then the pixel's fourth byte.
    EXPECT_EQ(stored_pixel(b, 384, 296, 0, 0), picture[40 * 520 + 64]);
    EXPECT_EQ(stored_pixel(b, 384, 296, 383, 295), picture[335 * 520 + 447]);
    EXPECT_EQ(uint8_t(b[54]), uint8_t(picture[335 * 520 + 64]));
}

TEST(Screenshot, DoubleSizeRepeatsEachPixel)
{
    const std::string shot = shot_path();
    ASSERT_TRUE(write_bmp(shot.c_str(), picture.data(), 520, 100, 60, 256, 190, 2));
    const std::string b = read_whole_file(shot);
    ASSERT_EQ(b.size(), 54u + 512 * 380 * 4);
    EXPECT_EQ(le32(b, 18), 512u);
    EXPECT_EQ(le32(b, 22), 380u);
    for (int y : {0, 1, 2, 379})
        for (int x : {0, 1, 2, 511})
            EXPECT_EQ(stored_pixel(b, 512, 380, x, y), picture[size_t(60 + y / 2) * 520 + 100 + x / 2]) << x << "," << y;
}

TEST(Screenshot, UnusableRequestsWriteNothing)
{
    const std::string shot = shot_path();
    std::remove(shot.c_str());
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 0, 0, 0, 296));
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 200, 0, 384, 296));  // wider than the pitch
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 0, 0, 384, 296, 100));
    EXPECT_EQ(read_whole_file(shot), "");
    EXPECT_FALSE(write_bmp("/nonexistent-folder/x.bmp", picture.data(), 520, 0, 0, 384, 296));
}
