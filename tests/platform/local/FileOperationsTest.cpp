// Renaming and copying real files: what may change, and what must never.
#include "platform/local/files/FileOperations.h"
#include "platform/local/files/Files.h"
#include "tests/support/FileTree.h"
#include "tests/support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

class FileOperationsTest : public ::testing::Test {
protected:
    FSRef ref(const QString& name) const {
        FSRef result{};
        EXPECT_EQ(FSPathMakeRef(QFile::encodeName(m_files.path(name)), &result), noErr);
        return result;
    }
    QByteArray attribute(const QString& name, const char* attributeName) const {
        char value[64];
        const ssize_t size = ::getxattr(QFile::encodeName(m_files.path(name)).constData(),
                                        attributeName, value, sizeof value);
        return size < 0 ? QByteArray() : QByteArray(value, size);
    }
    QTemporaryDir m_dir;
    fixtures::FileTree m_files{m_dir.path()};
};

TEST_F(FileOperationsTest, CaseOnlyRenameNeverReplacesTheOtherName) {
    m_files.file(QStringLiteral("notes.txt"), "n");
    FSRef item = ref(QStringLiteral("notes.txt"));
    ASSERT_EQ(FSRenameUnicode(&item, QStringLiteral("notes.txt"), &item), noErr);
    ASSERT_EQ(FSRenameUnicode(&item, QStringLiteral("NOTES.TXT"), &item), noErr);
    EXPECT_EQ(m_files.snapshot(), QStringList{QStringLiteral("NOTES.TXT = n")});
    EXPECT_EQ(FSIsFSRefValid(&item), noErr);

    // The new name leads to the item itself, as on a file system that ignores case; here it is a
    // second hard link, so passing through the temporary name must end in a refusal, with both
    // names in place and no temporary name left behind.
    ASSERT_EQ(::link(QFile::encodeName(m_files.path(QStringLiteral("NOTES.TXT"))),
                     QFile::encodeName(m_files.path(QStringLiteral("notes.txt")))),
              0);
    const QStringList before = m_files.snapshot();
    EXPECT_EQ(FSRenameUnicode(&item, QStringLiteral("notes.txt"), &item), dupFNErr);
    EXPECT_EQ(m_files.snapshot(), before);
}

// Renaming and deleting look at the item through its folder: an item put in place of the one the
// reference names, or a folder put in place of its folder, is left alone.
TEST_F(FileOperationsTest, StaleReferencesRenameAndDeleteNothing) {
    m_files.file(QStringLiteral("dir/a.txt"), "mine");
    m_files.file(QStringLiteral("b.txt"), "mine");
    const FSRef inFolder = ref(QStringLiteral("dir/a.txt"));
    const FSRef file = ref(QStringLiteral("b.txt"));
    ASSERT_EQ(::rename(QFile::encodeName(m_files.path(QStringLiteral("dir"))),
                       QFile::encodeName(m_files.path(QStringLiteral("moved")))),
              0);
    m_files.file(QStringLiteral("dir/a.txt"), "impostor");
    ASSERT_EQ(::unlink(QFile::encodeName(m_files.path(QStringLiteral("b.txt")))), 0);
    m_files.file(QStringLiteral("b.txt"), "impostor");
    const QStringList before = m_files.snapshot();
    for (const FSRef& stale : {inFolder, file}) {
        FSRef renamed = stale;
        EXPECT_EQ(FSRenameUnicode(&stale, QStringLiteral("C.TXT"), &renamed), fnfErr);
        EXPECT_EQ(FSDeleteObject(&stale), fnfErr);
    }
    EXPECT_EQ(m_files.snapshot(), before);
}

TEST_F(FileOperationsTest, BadNamesLeaveEverythingAsItWas) {
    m_files.file(QStringLiteral("a.txt"));
    FSRef item = ref(QStringLiteral("a.txt"));
    m_files.file(QStringLiteral("sub/b.txt"));
    const QStringList before = m_files.snapshot();
    const QString bad[] = {QString(),
                           QStringLiteral("."),
                           QStringLiteral(".."),
                           QStringLiteral("../a.txt"),
                           QStringLiteral("sub/b.txt"),
                           QStringLiteral("nul") + QChar(0),
                           QString(QChar(0xD800))};
    for (const QString& name : bad)
        EXPECT_EQ(FSRenameUnicode(&item, name, &item), bdNamErr) << name.toStdString();
    // 128 two-byte letters make 256 bytes, one more than a name may have.
    EXPECT_EQ(FSRenameUnicode(&item, QString(128, QChar(0xE9)), &item), errFSNameTooLong);
    EXPECT_EQ(m_files.snapshot(), before);
    EXPECT_EQ(FSRenameUnicode(&item, QString(127, QChar(0xE9)) + u'x', &item), noErr);
}

TEST_F(FileOperationsTest, CopyIsCompleteAndNeverFollowsLinksOrReplaces) {
    m_files.file(QStringLiteral("outside/secret.txt"), "not to be copied");
    const QString doc = m_files.file(QStringLiteral("src/doc.pdf"), "pdf bytes");
    ASSERT_EQ(::setxattr(QFile::encodeName(doc), "user.velmora.extension-hidden", "1", 1, 0), 0);
    ASSERT_EQ(::setxattr(QFile::encodeName(doc), "user.velmora.custom-icon", "icon", 4, 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(doc), 04751), 0);
    m_files.file(QStringLiteral("src/sub/deep.txt"), "deep");
    m_files.link(QStringLiteral("src/sub/out"), QStringLiteral("../../outside"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_files.path(QStringLiteral("src/pipe"))), 0600), 0);
    m_files.folder(QStringLiteral("dest"));
    const FSRef source = ref(QStringLiteral("src"));
    const FSRef dest = ref(QStringLiteral("dest"));

    FSRef copy;
    ASSERT_EQ(FSCopyObjectSync(&source, &dest, std::nullopt, &copy), noErr);
    QByteArray copyPath;
    ASSERT_EQ(FSRefCopyPath(&copy, &copyPath), noErr);
    EXPECT_EQ(QFile::decodeName(copyPath), m_files.path(QStringLiteral("dest/src")));
    const QStringList copied = m_files.snapshot().filter(QStringLiteral("dest/"));
    EXPECT_EQ(copied,
              QStringList({"dest/src", "dest/src/doc.pdf = pdf bytes", "dest/src/sub",
                           "dest/src/sub/deep.txt = deep", "dest/src/sub/out -> ../../outside"}));
    EXPECT_EQ(attribute(QStringLiteral("dest/src/doc.pdf"), "user.velmora.extension-hidden"), "1");
    EXPECT_EQ(attribute(QStringLiteral("dest/src/doc.pdf"), "user.velmora.custom-icon"), "icon");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(m_files.path(QStringLiteral("dest/src/doc.pdf"))), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u); // set-user-ID dropped

    // Taken names, bad names and a folder copied into itself: refused, nothing changes.
    const FSRef sub = ref(QStringLiteral("src/sub"));
    const QStringList before = m_files.snapshot();
    EXPECT_EQ(FSCopyObjectSync(&source, &dest, std::nullopt, nullptr), dupFNErr);
    EXPECT_EQ(FSCopyObjectSync(&source, &dest, QStringLiteral("a/b"), nullptr), bdNamErr);
    EXPECT_EQ(FSCopyObjectSync(&source, &sub, std::nullopt, nullptr), paramErr);
    EXPECT_EQ(FSCopyObjectSync(&source, &source, std::nullopt, nullptr), paramErr);
    EXPECT_EQ(m_files.snapshot(), before);
}

} // namespace
