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

} // namespace
