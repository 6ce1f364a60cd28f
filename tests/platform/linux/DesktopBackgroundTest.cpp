#include "platform/linux/DesktopBackground.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::linuxdesk::DesktopFamily;

TEST(DesktopBackground, TheDesktopIsKnownByItsFirstKnownName) {
    using platform::linuxdesk::DesktopFamilyFor;
    EXPECT_EQ(DesktopFamilyFor("ubuntu:GNOME"), DesktopFamily::Gnome);
    EXPECT_EQ(DesktopFamilyFor("X-Cinnamon"), DesktopFamily::Cinnamon);
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
    // gsettings prints control characters and some others as escapes.
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

// The real gsettings, over GLib's key-file back end in a folder of the test's own, so that no
// session bus or dconf is needed and the user's own settings are never touched.
class GnomePictures : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("gsettings")).isEmpty() ||
            !gsettings({"get", "org.gnome.desktop.background", "picture-uri-dark"}))
            GTEST_SKIP() << "gsettings with GNOME's background schema is not installed";
        m_before = m_config.filePath(QStringLiteral("before"));
    }

    void TearDown() override {
        qunsetenv("GSETTINGS_BACKEND");
        qunsetenv("XDG_CONFIG_HOME");
    }

    std::optional<QString> gsettings(const QStringList& arguments) {
        qputenv("GSETTINGS_BACKEND", "keyfile");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QProcess process;
        process.start(QStringLiteral("gsettings"), arguments);
        if (!process.waitForFinished(5000) || process.exitCode() != 0)
            return std::nullopt;
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    void setPicture(const char* key, const QString& path) {
        ASSERT_TRUE(gsettings({"set", "org.gnome.desktop.background", key,
                               QStringLiteral("'file://") + path + u'\''}));
    }
    QString picture(const char* key) {
        return gsettings({"get", "org.gnome.desktop.background", key}).value_or(QString());
    }

    QTemporaryDir m_config;
    QString m_before;
};

// A set shows the picture in both styles; setting back the one that was in effect (what a reset
// does) brings back the dark style's own picture as well, in either style.
TEST_F(GnomePictures, ResettingBringsBackTheDarkStylesOwnPicture) {
    using platform::linuxdesk::ReadDesktopPicture;
    using platform::linuxdesk::WriteDesktopPicture;
    setPicture("picture-uri", QStringLiteral("/p/light.jpg"));
    setPicture("picture-uri-dark", QStringLiteral("/p/dark.jpg"));
    EXPECT_EQ(ReadDesktopPicture(DesktopFamily::Gnome), QStringLiteral("/p/light.jpg"));

    ASSERT_TRUE(WriteDesktopPicture(DesktopFamily::Gnome, QStringLiteral("/p/new.jpg"), m_before));
    EXPECT_EQ(picture("picture-uri"), QStringLiteral("'file:///p/new.jpg'"));
    EXPECT_EQ(picture("picture-uri-dark"), QStringLiteral("'file:///p/new.jpg'"));
    ASSERT_TRUE(
        WriteDesktopPicture(DesktopFamily::Gnome, QStringLiteral("/p/light.jpg"), m_before));
    EXPECT_EQ(picture("picture-uri"), QStringLiteral("'file:///p/light.jpg'"));
    EXPECT_EQ(picture("picture-uri-dark"), QStringLiteral("'file:///p/dark.jpg'"));

    ASSERT_TRUE(gsettings({"set", "org.gnome.desktop.interface", "color-scheme", "prefer-dark"}));
    EXPECT_EQ(ReadDesktopPicture(DesktopFamily::Gnome), QStringLiteral("/p/dark.jpg"));
    ASSERT_TRUE(WriteDesktopPicture(DesktopFamily::Gnome, QStringLiteral("/p/new.jpg"), m_before));
    EXPECT_EQ(ReadDesktopPicture(DesktopFamily::Gnome), QStringLiteral("/p/new.jpg"));
    ASSERT_TRUE(WriteDesktopPicture(DesktopFamily::Gnome, QStringLiteral("/p/dark.jpg"), m_before));
    EXPECT_EQ(picture("picture-uri"), QStringLiteral("'file:///p/light.jpg'"));
    EXPECT_EQ(picture("picture-uri-dark"), QStringLiteral("'file:///p/dark.jpg'"));
}

} // namespace
