#include "platform/local/files/Files.h"
#include "platform/local/media/GraphicsImporter.h"
#include "platform/local/media/Movies.h"
#include "tests/support/MediaFixtures.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class MediaKinds : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnterMovies(); }
    static void TearDownTestSuite() { ExitMovies(); }

    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    FSSpec spec(const QString& file) const {
        FSSpec spec{};
        EXPECT_EQ(FSPathMakeRef(QFile::encodeName(file), &spec.ref), noErr);
        return spec;
    }
    bool isGraphics(const QString& file) const {
        const FSSpec s = spec(file);
        std::unique_ptr<GraphicsImporter> importer;
        return GetGraphicsImporterForFile(&s, &importer) == noErr && importer;
    }
    bool isMovie(const QString& file) const {
        const FSSpec s = spec(file);
        MovieFile movieFile;
        if (OpenMovieFile(&s, &movieFile, fsRdPerm) != noErr)
            return false;
        Movie movie;
        return NewMovieFromFile(&movie, movieFile, newMovieActive) == noErr && movie;
    }

    QTemporaryDir m_dir;
};

TEST_F(MediaKinds, MovieIsAMovieAndNotAPicture) {
    ASSERT_TRUE(fixtures::WriteMovie(path("clip.mov")));
    EXPECT_TRUE(isMovie(path("clip.mov")));
    EXPECT_FALSE(isGraphics(path("clip.mov")));
    // Content decides, not the name.
    ASSERT_TRUE(QFile::copy(path("clip.mov"), path("clip.txt")));
    EXPECT_TRUE(isMovie(path("clip.txt")));
}

TEST_F(MediaKinds, StillImagesAreGraphicsButNotMovies) {
    ASSERT_TRUE(fixtures::WritePng(path("p.png"), 20, 10));
    QImage(8, 8, QImage::Format_RGB32).save(path("j.jpg"), "jpeg");
    QImage(8, 8, QImage::Format_RGB32).save(path("b.bmp"), "bmp");
    for (const char* name : {"p.png", "j.jpg", "b.bmp"}) {
        EXPECT_TRUE(isGraphics(path(name))) << name;
        EXPECT_FALSE(isMovie(path(name))) << name;
    }
}

TEST_F(MediaKinds, TextEmptyAndSpecialFilesAreNeither) {
    ASSERT_TRUE(fixtures::WriteText(path("notes.txt"), "Dear Ann,\nthe meeting is at 10.\n"));
    ASSERT_TRUE(fixtures::WriteText(path("ansi.ans"), "\x1b[31mred\x1b[0m text\n"));
    ASSERT_TRUE(fixtures::WriteText(path("empty.mov"), ""));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.mov")).constData(), 0600), 0);
    for (const char* name : {"notes.txt", "ansi.ans", "empty.mov", "pipe.mov"}) {
        EXPECT_FALSE(isGraphics(path(name))) << name;
        EXPECT_FALSE(isMovie(path(name))) << name;
    }
    EXPECT_FALSE(isGraphics(m_dir.path()));
    EXPECT_FALSE(isMovie(m_dir.path()));
}

TEST_F(MediaKinds, PicturesAreJudgedByTheirHeaderAlone) {
    // A header claiming a picture far too large to decode, and one cut off after its header:
    // both are recognised without reading or allocating pixels.
    ASSERT_TRUE(fixtures::WritePngHeaderOnly(path("huge.png"), 1'000'000, 1'000'000));
    EXPECT_TRUE(isGraphics(path("huge.png")));
    EXPECT_FALSE(isMovie(path("huge.png")));
    const FSSpec s = spec(path("huge.png"));
    std::unique_ptr<GraphicsImporter> importer;
    ASSERT_EQ(GetGraphicsImporterForFile(&s, &importer), noErr);
    EXPECT_EQ(importer->format(), QByteArray("png"));
}

} // namespace
