// A confined folder reads only the regular files inside it, within a cap: not through "..", an
// absolute path or a link that leads out, not a FIFO (which would block) or a device.
#include "platform/local/files/ReadOnlyFile.h"
#include "tests/support/FileTree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

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
