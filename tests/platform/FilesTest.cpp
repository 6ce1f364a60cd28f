#include "platform/Files.h"
#include "platform/AEDesc.h"
#include "platform/Aliases.h"
#include "platform/ExtensionRule.h"
#include "platform/FileUri.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class FilesTest : public ::testing::Test {
protected:
    // Written through the raw bytes of the name, which need not be UTF-8.
    QByteArray make(const QByteArray& name, const QByteArray& text = "x") {
        const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
        const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, text.constData(), size_t(text.size())), text.size());
        close(fd);
        return path;
    }
    QTemporaryDir m_dir;
};

TEST_F(FilesTest, PathRoundTripsThroughAReferenceAndIsTidied) {
    const QByteArray path = make("a.txt");
    FSRef ref;
    Boolean isDirectory = true;
    ASSERT_EQ(FSPathMakeRef(QFile::encodeName(m_dir.path()) + "//./a.txt", &ref, &isDirectory),
              noErr);
    EXPECT_FALSE(isDirectory);
    UInt8 buffer[4096];
    ASSERT_EQ(FSRefMakePath(&ref, buffer, sizeof buffer), noErr);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(buffer)), path);
    EXPECT_EQ(FSRefMakePath(&ref, buffer, UInt32(path.size())), pathTooLongErr);

    FSRef again;
    ASSERT_EQ(FSPathMakeRef(path, &again), noErr);
    EXPECT_TRUE(FSCompareFSRefs(&ref, &again));
}

TEST_F(FilesTest, ReferenceDiesWhenItsPathNamesAnotherItem) {
    const QByteArray path = make("a.txt");
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(path, &ref), noErr);
    AliasHandle alias;
    ASSERT_EQ(FSNewAlias(nullptr, &ref, &alias), noErr);

    // Replace the file by another one of the same name: nothing may now act on the newcomer.
    ASSERT_EQ(unlink(path.constData()), 0);
    make("a.txt", "impostor");
    EXPECT_EQ(FSIsFSRefValid(&ref), fnfErr);
    UInt8 buffer[64];
    EXPECT_EQ(FSRefMakePath(&ref, buffer, sizeof buffer), fnfErr);
    FSRef resolved;
    Boolean changed = true;
    EXPECT_EQ(
        FSResolveAliasWithMountFlags(nullptr, alias, &resolved, &changed, kResolveAliasFileNoUI),
        fnfErr);
}

TEST_F(FilesTest, BadPathsAndAliasesAreRefused) {
    FSRef ref;
    EXPECT_EQ(FSPathMakeRef(QByteArray(), &ref), paramErr);
    EXPECT_EQ(FSPathMakeRef(QByteArray("/tmp/a\0b", 8), &ref), paramErr);
    EXPECT_EQ(FSPathMakeRef(QFile::encodeName(m_dir.path()) + "/missing", &ref), fnfErr);
    FSRef garbage{};
    EXPECT_EQ(FSIsFSRefValid(&garbage), fnfErr);
    Boolean changed;
    EXPECT_EQ(FSResolveAliasWithMountFlags(nullptr, QByteArray("not an alias"), &ref, &changed, 0),
              paramErr);
}

TEST_F(FilesTest, NonUtf8NamesAreKeptAsBytes) {
    const QByteArray path = make("\xff\xfe.txt");
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(path, &ref), noErr);
    QByteArray name;
    ASSERT_EQ(FSGetNameBytes(&ref, &name), noErr);
    EXPECT_EQ(name, QByteArray("\xff\xfe.txt"));
}

TEST_F(FilesTest, ExtensionHiddenFlagIsStoredOnTheItem) {
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(make("a.txt"), &ref), noErr);
    Boolean hidden = true;
    ASSERT_EQ(LSGetExtensionHiddenForRef(&ref, &hidden), noErr);
    EXPECT_FALSE(hidden);
    ASSERT_EQ(LSSetExtensionHiddenForRef(&ref, true), noErr);
    ASSERT_EQ(LSGetExtensionHiddenForRef(&ref, &hidden), noErr);
    EXPECT_TRUE(hidden);
    ASSERT_EQ(LSSetExtensionHiddenForRef(&ref, false), noErr);
    ASSERT_EQ(LSSetExtensionHiddenForRef(&ref, false), noErr);
    ASSERT_EQ(LSGetExtensionHiddenForRef(&ref, &hidden), noErr);
    EXPECT_FALSE(hidden);
}

TEST(ExtensionRule, WhatCountsAsAnExtension) {
    EXPECT_EQ(ExtensionStartIndex(QStringLiteral("report.pdf")), 7);
    EXPECT_EQ(ExtensionStartIndex(QStringLiteral("archive.tar.gz")), 12);
    EXPECT_EQ(ExtensionStartIndex(QStringLiteral("page.WEBLOC")), 5);
    EXPECT_FALSE(ExtensionStartIndex(QStringLiteral("README")));
    EXPECT_FALSE(ExtensionStartIndex(QStringLiteral(".profile")));
    EXPECT_FALSE(ExtensionStartIndex(QStringLiteral("trailing.")));
    EXPECT_FALSE(ExtensionStartIndex(QStringLiteral("notes. draft")));
    EXPECT_EQ(NameWithoutExtension(QStringLiteral("a.b.c")), QStringLiteral("a.b"));
    EXPECT_EQ(NameWithoutExtension(QStringLiteral(".profile")), QStringLiteral(".profile"));
}

TEST_F(FilesTest, DescriptorsCoerceToFileReferences) {
    const QByteArray path = make("with space %.txt");
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(path, &ref), noErr);

    AEDescList list = AECreateList();
    AEPutDesc(&list, AECreateDesc(typeFileURL, platform::encodeFileUri(path)));
    AEPutDesc(&list, AECreateDesc(typeObjectSpecifier, path));
    long count = 0;
    ASSERT_EQ(AECountItems(&list, &count), noErr);
    EXPECT_EQ(count, 2);

    AEDesc fileRef;
    ASSERT_EQ(AEGetNthDesc(&list, 1, typeFSRef, &fileRef), noErr);
    ASSERT_EQ(fileRef.data.size(), 80);
    EXPECT_EQ(std::memcmp(fileRef.data.constData(), ref.hidden, 80), 0);
    // An object specifier needs the Finder; it never coerces by itself.
    EXPECT_EQ(AEGetNthDesc(&list, 2, typeFSRef, &fileRef), errAECoercionFail);
    EXPECT_EQ(AEGetNthDesc(&list, 3, typeWildCard, &fileRef), errAEDescNotFound);
    AEDesc notAList = AECreateDesc(typeFSRef, {});
    EXPECT_EQ(AECountItems(&notAList, &count), paramErr);
}

} // namespace
