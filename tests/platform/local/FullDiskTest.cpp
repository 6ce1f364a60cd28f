// Every writer on a full disk: the file it would replace stays byte for byte, nothing is left
// beside it, and the failure is reported, never taken for success.
#include "platform/local/contacts/AddressBook.h"
#include "platform/local/documents/PdfDocuments.h"
#include "platform/local/files/AtomicFileDevice.h"
#include "platform/local/system/PreferenceStore.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/SmallFileSystem.h"
#include "tools/ditto/DittoArchive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using platform::AtomicFile;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_disk.isMounted()) << m_disk.error().toStdString(); }
    QString path(const QString& name) const { return m_disk.path() + u'/' + name; }

    // From no room at all to a few pages short of what the new content needs.
    static constexpr qint64 kFreeSpace[] = {0, 4096, 12288, 40960};
    fixtures::SmallFileSystem m_disk{1024 * 1024};
};

TEST_F(FullDiskTest, TheWriterLeavesTheOldFileOrPutsTheWholeNewOneInItsPlace) {
    const QByteArray before(8 * 1024, 'a');
    const QByteArray after(64 * 1024, 'b');
    for (const qint64 free : kFreeSpace) {
        m_disk.empty();
        ASSERT_TRUE(platform::WriteFileAtomically(path(QStringLiteral("f")), before));
        ASSERT_TRUE(m_disk.fill(free));
        QString reason;
        EXPECT_FALSE(platform::WriteFileAtomically(path(QStringLiteral("f")), after,
                                                   AtomicFile::Existing::Replace,
                                                   AtomicFile::Permissions::AsBefore, &reason))
            << free << " bytes free";
        EXPECT_EQ(reason, QStringLiteral("No space left on device"));
        EXPECT_EQ(contentOf(path(QStringLiteral("f"))), before) << free << " bytes free";
        EXPECT_EQ(m_disk.names(), QStringList{QStringLiteral("f")}) << "a temporary file stayed";
    }
    m_disk.empty();
    ASSERT_TRUE(platform::WriteFileAtomically(path(QStringLiteral("f")), after));
    EXPECT_EQ(contentOf(path(QStringLiteral("f"))), after);
}

