// The movie report of real movies made by ffmpeg.
#include "commands/media/MovieInfo.h"
#include "platform/local/files/Files.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/QtPrinters.h"

#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

class MovieInfoTest : public ::testing::Test {
protected:
    MovieInfoTest() { EnterMovies(); }
    ~MovieInfoTest() override { ExitMovies(); }

    QString report(const QString& name, long position = 1) {
        FSRef ref;
        EXPECT_EQ(FSPathMakeRef(QFile::encodeName(m_world.root() + u'/' + name), &ref), noErr);
        return GetMovieInfoForFSRef(&ref, position);
    }
    QString fixture(const char* name) {
        const QString path = m_world.root() + u'/' + QLatin1String(name);
        EXPECT_TRUE(QFile::copy(QStringLiteral(VELMORA_FIXTURES "/") + QLatin1String(name), path));
        return path;
    }
    static QStringList labels(const QString& block) {
        QStringList found;
        for (const QString& line : block.split(u'\n'))
            found.append(line.section(u':', 0, 0));
        return found;
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(MovieInfoTest, EveryLineInItsPlaceWithTheSizeGroupedInEveryLocale) {
    fixture("movie61.mov");
    const QLocale before;
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    const QString block = report(QStringLiteral("movie61.mov"), 2);
    QLocale::setDefault(before);
    EXPECT_TRUE(
        block.startsWith(QString(31, u'_') + QStringLiteral("\nInfo for \"movie61.mov\"\n\n")));
    EXPECT_TRUE(block.contains(QStringLiteral("\nDuration: 1 min 1 sec \n")));
    EXPECT_TRUE(block.contains(QStringLiteral("\nFrame count: 61\n")));
    EXPECT_TRUE(block.contains(QStringLiteral("\nSize: 6,623 bytes\n")));
    EXPECT_TRUE(
        block.contains(QStringLiteral("\nCreated: Sat 05 Dec, 2026 06:52:44 AM (+0000)\n")));
    EXPECT_EQ(
        labels(block),
        QStringList({QString(31, u'_'), "Info for \"movie61.mov\"", "", "Copyright", "Display name",
                     "URL", "Frame count", "Duration", "Created", "Modifed", "Width", "Size",
                     "Codec Name", "Nbr. Tracks", "Sound", "Bite rate", "Nbr. Channels", ""}));
    EXPECT_TRUE(block.contains(QStringLiteral("\nBite rate: 8000\nNbr. Channels: 1\n")));
}

TEST_F(MovieInfoTest, SilentAndSoundOnlyMoviesLeaveOutWhatTheyDoNotHave) {
    fixture("m.mov");
    fixture("sound-only.mov");
    const QString silent = report(QStringLiteral("m.mov"));
    EXPECT_FALSE(silent.contains(QStringLiteral("Sound:")));
    EXPECT_TRUE(silent.contains(QStringLiteral("Width: 64, Height: 48\n")));
    EXPECT_FALSE(silent.startsWith(u'_'));
    const QString sound = report(QStringLiteral("sound-only.mov"));
    EXPECT_FALSE(sound.contains(QStringLiteral("Codec Name:")));
    EXPECT_FALSE(sound.contains(QStringLiteral("Width:")));
    EXPECT_TRUE(sound.contains(QStringLiteral("\nFrame count: 0\n")));
    EXPECT_TRUE(sound.contains(QStringLiteral("\nSound: ")));
}

// The size of the picture is the shown one, its sample aspect applied; a rate above 16 bits is
// written as it is; a duration of a day and a count read from packets where the container keeps
// no index.
TEST_F(MovieInfoTest, AspectHighRatesLongMoviesAndContainersWithoutAnIndex) {
    ASSERT_TRUE(
        fixtures::MakeMovie(m_world.root() + QStringLiteral("/wide.mkv"),
                            {"-f", "lavfi", "-i", "color=s=32x24:r=1/60:d=86400", "-f", "lavfi",
                             "-i", "sine=sample_rate=96000:d=1", "-vf", "setsar=2", "-c:v", "mpeg4",
                             "-g", "1440", "-c:a", "flac", "-t", "86400"}));
    const QString block = report(QStringLiteral("wide.mkv"));
    EXPECT_TRUE(block.contains(QStringLiteral("\nWidth: 64, Height: 24\n"))) << block.toStdString();
    EXPECT_TRUE(block.contains(QStringLiteral("\nDuration: 24 hrs \n"))) << block.toStdString();
    EXPECT_TRUE(block.contains(QStringLiteral("\nFrame count: 1,440\n"))) << block.toStdString();
    EXPECT_TRUE(block.contains(QStringLiteral("\nBite rate: 96000\n"))) << block.toStdString();
}

TEST_F(MovieInfoTest, WhatIsNotAMovieSaysSo) {
    ASSERT_TRUE(fixtures::WriteText(m_world.root() + QStringLiteral("/notes.txt"), "words"));
    EXPECT_EQ(report(QStringLiteral("notes.txt")),
              QStringLiteral("Movie Info: This is not a movie file\n"));
}

} // namespace
