#include "tools/scenario/WorldAddressBook.h"

#include "platform/local/contacts/AddressBook.h"
#include "platform/world/World.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

QString WorldAddressBookFolder(const platform::world::World& world) {
    return world.home() + QStringLiteral("/.local/share/velmora/AddressBook");
}

std::optional<QString> ReadAddressBook(const QJsonObject& input, platform::world::World& world) {
    for (const QString& key : input.keys()) {
        if (key != QLatin1String("people") && key != QLatin1String("groups"))
            return QStringLiteral("address_book: \"%1\" is not supported").arg(key);
    }
    addressbook::AddressBook book(WorldAddressBookFolder(world));
    std::vector<int> people;
    for (const QJsonValue& value : input.value(QStringLiteral("people")).toArray()) {
        const QJsonObject person = value.toObject();
        addressbook::Person record;
        record.first = person.value(QStringLiteral("first")).toString();
        record.last = person.value(QStringLiteral("last")).toString();
        for (const QJsonValue& email : person.value(QStringLiteral("emails")).toArray())
            record.emails.push_back({email.toObject().value(QStringLiteral("label")).toString(),
                                     email.toObject().value(QStringLiteral("value")).toString()});
        people.push_back(book.addPerson(std::move(record)));
    }
    for (const QJsonValue& value : input.value(QStringLiteral("groups")).toArray()) {
        const QJsonObject group = value.toObject();
        const int added = book.addGroup(group.value(QStringLiteral("name")).toString());
        for (const QJsonValue& member : group.value(QStringLiteral("members")).toArray()) {
            const int index = member.toInt(-1);
            if (index < 0 || index >= int(people.size()))
                return QStringLiteral("address_book: a group's members are indexes into people");
            book.addMember(added, people[size_t(index)]);
        }
    }
    if (!book.save())
        return QStringLiteral("address_book: the cards could not be written");
    return std::nullopt;
}

// People are written in the order of their names and addresses, groups in the order of their
// names: the cards' files are named by random UIDs, so the folder's order says nothing.
std::optional<QJsonObject> DescribeAddressBook(const platform::world::World& world) {
    if (!QDir(WorldAddressBookFolder(world)).exists())
        return std::nullopt;
    const addressbook::AddressBook book(WorldAddressBookFolder(world));
    std::vector<std::pair<QJsonObject, QString>> people; // the person, and its UID
    for (const addressbook::Person& person : book.people()) {
        QJsonArray emails;
        for (const addressbook::Email& email : person.emails)
            emails.append(QJsonObject{{QStringLiteral("label"), email.label},
                                      {QStringLiteral("value"), email.value}});
        people.emplace_back(QJsonObject{{QStringLiteral("first"), person.first},
                                        {QStringLiteral("last"), person.last},
                                        {QStringLiteral("emails"), emails}},
                            person.uid);
    }
    const auto order = [](const QJsonObject& a) {
        return QJsonDocument(a).toJson(QJsonDocument::Compact);
    };
    std::sort(people.begin(), people.end(),
              [&](const auto& a, const auto& b) { return order(a.first) < order(b.first); });
    QJsonArray peopleOut;
    for (const auto& [person, uid] : people)
        peopleOut.append(person);
    std::vector<QJsonObject> groups;
    for (const addressbook::Group& group : book.groups()) {
        QJsonArray members;
        for (size_t i = 0; i < people.size(); ++i) {
            if (group.members.contains(people[i].second))
                members.append(int(i));
        }
        groups.push_back(QJsonObject{{QStringLiteral("name"), group.name},
                                     {QStringLiteral("members"), members}});
    }
    std::sort(groups.begin(), groups.end(),
              [&](const QJsonObject& a, const QJsonObject& b) { return order(a) < order(b); });
    QJsonArray groupsOut;
    for (const QJsonObject& group : groups)
        groupsOut.append(group);
    return QJsonObject{{QStringLiteral("people"), peopleOut},
                       {QStringLiteral("groups"), groupsOut}};
}
