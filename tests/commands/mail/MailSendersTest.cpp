// Mail senders into a new address-book group: the line forms, the reuse of people, the group
// that is made once a second, runs of several processes at once, and what cannot be written.
#include "commands/mail/MailSenders.h"
#include "platform/local/files/FileLock.h"
#include "platform/services/PreferenceCalls.h"
#include "platform/world/World.h"
#include "prefs/Identifiers.h"
#include "prefs/PreferenceKeys.h"
#include "tests/support/WorldAlerts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

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
                                           "\t \t\n"
                                           "Lone")));
    const int group =
        GroupNamedExists(book, QStringLiteral("velmora 2026-12-05 06:52:44 +0000")).value_or(-1);
    ASSERT_GE(group, 0);
    EXPECT_EQ(members(book, group),
              (QStringList{"Ann|Lee|work:ann@example.org", "Mary Ann|Smith|work:mas@example.org",
                           "Bob||work:bob@example.org", "carl@example.org||work:carl@example.org",
                           "dan@example.org||work:dan@example.org", "Lone||"}));
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
    EXPECT_EQ(members(book, 0),
              (QStringList{"ann|LEE|home:ann@home.example", "Zoe|Day|work:zoe@one.example"}));

    // A second later the next run makes a group of its own.
    m_world.now = m_world.now->addSecs(1);
    EXPECT_TRUE(Parse(book, QStringLiteral("New Person <new@example.org>")));
    EXPECT_EQ(book.groups().size(), 2u);
}

TEST_F(MailSendersTest, RunsAtOnceFollowOneAnotherAndLoseNoSender) {
    // Eight runs in the same second, each with a book of its own, as eight processes would be.
    std::vector<std::thread> runs;
    for (int i = 0; i < 8; ++i) {
        runs.emplace_back([this, i] {
            addressbook::AddressBook book(folder());
            ASSERT_TRUE(book.lockAndReload());
            EXPECT_TRUE(Parse(book, QStringLiteral("Shared Person <shared@example.org>\n"
                                                   "Own %1 <own%1@example.org>")
                                        .arg(i)));
            EXPECT_TRUE(book.save());
        });
    }
    for (std::thread& run : runs)
        run.join();
    const addressbook::AddressBook book(folder());
    ASSERT_EQ(book.groups().size(), 1u);
    EXPECT_EQ(book.people().size(), 9u);
    EXPECT_EQ(book.groups()[0].members.size(), 9);
}

TEST_F(MailSendersTest, AMemberNoCardCanNameCostsOnlyItself) {
    // Written by another program: a UID with a bare carriage return, which no MEMBER line can
    // hold.
    ASSERT_TRUE(QDir().mkpath(folder()));
    QFile odd(folder() + QStringLiteral("/odd.vcf"));
    ASSERT_TRUE(odd.open(QIODevice::WriteOnly));
    odd.write("BEGIN:VCARD\r\nVERSION:4.0\r\nUID:odd\rone\r\nKIND:individual\r\n"
              "FN:Odd One\r\nN:One;Odd;;;\r\nEND:VCARD\r\n");
    odd.close();
    addressbook::AddressBook book(folder());
    ASSERT_EQ(book.people().size(), 1u);
    ASSERT_TRUE(
        Parse(book, QStringLiteral("Odd One <odd@example.org>\nNew Person <new@example.org>")));
    const addressbook::AddressBook again(folder());
    ASSERT_EQ(again.groups().size(), 1u);
    EXPECT_EQ(members(again, 0), QStringList{"New|Person|work:new@example.org"});
}

TEST_F(MailSendersTest, ALockHeldTooLongEndsInTheAlertAndAddsNothing) {
    m_world.frontApp = platform::world::FrontApplication{QStringLiteral("Mail"), {}, {}};
    m_world.mail.senders = QStringLiteral("Ann Lee <ann@example.org>");
    CFPreferencesSetAppValue(kAddressBookFolderKey, QVariant(folder()), kApplicationIdentifier);
    ASSERT_TRUE(CFPreferencesAppSynchronize(kApplicationIdentifier));
    ASSERT_TRUE(QDir().mkpath(folder()));
    const auto held = platform::FileLock::acquire(folder() + QStringLiteral("/.velmora.lock"));
    ASSERT_TRUE(held);

    AddSendersToAddressBook();
    const auto alerts = fixtures::AlertMessages(m_world);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], QStringLiteral("The senders could not be added to the address book."));
    EXPECT_TRUE(addressbook::AddressBook(folder()).people().empty());
}

} // namespace
