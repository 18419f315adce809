// The numbered error messages: the code in hexadecimal, then the text, shown through
// report_error. The texts of the common errors are checked where they arise.
#include <gtest/gtest.h>

#include "cli/host_headless.h"
#include "shell/errors.h"

TEST(ErrorText, CodeInHexThenMessageAndOnlyTheCodeWhereThereIsNone)
{
    const std::pair<int, const char*> cases[] = {
        {34, "22 - DirectDraw: Failed to attach backbuffer for DirectDraw"},
        {53, "35 - Direct3D: Failed to lock Direct3D texture"},
        {67, "43 - DirectSound: Mono or Stereo sound not supported"},
        {0, "00 - "}, {9, "09 - "}, {13, "0D - "}, {29, "1D - "}, {45, "2D - "}, {59, "3B - "}, {255, "FF - "},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(error_text(code), text);
    for (int code : {1, 8, 10, 12, 20, 25, 30, 44, 50, 60}) EXPECT_STRNE(error_message(code), "") << code;
    EXPECT_STREQ(error_message(-1), "");
    EXPECT_STREQ(error_message(1000), "");

    const int before = headless_error_count;
    report_error(21);
    EXPECT_EQ(headless_error_count, before + 1);
    EXPECT_EQ(headless_last_error, "15 - Tape Error: Tape file incorrect length");
}
