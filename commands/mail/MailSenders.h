// "Add Senders to Address Book": the senders of the messages selected in Mail, one person each,
// in a new group "Velmora <date>" of the user's address book; people already there (by name,
// ignoring case) join the group as they are.
//
// The address book is the vCard folder the preference "AddressBookFolder" names, or
// velmora/AddressBook in the user's data folder. A sender line is words separated by single
// spaces, the last one the address in angle brackets after the name, or a bare address, which is
// then the name as well. Two mends of the line rules: a line that is only a bracketed address
// takes the address as its name, not the address in its brackets, and a last word without "@"
// is never stored as an e-mail address; a line of nothing but white space is no sender.
//
// The address book is locked from its reading to its last card written, so that runs of several
// processes follow one another and none loses another's senders; a lock held too long by
// another program, or a card that cannot be written (a full disk), ends in the alert "The
// senders could not be added to the address book." with the reason.
#pragma once

#include "platform/local/contacts/AddressBook.h"

#include <QDateTime>
#include <QString>
#include <optional>

// The command.
void AddSendersToAddressBook();

// The address book's folder.
QString AddressBookFolder();

// The date as the platform describes it: "2026-12-05 06:52:44 +0000", in UTC.
QString DateDescription(const QDateTime& date);

// A person for each sender line of `answer` in a new group named after now, or in the group of
// that name made by a run earlier in the same second; false, adding nothing, when there is none.
bool Parse(addressbook::AddressBook& book, const QString& answer);

// A new group of that name, saved; none when one is there already.
std::optional<int> CreateGroupNamed(addressbook::AddressBook& book, const QString& name);
// The first group of that name, ignoring case.
std::optional<int> GroupNamedExists(const addressbook::AddressBook& book, const QString& name);
// The person of these names, as found, or new with whatever of the three is given; none when
// nothing is given.
std::optional<int> AddToAddressBook(addressbook::AddressBook& book, const QString& first,
                                    const std::optional<QString>& last, const QString& address);
// The first person whose first and last names are these, ignoring case.
std::optional<int> PersonNamedExists(const addressbook::AddressBook& book, const QString& first,
                                     const std::optional<QString>& last);
