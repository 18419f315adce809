// The numbered error messages: the code in hexadecimal, then the text; the texts of
// the common errors are checked where they arise. Here: codes without a message.
#include <gtest/gtest.h>

#include "shell/errors.h"

TEST(ErrorText, OnlyTheCodeWhereThereIsNoMessage)
{
    for (const auto& [code, text] : {std::pair<int, const char*>{0, "00 - "}, {13, "0D - "}, {255, "FF - "}})
        EXPECT_EQ(error_text(code), text);
    EXPECT_STREQ(error_message(-1), "");
    EXPECT_STREQ(error_message(1000), "");
}
