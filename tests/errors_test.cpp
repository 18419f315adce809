// The numbered error messages: the code in hexadecimal, then the text; the texts of
// the common errors are checked where they arise. Here: codes without a message, and
// texts in their group's slots.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "shell/errors.h"

// A text that slipped into the wrong slot would show under another group's code.
TEST(ErrorText, CodesWithoutAMessageShowTheCodeAndEachGroupsTextsCarryItsName)
{
    for (const auto& [code, text] : {std::pair<int, const char*>{0, "00 - "}, {13, "0D - "}, {255, "FF - "}})
        EXPECT_EQ(error_text(code), text);
    EXPECT_STREQ(error_message(-1), "");
    EXPECT_STREQ(error_message(1000), "");

    const std::pair<int, const char*> groups[] = {{10, "Snapshot Error: "}, {20, "Tape Error: "}, {30, "DirectDraw: "},
                                                  {40, "DirectDraw: "},     {50, "Direct3D: "},   {60, "DirectSound: "}};
    for (const auto& [first, name] : groups)
        for (int code = first; code < first + 10; ++code)
            if (*error_message(code)) {
                EXPECT_EQ(std::string(error_message(code)).rfind(name, 0), 0u) << code;
            }
    EXPECT_EQ(error_text(error_d3d_draw), "36 - Direct3D: Failed to draw the picture");
    EXPECT_EQ(error_text(error_sound_play), "41 - DirectSound: Failed to play Secondary buffer");
}
