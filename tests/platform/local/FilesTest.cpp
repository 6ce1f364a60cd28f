#include "platform/local/files/Files.h"
#include "platform/local/files/AEDesc.h"
#include "platform/local/files/Aliases.h"
#include "platform/local/files/ExtensionRule.h"
#include "platform/local/files/FileUri.h"
#include "tests/support/MediaFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class FilesTest : public ::testing::Test {
protected:
    QByteArray make(const QByteArray& name, const QByteArray& text = "x") {
        const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
        EXPECT_TRUE(fixtures::WriteText(path, text));
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

TEST(ExtensionRule, WhatCountsAsAnExtension) {
    EXPECT_EQ(ExtensionStartIndex(QStringLiteral("archive.tar.gz")), 12);
    EXPECT_FALSE(ExtensionStartIndex(QStringLiteral(".profile")));
    EXPECT_FALSE(ExtensionStartIndex(QStringLiteral("trailing.")));
    EXPECT_FALSE(ExtensionStartIndex(QStringLiteral("notes. draft")));
    EXPECT_EQ(NameWithoutExtension(QStringLiteral("a.b.c")), QStringLiteral("a.b"));
}

TEST_F(FilesTest, DescriptorsCoerceToFileReferences) {
    const QByteArray path = make("with space %.txt");
    FSRef ref;
    ASSERT_EQ(FSPathMakeRef(path, &ref), noErr);

    AEDescList list = AECreateList();
    AEPutDesc(&list, AECreateDesc(typeFileURL, platform::encodeFileUri(path)));
    AEPutDesc(&list, AECreateDesc(typeObjectSpecifier, path));
    AEDesc fileRef;
    ASSERT_EQ(AEGetNthDesc(&list, 1, typeFSRef, &fileRef), noErr);
    ASSERT_EQ(fileRef.data.size(), 80);
    EXPECT_EQ(std::memcmp(fileRef.data.constData(), ref.hidden, 80), 0);
    // An object specifier needs the Finder; it never coerces by itself.
    EXPECT_EQ(AEGetNthDesc(&list, 2, typeFSRef, &fileRef), errAECoercionFail);
    EXPECT_EQ(AEGetNthDesc(&list, 3, typeWildCard, &fileRef), errAEDescNotFound);
    long count = 0;
    EXPECT_EQ(AECountItems(&fileRef, &count), paramErr);
}

} // namespace
