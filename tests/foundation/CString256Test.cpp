#include "foundation/CString256.h"

#include <QString>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

const std::string k300(300, 'x');
const std::string k255(255, 'x');

TEST(CString256, TextTakenInIsCutTo255Bytes) {
    CString256 s("stale");
    s = static_cast<const char*>(nullptr);
    EXPECT_STREQ(s.text, "");

    s = static_cast<const unsigned char*>(nullptr);
    EXPECT_STREQ(s.text, "");

    std::string block = k300;
    char* data = block.data();
    s.assign(&data, 300);
    EXPECT_EQ(std::string(s.text), k255);
    s.assign(&data, 4);
    EXPECT_STREQ(s.text, "xxxx");
    char* none = nullptr;
    s.assign(&none, 4);
    EXPECT_STREQ(s.text, "");
}

// The random operations of the differential test never append a string to itself.
TEST(CString256, AppendingItselfOrAPartOfItself) {
    CString256 self("abc");
    self += self;
    self += self.text + 1;
    self += LONG_MIN;
    EXPECT_EQ(std::string(self.text), "abcabcbcabc" + std::to_string(LONG_MIN));
}

TEST(CString256, QStringsComeInAsMacRomanAndGoOutAsUtf8) {
    CString256 s("stale");
    s = QString::fromUtf8("caf\u00e9 \u20ac\u2122\u00ff");
    EXPECT_STREQ(s.text, "caf\x8E \xDB\xAA\xD8");
    s = QString::fromUtf8("ok \u4e2d");
    EXPECT_STREQ(s.text, "") << "a character Mac Roman lacks converts to nothing";
    s = "keep";
    s += QString::fromUtf8("\U0001F600");
    s += QString("er");
    EXPECT_STREQ(s.text, "keeper");
    s = QString(300, QChar(u'\u00e9'));
    EXPECT_EQ(std::string(s.text), std::string(255, '\x8E'));
    EXPECT_EQ(CString256("na\xC3\xAFve").MakeCFString(), QString::fromUtf8("na\u00efve"));
}

} // namespace
