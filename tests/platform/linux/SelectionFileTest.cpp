#include "platform/linux/SelectionFile.h"
#include "platform/local/files/FileUri.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace platform::linuxdesk;
using platform::decodeFileUri;
using platform::encodeFileUri;
using Paths = std::vector<QByteArray>;

namespace {

class SelectionDir : public ::testing::Test {
protected:
    QByteArray path(const char* name = nullptr) const {
        const QByteArray root = QFile::encodeName(m_dir.path());
        return name ? root + '/' + name : root;
    }
    QByteArray folder() const { return path("velmora"); }
    QByteArray selection() const { return folder() + "/finder-selection"; }
    static void put(const QByteArray& file, const QByteArray& contents) {
        QFile out(QFile::decodeName(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(contents), contents.size());
    }
    // A failed write must leave what was there before, and nothing else.
    void expectPreviousIntact(const Paths& previous) const {
        EXPECT_EQ(readSelectionFile(selection()), previous);
        EXPECT_EQ(QDir(QFile::decodeName(folder()))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList({"finder-selection", "finder-selection.lock"}));
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(FileUriTest, EveryByteRoundTripsAndNothingElseIsALocalFile) {
    QByteArray path = "/";
    for (int byte = 1; byte < 256; ++byte)
        path += char(byte);
    EXPECT_EQ(encodeFileUri(path).indexOf('\n'), -1);
    EXPECT_EQ(decodeFileUri(encodeFileUri(path)), path);
    EXPECT_EQ(decodeFileUri("FILE://LocalHost/caf%c3%a9\r"), QByteArray("/caf\xc3\xa9"));
    for (const QByteArray& bad :
         Paths{"", "/tmp/x", "# comment", "sftp://host/tmp/x", "file://otherhost/tmp/x",
               "file://localhost", "file:tmp/x", "file:///bad%2", "file:///bad%zz/x",
               "file:///nul%00x", "file:///a?query", "file:///a#fragment", "file:///tab\there"}) {
        EXPECT_EQ(decodeFileUri(bad), std::nullopt) << bad.constData();
    }
}

TEST(ParseSelectionTest, KeepsValidLinesInOrderAndSkipsTheRest) {
    const QByteArray contents = "# written by hand\nfile:///b\r\n\ngarbage\nfile:///a%20z\n"
                                "sftp://host/c\nfile:///last-without-newline";
    EXPECT_EQ(parseSelection(contents), Paths({"/b", "/a z", "/last-without-newline"}));
}

TEST_F(SelectionDir, EmptyFileIsNoSelectionAndSpecialFilesAreRefused) {
    put(path("empty"), "");
    EXPECT_EQ(readSelectionFile(path("empty")), Paths());
    EXPECT_EQ(readSelectionFile(path("missing")), std::nullopt);
    EXPECT_EQ(readSelectionFile(path()), std::nullopt);

    ASSERT_EQ(::mkfifo(path("fifo").constData(), 0600), 0);
    auto fromFifo = std::async(std::launch::async, [&] { return readSelectionFile(path("fifo")); });
    const bool finished = fromFifo.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!finished)
        ::close(::open(path("fifo").constData(), O_WRONLY | O_NONBLOCK)); // let the reader go
    EXPECT_TRUE(finished) << "reading a FIFO blocked";
    EXPECT_EQ(fromFifo.get(), std::nullopt);

    QByteArray overLimit = "file:///first\n";
    overLimit.append(kMaxSelectionFileSize, 'x');
    put(path("over-limit"), overLimit);
    EXPECT_EQ(readSelectionFile(path("over-limit")), std::nullopt);
}

TEST_F(SelectionDir, WritesAwkwardPathsThatReadBackExactly) {
    const QByteArray nested = path("not/yet/there");
    // Every byte's escape is checked above; here the line breaks that end the file's lines.
    const Paths awkward = {"/", "/home/me/new\nline\r", QByteArray("/home/me/\xff\xfe.txt")};
    QString error;
    ASSERT_TRUE(writeSelectionFile(nested, awkward, &error)) << error.toStdString();
    EXPECT_EQ(readSelectionFile(nested + "/finder-selection"), awkward);
    struct stat st {};
    ASSERT_EQ(::stat(nested.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(::stat((nested + "/finder-selection").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(SelectionDir, RefusedWritesLeaveThePreviousSelection) {
    const Paths previous = {"/previous"};
    ASSERT_TRUE(writeSelectionFile(folder(), previous, nullptr));
    QString error;
    EXPECT_FALSE(writeSelectionFile(folder(), {"/fine", "relative"}, &error));
    EXPECT_FALSE(writeSelectionFile(folder(), {QByteArray("/nul\0byte", 9)}, &error));
    expectPreviousIntact(previous);

    ASSERT_EQ(::symlink(folder().constData(), path("link").constData()), 0);
    EXPECT_FALSE(writeSelectionFile(path("link"), {"/new"}, &error));
    EXPECT_TRUE(error.contains("symlink")) << error.toStdString();
    expectPreviousIntact(previous);

    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder().constData(), 4242, 4242), 0);
        EXPECT_FALSE(writeSelectionFile(folder(), {"/new"}, &error));
        ASSERT_EQ(::chown(folder().constData(), 0, 0), 0);
        expectPreviousIntact(previous);
    }
}

// Whoever can plant the file could choose what Velmora renames: the reader trusts only a folder
// and a file the writer itself would have written.
TEST_F(SelectionDir, TheReaderRefusesWhatTheWriterWouldRefuse) {
    ASSERT_TRUE(writeSelectionFile(folder(), {"/mine"}, nullptr));
    ASSERT_EQ(readSelectionFile(selection()), Paths({"/mine"}));
    ASSERT_EQ(::symlink(folder().constData(), path("link").constData()), 0);
    EXPECT_EQ(readSelectionFile(path("link") + "/finder-selection"), std::nullopt);

    ASSERT_EQ(::chmod(folder().constData(), 0777), 0);
    EXPECT_EQ(readSelectionFile(selection()), std::nullopt);
    ASSERT_EQ(::chmod(folder().constData(), 0700), 0);
    EXPECT_EQ(readSelectionFile(selection()), Paths({"/mine"}));

    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(selection().constData(), 4242, 4242), 0);
        EXPECT_EQ(readSelectionFile(selection()), std::nullopt);
        ASSERT_EQ(::chown(selection().constData(), 0, 0), 0);
        ASSERT_EQ(::chown(folder().constData(), 4242, 4242), 0);
        EXPECT_EQ(readSelectionFile(selection()), std::nullopt);
    }
}

TEST_F(SelectionDir, FailedReplaceRemovesItsTemporaryFile) {
    ASSERT_EQ(::mkdir(folder().constData(), 0700), 0);
    ASSERT_EQ(::mkdir(selection().constData(), 0700), 0);
    QString error;
    EXPECT_FALSE(writeSelectionFile(folder(), {"/new"}, &error));
    EXPECT_EQ(QDir(QFile::decodeName(folder())).entryList(QDir::Files | QDir::Hidden),
              QStringList({"finder-selection.lock"}));
}

TEST_F(SelectionDir, LockShowsAWriteInProgressAndHoldsOffWriters) {
    ASSERT_TRUE(writeSelectionFile(folder(), {"/previous"}, nullptr));
    EXPECT_FALSE(selectionBeingWritten(folder()));
    // Held through a file description of its own, as another process would hold it.
    const int lock = ::open((folder() + "/finder-selection.lock").constData(), O_RDWR);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    EXPECT_TRUE(selectionBeingWritten(folder()));
    QString error;
    EXPECT_FALSE(writeSelectionFile(folder(), {"/new"}, &error));
    expectPreviousIntact({"/previous"});

    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::close(lock);
    });
    EXPECT_TRUE(writeSelectionFile(folder(), {"/after-wait"}, &error)) << error.toStdString();
    releaser.join();
    EXPECT_EQ(readSelectionFile(selection()), Paths({"/after-wait"}));
}
