#include <gtest/gtest.h>

#include "cli/host_headless.h"
#include "shell/errors.h"

TEST(ErrorText, CodeInHexThenMessage)
{
    EXPECT_EQ(error_text(2), "02 - ROM missing");
    EXPECT_EQ(error_text(3), "03 - ROM file incorrect length");
    EXPECT_EQ(error_text(6), "06 - Configuration file corrupt");
    EXPECT_EQ(error_text(22), "16 - Tape Error: unknown extension");
    EXPECT_EQ(error_text(34), "22 - DirectDraw: Failed to attach backbuffer for DirectDraw");
    EXPECT_EQ(error_text(53), "35 - Direct3D: Failed to lock Direct3D texture");
    EXPECT_EQ(error_text(60), "3C - DirectSound: Failed to initialise sound");
    EXPECT_EQ(error_text(67), "43 - DirectSound: Mono or Stereo sound not supported");
}

TEST(ErrorText, GapsBetweenGroupsShowOnlyTheCode)
{
    for (int code : {0, 9, 13, 19, 26, 29, 45, 49, 54, 59}) {
        char expected[8];
        std::snprintf(expected, sizeof expected, "%02X - ", code);
        EXPECT_EQ(error_text(code), expected) << code;
    }
    // The first and last codes of each group have their messages.
    for (int code : {1, 8, 10, 12, 20, 25, 30, 44, 50, 53, 60, 67}) EXPECT_STRNE(error_message(code), "") << code;
    // Codes outside the table are harmless.
    EXPECT_STREQ(error_message(-1), "");
    EXPECT_STREQ(error_message(1000), "");
    EXPECT_EQ(error_text(255), "FF - ");
}

TEST(ReportError, ShowsTheText)
{
    const int before = headless_error_count;
    report_error(21);
    EXPECT_EQ(headless_error_count, before + 1);
    EXPECT_EQ(headless_last_error, "15 - Tape Error: Tape file incorrect length");
}
