#include "commands/mail/MailSenders.h"

#include "common/AlertMessages.h"
#include "common/CommandProgress.h"
#include "platform/local/system/BackgroundWork.h"
#include "platform/services/Application.h"
#include "platform/services/Locations.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/PreferenceValues.h"
#include "scripts/ScriptRunner.h"

#include <QStringList>

namespace {

struct Sender {
    QString first;
    std::optional<QString> last;
    QString address;
};

Sender ReadSenderLine(const QString& line) {
    const QStringList words = line.split(u' ');
    const QString& last = words.last();
    const qsizetype count = words.size();
    if (last.size() >= 2 && last.startsWith(u'<') && last.endsWith(u'>')) {
        const QString address = last.mid(1, last.size() - 2);
        if (count >= 3)
            return {words.mid(0, count - 2).join(u' '), words[count - 2], address};
        return {count == 1 ? address : words.first(), std::nullopt, address};
    }
    return {last, std::nullopt, last.contains(u'@') ? last : QString()};
}

} // namespace

QString AddressBookFolder() {
    if (auto folder = StringPreferenceValue(kAddressBookFolderKey))
        return *folder;
    return UserDataHome() + QStringLiteral("/velmora/AddressBook");
}

QString DateDescription(const QDateTime& date) {
    return date.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" +0000");
}

std::optional<int> GroupNamedExists(const addressbook::AddressBook& book, const QString& name) {
    const int found = book.findGroup(name);
    return found < 0 ? std::nullopt : std::optional<int>(found);
}

std::optional<int> CreateGroupNamed(addressbook::AddressBook& book, const QString& name) {
    if (GroupNamedExists(book, name))
        return std::nullopt;
    const int group = book.addGroup(name);
    book.save();
    return group;
}

std::optional<int> PersonNamedExists(const addressbook::AddressBook& book, const QString& first,
                                     const std::optional<QString>& last) {
    const int found = book.findPerson(first, last.value_or(QString()));
    return found < 0 ? std::nullopt : std::optional<int>(found);
}

std::optional<int> AddToAddressBook(addressbook::AddressBook& book, const QString& first,
                                    const std::optional<QString>& last, const QString& address) {
    if (const auto existing = PersonNamedExists(book, first, last))
        return existing;
    addressbook::Person person;
    person.first = first;
    person.last = last.value_or(QString());
    if (!address.isEmpty())
        person.emails.push_back({QStringLiteral("work"), address});
    if (person.first.isEmpty() && person.last.isEmpty() && person.emails.empty())
        return std::nullopt;
    return book.addPerson(std::move(person));
}

bool Parse(addressbook::AddressBook& book, const QString& answer) {
    const QString name = QStringLiteral("Velmora ") + DateDescription(NSDateNow());
    auto group = CreateGroupNamed(book, name);
    // A second run within the same second (a second click, a second process) adds its senders
    // to the group the first one made: one group, and none of the senders dropped. Runs are
    // serialised by the address book's lock, so the second sees the first one's group.
    if (!group)
        group = GroupNamedExists(book, name);
    if (!group)
        return false;
    QString text = answer;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(u'\n', u'\r');
    for (const QString& line : text.split(u'\r')) {
        // A line of nothing but spaces and tabs names nobody.
        if (line.trimmed().isEmpty())
            continue;
        const Sender sender = ReadSenderLine(line);
        if (const auto person = AddToAddressBook(book, sender.first, sender.last, sender.address))
            book.addMember(*group, *person);
    }
    book.save();
    return true;
}

void AddSendersToAddressBook() {
    const auto answer = RunScriptResource(QStringLiteral("Mail Sender.applescript"), ReverseOrder(),
                                          false, false, false);
    if (!answer)
        return;
    addressbook::AddressBook book(AddressBookFolder());
    SetCommandProgress(QStringLiteral("Adding senders to the address book"));
    bool added = false;
    // Thousands of senders are thousands of cards to write: off the menu's thread. The book is
    // locked from its reading to its last card written, so concurrent runs follow one another.
    platform::RunInBackground(
        [&] { added = book.lockAndReload() && (!Parse(book, *answer) || book.save()); });
    if (!added)
        ShowAlertMessage(QStringLiteral("The senders could not be added to the address book."),
                         book.lastError());
}
