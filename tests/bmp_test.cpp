// Save Screenshot's file. Its layout is checked end to end: wren81-cli's screenshot
// against the window's picture in the GUI tests. Here: requests it cannot honour.
#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "tests/file_helpers.h"
#include "video/bmp.h"

TEST(Screenshot, UnusableRequestsWriteNothing)
{
    const std::string shot = ::testing::TempDir() + "wren81_shot_" + std::to_string(getpid()) + ".bmp";
    const std::vector<uint32_t> picture(520 * 380);
    std::remove(shot.c_str());
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 0, 0, 0, 296));
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 200, 0, 384, 296));  // wider than the pitch
    EXPECT_FALSE(write_bmp(shot.c_str(), picture.data(), 520, 0, 0, 384, 296, 100));
    EXPECT_EQ(read_whole_file(shot), "");
    EXPECT_FALSE(write_bmp("/nonexistent-folder/x.bmp", picture.data(), 520, 0, 0, 384, 296));
}
