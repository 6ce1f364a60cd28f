// The world's address book as a scenario gives and prints it:
//
//   {"people": [{"first": "Ann", "last": "Lee",
//                "emails": [{"label": "work", "value": "ann@example.org"}]}],
//    "groups": [{"name": "Velmora 2026-12-05 06:52:44 +0000", "members": [0]}]}
//
// members are indexes into people. The cards live in the world's data folder, where the command
// finds them; what is printed is read back from there.
#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace platform::world {
class World;
}

// The folder of the world's address book.
QString WorldAddressBookFolder(const platform::world::World& world);

std::optional<QString> ReadAddressBook(const QJsonObject& book, platform::world::World& world);

// None when the world has no address book folder.
std::optional<QJsonObject> DescribeAddressBook(const platform::world::World& world);
