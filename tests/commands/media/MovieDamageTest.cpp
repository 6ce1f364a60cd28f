// Damaged movies, made on the spot from good ones of each container: cut short at several
// offsets and with bits flipped. Get Movie Info, given them all at once, gives each the alert or
// a report of its own, never a crash or a read without end.
#include "commands/media/MovieInfo.h"
#include "common/TextWindow.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/Movies.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/WorldAlerts.h"
#include "tests/support/WorldSelection.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>
#include <random>

namespace {

struct Base {
    const char* name;
    QStringList arguments;
};

// Two seconds of a picture and a tone, each container with the codecs it usually carries; the
// fragmented MP4 keeps no sample count in its header, so its frames are counted from packets.
const Base kBases[] = {
    {"h264.ts", {"-c:v", "libx264", "-c:a", "aac"}},
    {"mpeg2.ts", {"-c:v", "mpeg2video", "-c:a", "mp2"}},
    {"h264.mkv", {"-c:v", "libx264", "-c:a", "flac"}},
    {"mpeg4.mov", {"-c:v", "mpeg4", "-c:a", "aac"}},
    {"start.mp4", {"-c:v", "libx264", "-c:a", "aac", "-movflags", "+faststart"}},
    {"fragments.mp4", {"-c:v", "libx264", "-c:a", "aac", "-movflags", "frag_keyframe+empty_moov"}},
};

class MovieDamageTest : public ::testing::Test {
protected:
    MovieDamageTest() { EnterMovies(); }
    ~MovieDamageTest() override { ExitMovies(); }

    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    Movie open(const QString& name) const {
        FSRef item;
        FSSpec spec;
        MovieFile file;
        Movie movie;
        if (FSPathMakeRef(QFile::encodeName(path(name)), &item) != noErr ||
            FSRefMakeFSSpec(&item, &spec) != noErr ||
            OpenMovieFile(&spec, &file, fsRdPerm) != noErr ||
            NewMovieFromFile(&movie, file, newMovieActive) != noErr)
            return nullptr;
        return movie;
    }

    // The good movies, then every damaged one made from them.
    QStringList makeMovies() {
        QStringList good;
        for (const Base& base : kBases) {
            const QString name = QLatin1String(base.name);
            EXPECT_TRUE(fixtures::MakeMovie(
                path(name), QStringList{"-f", "lavfi", "-i", "testsrc=s=64x48:r=10:d=2", "-f",
                                        "lavfi", "-i", "sine=d=2", "-g", "5"} +
                                base.arguments))
                << base.name;
            good.append(name);
        }
        QStringList damaged;
        for (const QString& name : good) {
            QFile file(path(name));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            const auto write = [&](const QString& variant, const QByteArray& content) {
                const QString made = name + u'-' + variant;
                EXPECT_TRUE(fixtures::WriteText(path(made), content));
                damaged.append(made);
            };
            const qsizetype size = bytes.size();
            for (qsizetype cut : {qsizetype(188), qsizetype(1024), qsizetype(4096), size - 100})
                write(QStringLiteral("cut-%1").arg(cut), bytes.left(cut));
            for (int eighth = 1; eighth < 8; ++eighth)
                write(QStringLiteral("cut-%1-eighths").arg(eighth), bytes.left(size * eighth / 8));
            for (unsigned seed = 1; seed <= 8; ++seed) {
                // Half the seeds hit the header's first 8 KiB hard; the others the whole file.
                std::mt19937 random(seed);
                const qsizetype span = seed <= 4 ? std::min<qsizetype>(size, 8192) : size;
                const qsizetype flips = seed <= 4 ? 16 : size / 512;
                QByteArray flipped = bytes;
                for (qsizetype n = 0; n < flips; ++n) {
                    const auto at = qsizetype(random() % quint32(span));
                    flipped[at] = char(flipped[at] ^ (1 << (random() % 8)));
                }
                write(QStringLiteral("flip-%1").arg(seed), flipped);
            }
        }
        return good + damaged;
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

// Every damaged movie is either found not to be a movie (the alert) or reported in a block of
// its own with the lines every movie has; the good ones keep their full report.
TEST_F(MovieDamageTest, EachDamagedMovieGivesTheAlertOrAReport) {
    const QStringList names = makeMovies();
    ASSERT_GT(names.size(), 100);
    fixtures::SelectInWorld(m_world, names);
    TextWindow window;
    ShowMovieInfoOfSelection(window);

    const QStringList alerts = fixtures::AlertMessages(m_world);
    const QString report = window.text();
    const QString separator = QString(31, u'_') + u'\n';
    const QStringList blocks = (separator + report).split(separator, Qt::SkipEmptyParts);
    EXPECT_EQ(alerts.size() + blocks.size(), names.size());
    for (const QString& block : blocks) {
        SCOPED_TRACE(block.toStdString());
        const qsizetype urlAt = block.indexOf(QStringLiteral("\nURL: "));
        const qsizetype durationAt = block.indexOf(QStringLiteral("\nDuration: "), urlAt);
        EXPECT_TRUE(
            block.startsWith(QStringLiteral("Info for \"%1\"\n\n").arg(block.section(u'"', 1, 1))));
        EXPECT_TRUE(urlAt > 0 && durationAt > urlAt &&
                    block.indexOf(QStringLiteral("\nSize: "), durationAt) > durationAt);
    }
    for (const Base& base : kBases) {
        const QString name = QLatin1String(base.name);
        const qsizetype at = report.indexOf(QStringLiteral("Info for \"%1\"\n").arg(name));
        ASSERT_GE(at, 0) << base.name;
        const QString block = report.mid(at, report.indexOf(separator, at) - at);
        SCOPED_TRACE(block.toStdString());
        EXPECT_TRUE(block.contains(QStringLiteral("\nWidth: 64, Height: 48\n")));
        EXPECT_TRUE(block.contains(QStringLiteral("\nFrame count: 20\n")));
        EXPECT_TRUE(block.contains(QStringLiteral("\nSound: ")));
        // A fragmented movie's header leaves its duration to the fragments, which are not read.
        if (!name.startsWith(QLatin1String("fragments"))) {
            EXPECT_TRUE(block.contains(QStringLiteral("\nDuration: 2 secs \n")));
        }
    }
}

// FFmpeg's demuxer spends seconds on each fragment of a fragmented movie one of whose tracks lost
// its header, or whose header numbers it 2^31 or more; such a movie is refused rather than read
// for minutes.
TEST_F(MovieDamageTest, AFragmentedMovieWithATrackWithoutAUsableHeaderIsNotOpened) {
    ASSERT_TRUE(fixtures::MakeMovie(path("long.mp4"),
                                    {"-f", "lavfi", "-i", "testsrc=s=16x16:r=10:d=30", "-f",
                                     "lavfi", "-i", "sine=d=30", "-g", "2", "-c:v", "libx264",
                                     "-c:a", "aac", "-movflags", "frag_keyframe+empty_moov"}));
    ASSERT_TRUE(open(QStringLiteral("long.mp4")));
    QFile file(path("long.mp4"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const qsizetype header = bytes.indexOf("tkhd");
    ASSERT_GT(header, 0);
    QByteArray lost = bytes;
    lost.replace(header, 4, "free");
    QByteArray numbered = bytes;
    qToBigEndian(quint32(0xfffffffe), numbered.data() + header + 16);
    for (const auto& [name, content] : {std::pair{"lost.mp4", lost}, {"numbered.mp4", numbered}}) {
        ASSERT_TRUE(fixtures::WriteText(path(QLatin1String(name)), content));
        EXPECT_FALSE(open(QLatin1String(name))) << name;
    }
}

} // namespace
