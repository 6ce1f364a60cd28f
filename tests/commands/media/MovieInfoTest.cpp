// The movie report of real movies made by ffmpeg.
#include "commands/media/MovieInfo.h"
#include "platform/local/files/Files.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/QtPrinters.h"

#include <QFile>
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

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(MovieInfoTest, ASoundOnlyMovieLeavesOutThePictureLines) {
    fixture("sound-only.mov");
    const QString sound = report("sound-only.mov");
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
    const QString block = report("wide.mkv");
    SCOPED_TRACE(block.toStdString());
    EXPECT_TRUE(block.contains(QStringLiteral("\nWidth: 64, Height: 24\n")));
    EXPECT_TRUE(block.contains(QStringLiteral("\nDuration: 24 hrs \n")));
    EXPECT_TRUE(block.contains(QStringLiteral("\nFrame count: 1,440\n")));
    EXPECT_TRUE(block.contains(QStringLiteral("\nBite rate: 96000\n")));
}

} // namespace
