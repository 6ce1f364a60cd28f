#include "platform/local/files/Files.h"
#include "platform/local/media/GraphicsImporter.h"
#include "platform/local/media/Movies.h"
#include "tests/support/MediaFixtures.h"

#include <QFile>
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

// Content decides, not the name: a movie named .txt is a movie. A PNG header claiming a picture
// far too large to decode is recognised without reading or allocating pixels.
TEST_F(MediaKinds, EachFileIsJudgedByItsContent) {
    ASSERT_TRUE(fixtures::WriteMovie(path("clip.mov")));
    ASSERT_TRUE(QFile::copy(path("clip.mov"), path("clip.txt")));
    ASSERT_TRUE(fixtures::WritePng(path("p.png"), 20, 10));
    ASSERT_TRUE(fixtures::WritePngHeaderOnly(path("huge.png"), 1'000'000, 1'000'000));
    ASSERT_TRUE(fixtures::WriteText(path("notes.txt"), "Dear Ann,\nthe meeting is at 10.\n"));
    ASSERT_TRUE(fixtures::WriteText(path("ansi.ans"), "\x1b[31mred\x1b[0m text\n"));
    ASSERT_TRUE(fixtures::WriteText(path("empty.mov"), ""));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.mov")).constData(), 0600), 0);
    const struct {
        const char* name;
        bool graphics;
        bool movie;
    } cases[] = {{"clip.mov", false, true},   {"clip.txt", false, true},
                 {"p.png", true, false},      {"huge.png", true, false},
                 {"notes.txt", false, false}, {"ansi.ans", false, false},
                 {"empty.mov", false, false}, {"pipe.mov", false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(isGraphics(path(c.name)), c.graphics) << c.name;
        EXPECT_EQ(isMovie(path(c.name)), c.movie) << c.name;
    }
    EXPECT_FALSE(isGraphics(m_dir.path()));
    EXPECT_FALSE(isMovie(m_dir.path()));
}

} // namespace
