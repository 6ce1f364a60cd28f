#include "foundation/CaselessText.h"

#include <gtest/gtest.h>

namespace {

TEST(CaselessText, StrncmpReturnsTheDifferenceOfTheBytesAsTheyStand) {
    EXPECT_EQ(STRNCMP("abc", "ABD", 3), 'c' - 'D');
    EXPECT_EQ(STRNCMP("abc", "ABD", 2), 0);
    EXPECT_EQ(STRNCMP("ab", "AB", 10), 0);
    EXPECT_EQ(STRNCMP("ab", "abc", 3), -'c');
    EXPECT_EQ(STRNCMP("\xE9", "a", 1), 0xE9 - 'a');
    EXPECT_NE(STRNCMP("\xE9", "\xC9", 1), 0);
}

TEST(CaselessText, StrstrFindsTheFirstCaseBlindOccurrence) {
    const char* text = "Report 2024 final";
    EXPECT_EQ(STRSTR(text, "FINAL"), text + 12);
    EXPECT_EQ(STRSTR(text, "port 2"), text + 2);
    EXPECT_EQ(STRSTR(text, ""), text);
    EXPECT_EQ(STRSTR(text, "finals"), nullptr);
    EXPECT_EQ(STRSTR("", "a"), nullptr);
}

} // namespace
