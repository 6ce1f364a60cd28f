#include "platform/linux/DesktopBackground.h"

#include <gtest/gtest.h>

namespace {

using platform::linuxdesk::DesktopFamily;

TEST(DesktopBackground, TheDesktopIsKnownByItsFirstKnownName) {
    using platform::linuxdesk::DesktopFamilyFor;
    EXPECT_EQ(DesktopFamilyFor("ubuntu:GNOME"), DesktopFamily::Gnome);
    EXPECT_EQ(DesktopFamilyFor("X-Cinnamon"), DesktopFamily::Cinnamon);
    EXPECT_EQ(DesktopFamilyFor("MATE"), DesktopFamily::Mate);
    EXPECT_EQ(DesktopFamilyFor("XFCE"), DesktopFamily::Xfce);
    EXPECT_EQ(DesktopFamilyFor("KDE"), DesktopFamily::Plasma);
    EXPECT_EQ(DesktopFamilyFor("sway:wlroots"), DesktopFamily::Unknown);
    EXPECT_EQ(DesktopFamilyFor(""), DesktopFamily::Unknown);
}

// What gsettings is given must read back as exactly the path, quotes and backslashes included.
TEST(DesktopBackground, SettingsStringsReadBackExactly) {
    using platform::linuxdesk::GVariantStringLiteral;
    using platform::linuxdesk::ParseGVariantString;
    for (const QString& text : {QStringLiteral("/home/ann/a.png"), QStringLiteral("it's \"here\""),
                                QStringLiteral("back\\slash\\"), QString()})
        EXPECT_EQ(ParseGVariantString(GVariantStringLiteral(text)), text);
    EXPECT_EQ(ParseGVariantString(QStringLiteral("'file:///usr/share/backgrounds/x.jpg'")),
              QStringLiteral("file:///usr/share/backgrounds/x.jpg"));
    EXPECT_EQ(ParseGVariantString(QStringLiteral("@ms nothing")), std::nullopt);
}

// gsettings prints control characters and some others as escapes; each is read back as the
// character it stands for.
TEST(DesktopBackground, SettingsStringsDecodeEveryEscape) {
    using platform::linuxdesk::ParseGVariantString;
    EXPECT_EQ(ParseGVariantString(QStringLiteral(R"('/p/a\nb.png')")),
              QStringLiteral("/p/a\nb.png"));
    EXPECT_EQ(ParseGVariantString(QStringLiteral(R"('tab\there\r\a\b\f\v')")),
              QStringLiteral("tab\there\r\a\b\f\v"));
    EXPECT_EQ(ParseGVariantString(QStringLiteral(R"('caf\u00e9 \U0001F600')")),
              QStringLiteral("caf\u00e9 ") + QString::fromUcs4(U"\U0001F600", 1));
    EXPECT_EQ(ParseGVariantString(QStringLiteral(R"('it\'s')")), QStringLiteral("it's"));
    EXPECT_EQ(ParseGVariantString(QStringLiteral(R"("it's \"so\"")")),
              QStringLiteral("it's \"so\""));
    for (const char* broken :
         {R"('\u12')", R"('\u12g4')", R"('\uD800')", R"('\U00110000')", R"('ends\')", R"('a'b')"})
        EXPECT_EQ(ParseGVariantString(QString::fromLatin1(broken)), std::nullopt) << broken;
}

} // namespace
