// The user's address book: a folder with one vCard file per person or group (a vdir, as
// vdirsyncer and khard keep it), shared with those tools.
//
// Velmora only adds people, groups and group members. Everything else in a card belongs to
// whoever wrote it: a card read from the folder and changed here is written back with the
// properties this code does not own exactly as they were, merged under a lock with what other
// processes wrote since. A file this code cannot read whole (damaged, too big, not UTF-8, more
// than one card, no UID, or a UID an earlier file already has) is left out and never written.
#pragma once

#include "platform/local/contacts/VCard.h"
#include "platform/local/files/FileLock.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace addressbook {

struct Email {
    QString label; // lower-case TYPE: "work", "home"; "other" when the card names none
    QString value;
};

// Empty fields are absent ones.
struct Person {
    QString uid;
    QString first;
    QString last;
    std::vector<Email> emails;
};

struct Group {
    QString uid;
    QString name;
    QStringList members; // member UIDs
};

class AddressBook {
public:
    // Reads every *.vcf file of the folder, in file name order; the folder need not exist yet.
    explicit AddressBook(QString folder);

    // Takes the folder's lock (the folder made, mode 0700, when missing) and reads the folder
    // again under it. The lock is then held until the book is destroyed, so that additions of
    // several processes follow one another whole: each reads what the one before saved. False
    // when the lock could not be had within a few seconds; lastError() says why.
    bool lockAndReload();

    const std::vector<Person>& people() const { return m_people; }
    const std::vector<Group>& groups() const { return m_groups; }

    // The first person whose first and last names both equal these ignoring case (an absent
    // name equals an empty one); -1 when none.
    int findPerson(const QString& first, const QString& last) const;
    // The first group whose name equals `name` ignoring case; -1 when none.
    int findGroup(const QString& name) const;

    // A new record with a fresh UID (any UID given is replaced); its index. Emails without an
    // address are dropped, and labels are lower-cased ("other" when empty).
    int addPerson(Person person);
    int addGroup(const QString& name);
    // Adds the person to the group once; indices out of range change nothing.
    void addMember(int group, int person);

    // Writes every card added or changed here since the last save, each whole or not at all,
    // under an exclusive lock on `<folder>/.velmora.lock` (held already, or taken for the save);
    // the folder is made (mode 0700) when missing. A changed card is read again under the lock
    // and only this process's additions are applied to it, so what others wrote meanwhile is
    // kept. False when some card could not be written; it stays pending, the others are still
    // written, and a group names none of its new members whose own card is not written yet.
    bool save();

    QString folder() const { return m_folder; }
    // Why the last lock or save failed; empty after one that succeeded.
    QString lastError() const { return m_lastError; }

private:
    struct Source {
        QString fileName;           // in the folder; empty until a new card is first written
        VCard card;                 // as last read or written
        QStringList pendingMembers; // member UIDs added here and not yet written
        bool dirty = false;
        QSet<QString> memberSet; // a group's members, to add each one once
    };

    void load();
    void indexPerson(int index);
    void indexGroup(int index);
    bool saveCard(Source& source, const QString& uid, const QSet<QString>& unwrittenPeople);
    bool makeFolderAndLock(std::optional<platform::FileLock>& lock);

    QString m_folder;
    std::vector<Person> m_people;
    std::vector<Source> m_personSources;
    std::vector<Group> m_groups;
    std::vector<Source> m_groupSources;
    QHash<std::pair<QString, QString>, int> m_personIndex; // case-folded (first, last)
    QHash<QString, int> m_groupIndex;                      // case-folded name
    std::optional<platform::FileLock> m_lock;
    QString m_lastError;
};

} // namespace addressbook
