// Reading the files a user, a selection or a page names: only regular files, within a cap, and
// from a confined folder only what lies inside it.
#include "platform/local/ReadOnlyFile.h"
#include "tests/support/FileTree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A FIFO without a writer would block an ordinary open, a device never ends: both are refused
// at once, directly or through a link, and so is a file over its cap.
TEST(ReadOnlyFile, OnlyRegularFilesWithinTheirCapAreRead) {
    QTemporaryDir dir;
    fixtures::FileTree files(dir.path());
    files.file(QStringLiteral("ten"), "0123456789");
    ASSERT_EQ(mkfifo(QFile::encodeName(files.path(QStringLiteral("fifo"))).constData(), 0600), 0);
    files.link(QStringLiteral("to-fifo"), files.path(QStringLiteral("fifo")));
    files.link(QStringLiteral("to-zero"), QStringLiteral("/dev/zero"));
    files.link(QStringLiteral("to-ten"), QStringLiteral("ten"));

    EXPECT_EQ(ReadRegularFile(files.path(QStringLiteral("to-ten")), 10), QByteArray("0123456789"));
    EXPECT_EQ(ReadRegularFile(files.path(QStringLiteral("ten")), 9), std::nullopt);
    EXPECT_EQ(OpenRegularFile(files.path(QStringLiteral("ten")), 9), nullptr);
    for (const QString& name : {QStringLiteral("fifo"), QStringLiteral("to-fifo"),
                                QStringLiteral("to-zero"), QString()}) {
        EXPECT_EQ(ReadRegularFile(files.path(name), 1 << 20), std::nullopt) << name.toStdString();
        EXPECT_EQ(OpenRegularFile(files.path(name)), nullptr) << name.toStdString();
    }
}

TEST(ConfinedFolder, FilesAreReadOnlyFromInsideTheFolder) {
    QTemporaryDir dir;
    fixtures::FileTree files(dir.path());
    const QString secret = files.file(QStringLiteral("outside/secret"), "secret");
    files.file(QStringLiteral("page/in"), "in");
    files.file(QStringLiteral("page/sub/deep"), "deep");
    files.file(QStringLiteral("page/big"), QByteArray(100, 'b'));
    files.link(QStringLiteral("page/inner-link"), QStringLiteral("sub/deep"));
    files.link(QStringLiteral("page/sub/up-but-inside"), QStringLiteral("../in"));
    files.link(QStringLiteral("page/absolute-link"), secret);
    files.link(QStringLiteral("page/relative-link-out"), QStringLiteral("../outside/secret"));
    files.link(QStringLiteral("page/zero"), QStringLiteral("/dev/zero"));
    ASSERT_EQ(mkfifo(QFile::encodeName(files.path(QStringLiteral("page/fifo"))).constData(), 0600),
              0);
    const ConfinedFolder page(files.path(QStringLiteral("page")));

    for (const auto& [name, content] : {std::pair{"in", "in"},
                                        {"sub/deep", "deep"},
                                        {"inner-link", "deep"},
                                        {"sub/up-but-inside", "in"},
                                        {"sub/../in", "in"}})
        EXPECT_EQ(page.read(QString::fromLatin1(name), 100), QByteArray(content)) << name;
    for (const QString& name :
         {QStringLiteral("../outside/secret"), secret, QStringLiteral("absolute-link"),
          QStringLiteral("relative-link-out"), QStringLiteral("zero"), QStringLiteral("fifo"),
          QStringLiteral("sub"), QStringLiteral("missing"), QString()})
        EXPECT_EQ(page.read(name, 100), std::nullopt) << name.toStdString();
    EXPECT_EQ(page.read(QStringLiteral("big"), 99), std::nullopt);
    EXPECT_EQ(ConfinedFolder(files.path(QStringLiteral("gone"))).read(QStringLiteral("in"), 100),
              std::nullopt);
}

} // namespace
