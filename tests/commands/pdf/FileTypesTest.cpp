// Text or not, and MIME types: by the extension first, then the world's mapping table.
#include "commands/pdf/FileTypes.h"
#include "platform/world/World.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class FileTypesTest : public ::testing::Test {
protected:
    FileTypesTest() { gSuffixMap.clear(); }
    ~FileTypesTest() override { gSuffixMap.clear(); }

    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    void touch(const QString& name) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    void useTable(const QByteArray& table) {
        QFile file(m_world.fileMappingTable());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(table);
        file.close();
        InitializeSuffixMap();
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(FileTypesTest, TextIsRichTextPlainTextAnyTextOrMailAndNeedsAnExtension) {
    for (const char* name : {"a.txt", "b.rtf", "c.html", "d.eml", "e.c", "f.TXT"})
        EXPECT_TRUE(FileIsText(path(QLatin1String(name)))) << name;
    for (const char* name : {"a.png", "b.pdf", "README", ".profile", "trailing.", "a.zzq"})
        EXPECT_FALSE(FileIsText(path(QLatin1String(name)))) << name;
}

TEST_F(FileTypesTest, TheTableAnswersForExistingFilesInItsOwnCaseAndItsLastEntryWins) {
    useTable("# comment line\n"
             "application/x-first\tzzq\n"
             "application/x-second zzq other  # the second zzq wins\n"
             "APPLICATION/X-UPPER ZZQ\n");
    ASSERT_EQ(gSuffixMap.count, 3);
    for (const char* name : {"a.zzq", "b.ZZQ", "c.Zzq", "d.other"})
        touch(QLatin1String(name));
    EXPECT_EQ(MimeTypeForPath(path("a.zzq")), QStringLiteral("application/x-second"));
    EXPECT_EQ(MimeTypeForPath(path("b.ZZQ")), QStringLiteral("APPLICATION/X-UPPER"));
    EXPECT_FALSE(MimeTypeForPath(path("c.Zzq")));
    EXPECT_EQ(MimeTypeForPath(path("d.other")), QStringLiteral("application/x-second"));
    EXPECT_FALSE(MimeTypeForPath(path("missing.zzq")));
}

TEST_F(FileTypesTest, AMissingTableLeavesTheMapEmpty) {
    QFile::remove(m_world.fileMappingTable());
    InitializeSuffixMap();
    EXPECT_EQ(gSuffixMap.count, 0);
    touch("a.zzq");
    EXPECT_FALSE(MimeTypeForPath(path("a.zzq")));
}

} // namespace
