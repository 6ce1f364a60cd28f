// Mail senders into a new address-book group: the line forms, the reuse of people, and the
// group that is made once a second.
#include "commands/mail/MailSenders.h"
#include "platform/world/World.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class MailSendersTest : public ::testing::Test {
protected:
    MailSendersTest() { m_world.now = QDateTime(QDate(2026, 12, 5), QTime(6, 52, 44), Qt::UTC); }
    QString folder() const { return m_dir.path() + QStringLiteral("/AddressBook"); }
    // "first|last|address" of each person of the group, in the group's order.
    static QStringList members(const addressbook::AddressBook& book, int group) {
        QStringList found;
        for (const QString& uid : book.groups()[size_t(group)].members) {
            for (const addressbook::Person& person : book.people()) {
                if (person.uid != uid)
                    continue;
                QStringList emails;
                for (const addressbook::Email& email : person.emails)
                    emails.append(email.label + u':' + email.value);
                found.append(person.first + u'|' + person.last + u'|' + emails.join(u','));
            }
        }
        return found;
    }

    QTemporaryDir m_dir;
    platform::world::World m_world;
    platform::ScopedPlatform m_installed{m_world.services()};
};

TEST_F(MailSendersTest, EveryLineFormWithAnyLineEnds) {
    addressbook::AddressBook book(folder());
    ASSERT_TRUE(Parse(book, QStringLiteral("Ann Lee <ann@example.org>\r\n"
                                           "Mary Ann Smith <mas@example.org>\r"
                                           "Bob <bob@example.org>\n"
                                           "carl@example.org\r\n"
                                           "<dan@example.org>\n"
                                           "\n   \r<>\n"
                                           "Lone")));
    const int group =
        GroupNamedExists(book, QStringLiteral("velmora 2026-12-05 06:52:44 +0000")).value_or(-1);
    ASSERT_GE(group, 0);
    EXPECT_EQ(members(book, group),
              (QStringList{QStringLiteral("Ann|Lee|work:ann@example.org"),
                           QStringLiteral("Mary Ann|Smith|work:mas@example.org"),
                           QStringLiteral("Bob||work:bob@example.org"),
                           QStringLiteral("carl@example.org||work:carl@example.org"),
                           QStringLiteral("dan@example.org||work:dan@example.org"),
                           QStringLiteral("Lone||")}));

    // What was saved is what another reader of the folder finds.
    addressbook::AddressBook again(folder());
    EXPECT_EQ(again.people().size(), 6u);
    ASSERT_EQ(again.groups().size(), 1u);
    EXPECT_EQ(again.groups()[0].name, QStringLiteral("Velmora 2026-12-05 06:52:44 +0000"));
    EXPECT_EQ(again.groups()[0].members.size(), 6);
}

TEST_F(MailSendersTest, PeopleAreReusedByNameIgnoringCaseAndKeepTheirAddresses) {
    {
        addressbook::AddressBook book(folder());
        book.addPerson({QString(),
                        QStringLiteral("ann"),
                        QStringLiteral("LEE"),
                        {{QStringLiteral("home"), QStringLiteral("ann@home.example")}}});
        ASSERT_TRUE(book.save());
    }
    addressbook::AddressBook book(folder());
    ASSERT_TRUE(Parse(book, QStringLiteral("Ann Lee <ann@work.example>\n"
                                           "Zoe Day <zoe@one.example>\n"
                                           "Zoe Day <zoe@two.example>")));
    ASSERT_EQ(book.people().size(), 2u);
    EXPECT_EQ(members(book, 0), (QStringList{QStringLiteral("ann|LEE|home:ann@home.example"),
                                             QStringLiteral("Zoe|Day|work:zoe@one.example")}));

    // Run again in the same second: no second group, nothing added.
    EXPECT_FALSE(Parse(book, QStringLiteral("New Person <new@example.org>")));
    EXPECT_EQ(book.people().size(), 2u);
    EXPECT_EQ(book.groups().size(), 1u);
    m_world.now = m_world.now->addSecs(1);
    EXPECT_TRUE(Parse(book, QStringLiteral("New Person <new@example.org>")));
    EXPECT_EQ(book.groups().size(), 2u);
}

TEST_F(MailSendersTest, TenThousandSendersMakeOnePersonPerName) {
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines.append(QStringLiteral("Person %1 <p%2@example.org>").arg(i % 5000).arg(i));
    addressbook::AddressBook book(folder());
    ASSERT_TRUE(Parse(book, lines.join(u'\n')));
    EXPECT_EQ(book.people().size(), 5000u);
    EXPECT_EQ(book.groups()[0].members.size(), 5000);
}

} // namespace
