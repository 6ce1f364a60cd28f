// E-mailing items on real files of a world's root: plain files attached as they are, folders
// zipped by velmora-ditto first, names in the Finder's order, and nothing of a name or a path
// ever read as a statement of the script.
#include "commands/mail/EmailItems.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/WorldSelection.h"

#include <QDir>
#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace events = platform::world::events;

class EmailItemsTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_world.root() + u'/' + name; }
    void select(const QStringList& names) { fixtures::SelectInWorld(m_world, names); }
    events::MailMessage onlyMessage() const {
        const auto messages = m_world.eventsOf<events::MailMessage>();
        EXPECT_EQ(messages.size(), 1u);
        return messages.empty() ? events::MailMessage{} : messages.front();
    }
    static QStringList zipEntries(const QString& zip) {
        QStringList names;
        archive* reader = archive_read_new();
        archive_read_support_format_zip(reader);
        if (archive_read_open_filename(reader, QFile::encodeName(zip).constData(), 65536) ==
            ARCHIVE_OK) {
            archive_entry* entry = nullptr;
            while (archive_read_next_header(reader, &entry) == ARCHIVE_OK)
                names.append(QString::fromUtf8(archive_entry_pathname(entry)));
        }
        archive_read_free(reader);
        names.sort();
        return names;
    }

    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(EmailItemsTest, FilesAsTheyAreFoldersZippedEachTimeLinksLeftOutButNamed) {
    ASSERT_TRUE(fixtures::WriteText(path("b.txt"), "bee"));
    ASSERT_TRUE(QDir().mkpath(path("Photos/trip")));
    ASSERT_TRUE(fixtures::WriteText(path("Photos/one.jpg"), "1"));
    ASSERT_TRUE(fixtures::WriteText(path("Photos/trip/two.jpg"), "2"));
    ASSERT_TRUE(QFile::link(path("b.txt"), path("a link")));
    select({"a link", "b.txt", "Photos", "Photos"});

    EmailItemsOfSelection();

    const events::MailMessage message = onlyMessage();
    ASSERT_EQ(message.attachments.size(), 3);
    EXPECT_EQ(message.attachments[0], path("b.txt"));
    for (int i : {1, 2}) {
        EXPECT_TRUE(message.attachments[i].endsWith(QStringLiteral("/Photos.zip")));
        EXPECT_EQ(zipEntries(message.attachments[i]),
                  (QStringList{"one.jpg", "trip/", "trip/two.jpg"}));
    }
    EXPECT_NE(message.attachments[1], message.attachments[2]);
    EXPECT_EQ(message.names, QStringLiteral("a link, b.txt, Photos, Photos"));
}

TEST_F(EmailItemsTest, AFolderThatCannotBeArchivedIsLeftOutAndNamesGoInAsText) {
    ASSERT_TRUE(QDir().mkpath(path("Pipes")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("Pipes/fifo")).constData(), 0600), 0);
    const QString tricky = QStringLiteral("q\"uote\\ \" & return \"x.txt");
    ASSERT_TRUE(fixtures::WriteText(path(tricky), "text"));
    select({"Pipes", tricky});

    EmailItemsOfSelection();

    const events::MailMessage message = onlyMessage();
    EXPECT_EQ(message.attachments, QStringList{path(tricky)});
    EXPECT_EQ(message.names, QStringLiteral("Pipes, ") + tricky);
    const QDir parcelo(m_world.temp() + QStringLiteral("/Parcelo"));
    const QStringList folders = parcelo.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    EXPECT_TRUE(QDir(parcelo.filePath(folders.first())).isEmpty()) << "no partial archive";
}

TEST_F(EmailItemsTest, AFolderWhoseNameIsNearlyAsLongAsANameCanBeIsZippedToo) {
    // Its archive's name, 248 bytes, still leaves no room for a temporary name made by adding
    // to it.
    const QString name(244, u'f');
    ASSERT_TRUE(QDir().mkpath(path(name)));
    ASSERT_TRUE(fixtures::WriteText(path(name + QStringLiteral("/inside.txt")), "in"));
    select({name});

    EmailItemsOfSelection();

    const events::MailMessage message = onlyMessage();
    ASSERT_EQ(message.attachments.size(), 1);
    EXPECT_TRUE(message.attachments[0].endsWith(u'/' + name + QStringLiteral(".zip")));
    EXPECT_EQ(zipEntries(message.attachments[0]), QStringList{"inside.txt"});
}

TEST_F(EmailItemsTest, WithoutItsScriptNothingHappens) {
    ASSERT_TRUE(fixtures::WriteText(path("a.txt"), "a"));
    m_world.resourceFolder = m_world.home();
    select({"a.txt"});
    EmailItemsOfSelection();
    EXPECT_TRUE(m_world.eventsOf<events::MailMessage>().empty());
    EXPECT_TRUE(m_world.eventsOf<events::Script>().empty());
}

} // namespace
