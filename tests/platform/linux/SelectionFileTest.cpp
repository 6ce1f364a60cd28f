#include "platform/linux/SelectionFile.h"
#include "platform/FileUri.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform::linuxdesk;
using platform::decodeFileUri;
using platform::encodeFileUri;
using Paths = std::vector<QByteArray>;

namespace {

// Every kind of byte a Linux file name can hold, including those a URI must escape.
const Paths kAwkwardPaths = {
    "/",
    "/home/me/plain.txt",
    "/home/me/with space/and \"quotes\" 'too'",
    "/home/me/new\nline\r",
    "/home/me/100% #1? &a=b;c",
    QByteArray("/home/me/\xff\xfe.txt"),
    QByteArray("/home/me/caf\xc3\xa9/\x01\x7f"),
    "/home/me/file:///not-a-uri",
};

class SelectionDir : public ::testing::Test {
protected:
    QByteArray path(const char* name = nullptr) const {
        const QByteArray root = QFile::encodeName(dir_.path());
        return name ? root + '/' + name : root;
    }
    QByteArray folder() const { return path("velmora"); }
    QByteArray selection() const { return folder() + "/finder-selection"; }

    static void put(const QByteArray& file, const QByteArray& contents) {
        QFile out(QFile::decodeName(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(contents), contents.size());
    }
    static mode_t modeOf(const QByteArray& file) {
        struct stat st {};
        EXPECT_EQ(::lstat(file.constData(), &st), 0);
        return st.st_mode & 07777;
    }
    QStringList entries() const {
        return QDir(QFile::decodeName(folder()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    // A failed write must leave what was there before, and nothing else.
    void expectPreviousIntact(const Paths& previous) const {
        EXPECT_EQ(readSelectionFile(selection()), previous);
        EXPECT_EQ(entries(), QStringList({"finder-selection", "finder-selection.lock"}));
    }

private:
    QTemporaryDir dir_;
};

// Holds the write lock through its own open file description, as another process would.
class ForeignLock {
public:
    explicit ForeignLock(const QByteArray& folder, int operation = LOCK_EX)
        : fd_(::open((folder + "/finder-selection.lock").constData(), O_RDWR | O_CREAT, 0600)) {
        EXPECT_EQ(::flock(fd_, operation), 0);
    }
    ~ForeignLock() { release(); }
    void release() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

} // namespace

TEST(SelectionFolderTest, FollowsRuntimeThenCacheThenHome) {
    EXPECT_EQ(selectionFolder("/run/user/1000", "/c", "/h"), "/run/user/1000/velmora");
    EXPECT_EQ(selectionFolder("/run/user/1000//", "", ""), "/run/user/1000/velmora");
    EXPECT_EQ(selectionFolder("", "/c", "/h"), "/c/velmora");
    EXPECT_EQ(selectionFolder("", "", "/home/me"), "/home/me/.cache/velmora");
    // Relative values are ignored, as the XDG rules require.
    EXPECT_EQ(selectionFolder("run", "cache", "/home/me"), "/home/me/.cache/velmora");
    EXPECT_EQ(selectionFolder("", "", ""), "");
    EXPECT_EQ(selectionFolder("", "", "relative"), "");
    EXPECT_EQ(selectionFilePath("/r", "", ""), "/r/velmora/finder-selection");
    EXPECT_EQ(selectionFilePath("", "", ""), "");
}

TEST(FileUriTest, EncodesEveryByteThatIsNotUnreserved) {
    EXPECT_EQ(encodeFileUri("/Az09-._~/x"), "file:///Az09-._~/x");
    EXPECT_EQ(encodeFileUri(QByteArray("/a b/%/\n/#?/\xff")), "file:///a%20b/%25/%0A/%23%3F/%FF");
}

TEST(FileUriTest, EveryByteRoundTrips) {
    QByteArray path = "/";
    for (int byte = 1; byte < 256; ++byte)
        path += char(byte);
    const QByteArray uri = encodeFileUri(path);
    EXPECT_EQ(uri.indexOf('\n'), -1);
    EXPECT_EQ(decodeFileUri(uri), path);
    for (const QByteArray& awkward : kAwkwardPaths)
        EXPECT_EQ(decodeFileUri(encodeFileUri(awkward)), awkward);
}

TEST(FileUriTest, AcceptsLocalhostAnyCaseLowercaseEscapesAndTrailingCr) {
    EXPECT_EQ(decodeFileUri("file:///tmp/x"), "/tmp/x");
    EXPECT_EQ(decodeFileUri("FILE://LocalHost/tmp/x"), "/tmp/x");
    EXPECT_EQ(decodeFileUri("file:///caf%c3%a9\r"), QByteArray("/caf\xc3\xa9"));
    EXPECT_EQ(decodeFileUri("file:///a%2Fb"), "/a/b");
}

TEST(FileUriTest, RejectsWhatIsNotALocalFile) {
    for (const QByteArray& bad :
         Paths{"", "/tmp/x", "tmp/x", "# comment", "http://host/x", "sftp://host/tmp/x",
               "file://otherhost/tmp/x", "file://", "file://localhost", "file:tmp/x",
               " file:///tmp/x", "file:///bad%2", "file:///bad%zz/x", "file:///nul%00x",
               "file:///a?query", "file:///a#fragment", "file:///tab\there", "file:///a\r\r"}) {
        EXPECT_EQ(decodeFileUri(bad), std::nullopt) << bad.constData();
    }
}

TEST(ParseSelectionTest, KeepsValidLinesInOrderAndSkipsTheRest) {
    const QByteArray contents = "# written by hand\n"
                                "file:///b\r\n"
                                "\n"
                                "garbage\n"
                                "file:///a%20z\n"
                                "sftp://host/c\n"
                                "file:///b\n"
                                "file:///last-without-newline";
    EXPECT_EQ(parseSelection(contents), Paths({"/b", "/a z", "/b", "/last-without-newline"}));
    EXPECT_EQ(parseSelection(""), Paths());
}

TEST_F(SelectionDir, ReadsAnEmptyFileAsNoSelectionAndSpecialFilesAsNone) {
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

    put(path("real"), "file:///x\n");
    ASSERT_EQ(::symlink(path("real").constData(), path("link").constData()), 0);
    EXPECT_EQ(readSelectionFile(path("link")), std::nullopt);
}

TEST_F(SelectionDir, RefusesFilesOverTheSizeLimitButNotAtIt) {
    QByteArray atLimit = "file:///first\n";
    atLimit.append(kMaxSelectionFileSize - atLimit.size() - 1, 'x');
    atLimit += '\n';
    put(path("at-limit"), atLimit);
    EXPECT_EQ(readSelectionFile(path("at-limit")), Paths({"/first"}));

    put(path("over-limit"), atLimit + "file:///more\n");
    EXPECT_EQ(readSelectionFile(path("over-limit")), std::nullopt);
}

TEST_F(SelectionDir, WritesAwkwardPathsThatReadBackExactly) {
    const QByteArray nested = path("not/yet/there");
    QString error;
    ASSERT_TRUE(writeSelectionFile(nested, kAwkwardPaths, &error)) << error.toStdString();
    EXPECT_EQ(readSelectionFile(nested + "/finder-selection"), kAwkwardPaths);
    EXPECT_EQ(modeOf(nested), 0700u);
    EXPECT_EQ(modeOf(path("not")), 0700u);
    EXPECT_EQ(modeOf(nested + "/finder-selection"), 0600u);
    EXPECT_EQ(modeOf(nested + "/finder-selection.lock"), 0600u);
}

TEST_F(SelectionDir, EmptySelectionClearsThePreviousOne) {
    ASSERT_TRUE(writeSelectionFile(folder(), {"/a", "/b"}, nullptr));
    ASSERT_TRUE(writeSelectionFile(folder(), {}, nullptr));
    EXPECT_EQ(readSelectionFile(selection()), Paths());
}

TEST_F(SelectionDir, TightensAnOpenFolderOfItsOwn) {
    ASSERT_EQ(::mkdir(folder().constData(), 0755), 0);
    ASSERT_TRUE(writeSelectionFile(folder(), {"/a"}, nullptr));
    EXPECT_EQ(modeOf(folder()), 0700u);
}

TEST_F(SelectionDir, RefusedWritesLeaveThePreviousSelection) {
    const Paths previous = {"/previous"};
    ASSERT_TRUE(writeSelectionFile(folder(), previous, nullptr));
    QString error;

    EXPECT_FALSE(writeSelectionFile(folder(), {"/fine", "relative"}, &error));
    EXPECT_TRUE(error.contains("relative")) << error.toStdString();
    EXPECT_FALSE(writeSelectionFile(folder(), {QByteArray("/nul\0byte", 9)}, &error));
    expectPreviousIntact(previous);

    ASSERT_EQ(::symlink(folder().constData(), path("link").constData()), 0);
    EXPECT_FALSE(writeSelectionFile(path("link"), {"/new"}, &error));
    EXPECT_TRUE(error.contains("symlink")) << error.toStdString();
    expectPreviousIntact(previous);

    put(path("plain-file"), "keep me");
    EXPECT_FALSE(writeSelectionFile(path("plain-file"), {"/new"}, &error));
    EXPECT_TRUE(error.contains("not a folder")) << error.toStdString();
    EXPECT_FALSE(writeSelectionFile("", {"/new"}, &error));
}

TEST_F(SelectionDir, FailedReplaceRemovesItsTemporaryFile) {
    ASSERT_EQ(::mkdir(folder().constData(), 0700), 0);
    ASSERT_EQ(::mkdir(selection().constData(), 0700), 0);
    QString error;
    EXPECT_FALSE(writeSelectionFile(folder(), {"/new"}, &error));
    EXPECT_TRUE(error.contains("replace")) << error.toStdString();
    EXPECT_EQ(entries(), QStringList({"finder-selection", "finder-selection.lock"}));
}

TEST_F(SelectionDir, RefusesAFolderOfAnotherUser) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a folder away needs root";
    ASSERT_TRUE(writeSelectionFile(folder(), {"/previous"}, nullptr));
    ASSERT_EQ(::chown(folder().constData(), 4242, 4242), 0);
    QString error;
    EXPECT_FALSE(writeSelectionFile(folder(), {"/new"}, &error));
    EXPECT_TRUE(error.contains("4242")) << error.toStdString();
    expectPreviousIntact({"/previous"});
}

TEST_F(SelectionDir, LockShowsAWriteInProgressAndHoldsOffWriters) {
    EXPECT_FALSE(selectionBeingWritten(folder()));
    EXPECT_FALSE(selectionBeingWritten(""));
    ASSERT_TRUE(writeSelectionFile(folder(), {"/previous"}, nullptr));
    EXPECT_FALSE(selectionBeingWritten(folder()));
    {
        ForeignLock reader(folder(), LOCK_SH);
        EXPECT_FALSE(selectionBeingWritten(folder()));
    }

    ForeignLock writer(folder());
    EXPECT_TRUE(selectionBeingWritten(folder()));
    QString error;
    EXPECT_FALSE(writeSelectionFile(folder(), {"/new"}, &error));
    EXPECT_TRUE(error.contains("writing")) << error.toStdString();
    expectPreviousIntact({"/previous"});

    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        writer.release();
    });
    EXPECT_TRUE(writeSelectionFile(folder(), {"/after-wait"}, &error)) << error.toStdString();
    releaser.join();
    EXPECT_FALSE(selectionBeingWritten(folder()));
    EXPECT_EQ(readSelectionFile(selection()), Paths({"/after-wait"}));
}
