#include "common/SelectionKinds.h"
#include "common/ItemKinds.h"
#include "platform/local/media/Movies.h"
#include "tests/support/MediaFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class SelectionKindsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnterMovies(); }
    static void TearDownTestSuite() { ExitMovies(); }

    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    std::vector<std::optional<FSRef>> select(std::initializer_list<const char*> names) const {
        std::vector<std::optional<FSRef>> selection;
        for (const char* name : names) {
            FSRef ref;
            if (FSPathMakeRef(QFile::encodeName(path(name)), &ref) == noErr)
                selection.push_back(ref);
            else
                selection.push_back(std::nullopt);
        }
        return selection;
    }
    // What a fresh look, which has learnt nothing yet, finds.
    static SelectionKindFlags fresh(const std::vector<std::optional<FSRef>>& selection) {
        SelectionKinds kinds;
        return kinds.flagsOf(selection);
    }

    QTemporaryDir m_dir;
};

// What the menu remembers of an item never outlives a change to it: content rewritten under
// the same name, an item replaced by another of the same name, an item renamed, a rename of its
// kind's extension. After each change a remembering look agrees with a fresh one.
TEST_F(SelectionKindsTest, WhatIsRememberedFollowsEveryChange) {
    ASSERT_TRUE(fixtures::WriteText(path("item"), "plain text\n"));
    ASSERT_TRUE(fixtures::WriteText(path("notes.txt"), "more text\n"));
    // Each opening resolves the selection anew, as the menu does.
    SelectionKinds kinds;
    EXPECT_EQ(kinds.flagsOf(select({"item", "notes.txt"})), SelectionKindFlags{});

    // The same file rewritten as a picture, no rename: its size and times change.
    ASSERT_TRUE(fixtures::WritePng(path("item.tmp"), 8, 8));
    QFile in(path("item.tmp"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    {
        QFile out(path("item"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(in.readAll());
    }
    EXPECT_TRUE(kinds.flagsOf(select({"item", "notes.txt"})).picture);

    // Replaced by a movie of the same name: another item.
    ASSERT_TRUE(QFile::remove(path("item")));
    ASSERT_TRUE(fixtures::WriteMovie(path("item")));
    EXPECT_EQ(kinds.flagsOf(select({"item", "notes.txt"})), fresh(select({"item", "notes.txt"})));
    EXPECT_TRUE(kinds.flagsOf(select({"item", "notes.txt"})).movie);

    // A web location by name: "notes.txt" renamed.
    ASSERT_TRUE(QFile::rename(path("notes.txt"), path("notes.webloc")));
    EXPECT_TRUE(kinds.flagsOf(select({"item", "notes.webloc"})).webloc);
}

// Items the walk did not reach, because the flags were all set before them, are still known at
// the next opening, and an item that vanished between two openings is skipped.
TEST_F(SelectionKindsTest, VanishedItemsAreSkippedAndUnreachedOnesKept) {
    ASSERT_TRUE(fixtures::WriteMovie(path("clip.mov")));
    ASSERT_TRUE(fixtures::WritePng(path("p.png"), 8, 8));
    ASSERT_TRUE(fixtures::WriteText(path("site.webloc"), "x"));
    ASSERT_TRUE(fixtures::WriteText(path("gone.txt"), "x"));
    ASSERT_TRUE(fixtures::WritePng(path("late.png"), 8, 8));
    SelectionKinds kinds;
    const auto all = {"gone.txt", "clip.mov", "p.png", "site.webloc", "late.png"};
    EXPECT_EQ(kinds.flagsOf(select(all)), (SelectionKindFlags{true, true, true}));
    ASSERT_TRUE(QFile::remove(path("gone.txt")));
    ASSERT_TRUE(QFile::remove(path("clip.mov")));
    EXPECT_EQ(kinds.flagsOf(select(all)), (SelectionKindFlags{false, true, true}));
    EXPECT_EQ(kinds.flagsOf(select({"late.png"})), (SelectionKindFlags{false, true, false}));
}

// For every kind of file, renamed or not, the flags are what the full probes say of it alone.
TEST_F(SelectionKindsTest, FlagsAreWhatTheFullProbesSay) {
    ASSERT_TRUE(fixtures::WriteMovie(path("clip.mov")));
    for (const char* renamed : {"clip.txt", "clip", "clip.mp4", "clip.png"})
        ASSERT_TRUE(QFile::copy(path("clip.mov"), path(renamed)));
    ASSERT_TRUE(fixtures::WritePng(path("p.png"), 20, 10));
    for (const char* renamed : {"picture", "picture.txt", "picture.mov", "picture.jpg"})
        ASSERT_TRUE(QFile::copy(path("p.png"), path(renamed)));
    ASSERT_TRUE(fixtures::WriteText(path("notes.txt"), "Dear Ann,\nthe meeting is at 10.\n"));
    ASSERT_TRUE(fixtures::WriteText(path("notes.mov"), "Not a movie at all.\n"));
    ASSERT_TRUE(fixtures::WriteText(path("drawing.txt"),
                                    "/* XPM */\nstatic char* x[] = {\n"
                                    "\"1 1 1 1\", \"a c #ff0000\", \"a\"};\n"));
    ASSERT_TRUE(fixtures::WriteText(path("empty.png"), ""));
    ASSERT_TRUE(fixtures::WriteText(path("site.webloc"), ""));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.mov")));
    // A FIFO whose name says nothing: the cheap look must not wait for a writer.
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    for (const char* name :
         {"clip.mov", "clip.txt", "clip", "clip.mp4", "clip.png", "p.png", "picture", "picture.txt",
          "picture.mov", "picture.jpg", "notes.txt", "notes.mov", "drawing.txt", "empty.png",
          "site.webloc", "folder.mov", "pipe"}) {
        const auto selection = select({name});
        ASSERT_TRUE(selection.front()) << name;
        const FSRef ref = *selection.front();
        const SelectionKindFlags probed{FSIsMovieFile(&ref), FSIsGraphicsFile(&ref),
                                        IsWeblocFile(&ref)};
        EXPECT_EQ(fresh(selection), probed) << name;
    }
}

} // namespace