TEST_F(FullDiskTest, TheWriterKeepsModesAndNamesAndRefusesWhatItMustNotReplace) {
    const QString document = path(QStringLiteral("document"));
    ASSERT_TRUE(platform::WriteFileAtomically(document, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(document).constData(), 0640), 0);
    ASSERT_TRUE(platform::WriteFileAtomically(document, "new"));
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(document).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ASSERT_TRUE(platform::WriteFileAtomically(document, "private", AtomicFile::Existing::Replace,
                                              AtomicFile::Permissions::Private));
    ASSERT_EQ(::stat(QFile::encodeName(document).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    EXPECT_FALSE(platform::WriteFileAtomically(document, "other", AtomicFile::Existing::Keep));
    EXPECT_EQ(contentOf(document), QByteArray("private"));

    // The longest name a folder holds still gets a temporary name beside it.
    const QString longest = path(QString(255, u'n'));
    EXPECT_TRUE(platform::WriteFileAtomically(longest, "whole"));
    EXPECT_EQ(contentOf(longest), QByteArray("whole"));

    platform::AtomicFile failed(platform::FileSystemPath(document));
    failed.write("half", 4);
    failed.fail(EIO);
    EXPECT_FALSE(failed.commit());
    EXPECT_EQ(contentOf(document), QByteArray("private"));
    EXPECT_EQ(m_disk.names(), (QStringList{QStringLiteral("document"), QString(255, u'n')}));
}

TEST_F(FullDiskTest, ACombinedPdfNeverReplacesTheDocumentWithAPartOfIt) {
    QTemporaryDir sources;
    const QString source = sources.filePath(QStringLiteral("source.pdf"));
    ASSERT_TRUE(fixtures::WritePdf(source, std::vector<QSizeF>(60, QSizeF(612, 792)),
                                   QStringLiteral("Source")));
    const QString report = path(QStringLiteral("report.pdf"));
    ASSERT_TRUE(fixtures::WritePdf(report, {QSizeF(612, 792)}, QStringLiteral("Report")));
    const QByteArray before = contentOf(report);
    const CGPDFDocumentRef document = CGPDFDocumentCreateWithPath(source);
    ASSERT_EQ(CGPDFDocumentGetNumberOfPages(document), 60u);

    for (const qint64 free : kFreeSpace) {
        ASSERT_TRUE(m_disk.fill(free));
        CGPDFContextRef context =
            CGPDFContextCreateWithPath(report, CGRect{0, 0, 612, 792}, QStringLiteral("report.pdf"),
                                       QStringLiteral("Velmora"));
        for (std::size_t page = 1; page <= 60; ++page)
            ASSERT_TRUE(CGPDFContextAppendPage(*context, document, page));
        QString reason;
        EXPECT_FALSE(CGPDFContextClose(std::move(context), &reason)) << free << " bytes free";
        EXPECT_EQ(reason, QStringLiteral("No space left on device"));
        EXPECT_EQ(contentOf(report), before);
        EXPECT_EQ(m_disk.names(), QStringList{QStringLiteral("report.pdf")});
    }
}

TEST_F(FullDiskTest, SettingsStayAsTheyWereAndTheChangeWaitsForRoom) {
    const QString folder = path(QStringLiteral("velmora"));
    const QString domain = QStringLiteral("io.velmora.Velmora");
    {
        platform::PreferenceStore store(folder);
        QVariantList recent;
        for (int i = 0; i < 50; ++i)
            recent.append(QStringLiteral("/home/user/Pictures/picture-%1.jpg").arg(i));
        store.setValue(QStringLiteral("RecentDesktopPicturePaths"), recent, domain);
        store.setValue(QStringLiteral("AddressBookFolder"), QStringLiteral("/home/user/cards"),
                       domain);
        ASSERT_TRUE(store.synchronize(domain));
    }
    const QString file = folder + u'/' + domain + QStringLiteral(".json");
    const QByteArray before = contentOf(file);
    ASSERT_GT(before.size(), 2000);

    ASSERT_TRUE(m_disk.fill(0));
    platform::PreferenceStore store(folder);
    store.setValue(QStringLiteral("PreviousDesktopPicturePath"), QStringLiteral("/p.jpg"), domain);
    EXPECT_FALSE(store.synchronize(domain));
    EXPECT_TRUE(store.lastError().contains(QStringLiteral("No space left on device")))
        << store.lastError().toStdString();
    EXPECT_EQ(contentOf(file), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              (QStringList{domain + QStringLiteral(".json"), domain + QStringLiteral(".lock")}));

    m_disk.empty();
    ASSERT_TRUE(store.synchronize(domain));
    EXPECT_TRUE(store.lastError().isEmpty());
    platform::PreferenceStore reader(folder);
    EXPECT_EQ(reader.copyValue(QStringLiteral("PreviousDesktopPicturePath"), domain),
              QVariant(QStringLiteral("/p.jpg")));
    EXPECT_EQ(reader.copyValue(QStringLiteral("AddressBookFolder"), domain),
              QVariant(QStringLiteral("/home/user/cards")));
}

TEST_F(FullDiskTest, AddressCardsAreWholeOrNotThereAndGroupsNameOnlyWrittenCards) {
    const QString folder = path(QStringLiteral("cards"));
    {
        addressbook::AddressBook book(folder);
        book.addPerson({{}, QStringLiteral("Ann"), QStringLiteral("Lee"), {}});
        const int group = book.addGroup(QStringLiteral("Friends"));
        book.addMember(group, 0);
        ASSERT_TRUE(book.save());
    }
    QMap<QString, QByteArray> before;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.vcf")}, QDir::Files))
        before.insert(name, contentOf(folder + u'/' + name));

    ASSERT_TRUE(m_disk.fill(12288));
    addressbook::AddressBook book(folder);
    ASSERT_TRUE(book.lockAndReload());
    const int group = book.findGroup(QStringLiteral("Friends"));
    for (int i = 0; i < 100; ++i)
        book.addMember(group, book.addPerson({{}, QStringLiteral("Person %1").arg(i), {}, {}}));
    EXPECT_FALSE(book.save());
    EXPECT_TRUE(book.lastError().contains(QStringLiteral("No space left on device")));

    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
        const QByteArray bytes = contentOf(folder + u'/' + name);
        EXPECT_TRUE(bytes.startsWith("BEGIN:VCARD") && bytes.endsWith("END:VCARD\r\n"))
            << name.toStdString() << " is not a whole card";
        // The person read before is not changed; the group may be, but only whole.
        if (before.contains(name) && !before[name].contains("KIND:group")) {
            EXPECT_EQ(bytes, before[name]);
        }
    }
    const addressbook::AddressBook reread(folder);
    QSet<QString> people;
    for (const addressbook::Person& person : reread.people())
        people.insert(person.uid);
    EXPECT_LT(people.size(), 101);
    const int friends = reread.findGroup(QStringLiteral("Friends"));
    ASSERT_GE(friends, 0);
    for (const QString& member : reread.groups()[size_t(friends)].members)
        EXPECT_TRUE(people.contains(member)) << "the group names a card that is not there";

    m_disk.empty();
    EXPECT_TRUE(book.save()) << book.lastError().toStdString();

    const addressbook::AddressBook complete(folder);
    EXPECT_EQ(complete.people().size(), 101u);
    EXPECT_EQ(complete.groups()[0].members.size(), 101);
}

TEST_F(FullDiskTest, AnArchiveIsReplacedWholeOrNotAtAll) {
    QTemporaryDir sources;
    const QString folder = sources.filePath(QStringLiteral("Photos"));
    ASSERT_TRUE(QDir().mkpath(folder));
    // Stored, not deflated, so that the archive is as big as what it holds.
    QByteArray noise(200 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) ^ (i >> 3));
    ASSERT_TRUE(fixtures::WriteText(folder + QStringLiteral("/big.jpg"), noise));
    const QString zip = path(QStringLiteral("Photos.zip"));
    ASSERT_TRUE(fixtures::WriteText(zip, "the archive of last week"));
    for (const qint64 free : kFreeSpace) {
        ASSERT_TRUE(m_disk.fill(free));
        const auto failure = WriteZipArchive(folder.toStdString(), zip.toStdString(), {});
        ASSERT_TRUE(failure.has_value()) << free << " bytes free";
        EXPECT_NE(failure->find("No space left on device"), std::string::npos) << *failure;
        EXPECT_EQ(contentOf(zip), QByteArray("the archive of last week"));
        EXPECT_EQ(m_disk.names(), QStringList{QStringLiteral("Photos.zip")});
    }
}

} // namespace
