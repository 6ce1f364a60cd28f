#include "platform/local/contacts/AddressBook.h"

#include "platform/local/files/AtomicFileDevice.h"
#include "platform/local/files/FileDescriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace addressbook {

namespace {

// A card with an embedded photo runs to a few hundred KiB. A bigger file is not an address card
// worth holding in memory next to thousands of others, and it is left alone.
constexpr qint64 kMaxCardFileSize = 1024 * 1024;

constexpr QLatin1StringView kUuidScheme("urn:uuid:");

enum class FileState { Missing, Unreadable, Read };

struct FileContent {
    FileState state = FileState::Unreadable;
    QByteArray bytes;
};

// Only a regular file is read: a FIFO would block, a link may lead anywhere, and renaming a
// new card over a link would replace the link instead of what it names.
FileContent readCardFile(const QString& path) {
    const platform::FileDescriptor fd(::open(QFile::encodeName(path).constData(),
                                             O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd.valid())
        return {errno == ENOENT ? FileState::Missing : FileState::Unreadable, {}};
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxCardFileSize)
        return {};
    FileContent content{FileState::Read, {}};
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return {};
        if (count == 0)
            return content;
        content.bytes.append(buffer, count);
        if (content.bytes.size() > kMaxCardFileSize)
            return {};
    }
}

// The file's card when it holds exactly one intact card and nothing else.
std::optional<VCard> singleCard(const QByteArray& bytes) {
    int skipped = 0;
    std::vector<VCard> cards = ParseVCards(bytes, &skipped);
    if (skipped != 0 || cards.size() != 1)
        return std::nullopt;
    return std::move(cards.front());
}

const VCardProperty* firstProperty(const VCard& card, const char* name) {
    for (const VCardProperty& property : card.properties) {
        if (property.name == name)
            return &property;
    }
    return nullptr;
}

QString withoutUuidScheme(const QString& value) {
    const QString trimmed = value.trimmed();
    return trimmed.startsWith(kUuidScheme, Qt::CaseInsensitive) ? trimmed.mid(kUuidScheme.size())
                                                                : trimmed;
}

QString uidOf(const VCard& card) {
    const VCardProperty* uid = firstProperty(card, "UID");
    return uid ? withoutUuidScheme(uid->value) : QString();
}

// A UUID is written as a urn:uuid: URI; any other UID as it stands, the way its card has it.
QByteArray memberUri(const QString& uid) {
    return QUuid::fromString(uid).isNull() ? uid.toUtf8() : (kUuidScheme + uid).toUtf8();
}

// A card read from another program may have a UID that no MEMBER line can hold (a line break in
// it): such a card cannot be referenced, and is left out of groups rather than costing the
// group every other member.
bool isReferable(const QString& uid) {
    for (const QChar c : uid) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return !uid.isEmpty();
}

// The label for a list of TYPE values: the first that says more than "preferred" or (in
// vCard 3.0) "an internet address".
QString labelFromTypes(const QStringList& types) {
    for (const QString& type : types) {
        const QString label = type.trimmed().toLower();
        if (!label.isEmpty() && label != u"pref" && label != u"internet")
            return label;
    }
    return QStringLiteral("other");
}

QString labelOf(const VCardProperty& email) {
    QStringList types;
    for (const auto& [name, value] : email.parameters) {
        if (name.compare("TYPE", Qt::CaseInsensitive) == 0) {
            QByteArrayView unquoted = value;
            if (unquoted.size() >= 2 && unquoted.startsWith('"') && unquoted.endsWith('"'))
                unquoted = unquoted.sliced(1, unquoted.size() - 2);
            types += QString::fromUtf8(unquoted).split(u',');
        } else if (value.isEmpty()) {
            types += QString::fromUtf8(name); // vCard 2.1 writes types bare: EMAIL;WORK:
        }
    }
    return labelFromTypes(types);
}

// A label as a TYPE value can hold it: one type, without quotes or control characters.
QString normalizedLabel(const QString& label) {
    QString text;
    for (const QChar c : label) {
        if (c != u'"' && c.category() != QChar::Other_Control)
            text += c;
    }
    return labelFromTypes(text.split(u','));
}

Person personFrom(const VCard& card, const QString& uid) {
    Person person;
    person.uid = uid;
    if (const VCardProperty* name = firstProperty(card, "N")) {
        const QStringList components = SplitComponents(name->raw);
        person.last = components.value(0);
        person.first = components.value(1);
    } else if (const VCardProperty* formatted = firstProperty(card, "FN")) {
        person.first = formatted->value;
    }
    for (const VCardProperty& property : card.properties) {
        if (property.name == "EMAIL" && !property.value.isEmpty())
            person.emails.push_back({labelOf(property), property.value});
    }
    return person;
}

QStringList membersOf(const VCard& card) {
    QStringList members;
    QSet<QString> seen;
    for (const VCardProperty& property : card.properties) {
        if (property.name != "MEMBER")
            continue;
        const QString member = withoutUuidScheme(property.value);
        if (!member.isEmpty() && !seen.contains(member)) {
            seen.insert(member);
            members.append(member);
        }
    }
    return members;
}

Group groupFrom(const VCard& card, const QString& uid) {
    const VCardProperty* name = firstProperty(card, "FN");
    return {uid, name ? name->value : QString(), membersOf(card)};
}

VCardProperty makeProperty(QByteArray name, QByteArray raw, const QString& value) {
    VCardProperty property;
    property.name = std::move(name);
    property.raw = std::move(raw);
    property.value = value;
    return property;
}

VCardProperty textProperty(QByteArray name, const QString& text) {
    return makeProperty(std::move(name), EscapeText(text), text);
}

VCardProperty uriProperty(QByteArray name, const QByteArray& uri) {
    return makeProperty(std::move(name), uri, QString::fromUtf8(uri));
}

std::vector<VCardProperty> commonProperties(const QString& uid, const QString& kind,
                                            const QString& formattedName) {
    return {uriProperty("PRODID", "-//Velmora//Velmora//EN"),
            uriProperty("UID", (kUuidScheme + uid).toUtf8()), textProperty("KIND", kind),
            textProperty("FN", formattedName)};
}

VCard personCard(const Person& person) {
    QString formattedName = (person.first + u' ' + person.last).trimmed();
    if (formattedName.isEmpty())
        formattedName = person.emails.empty() ? person.uid : person.emails.front().value;
    VCard card;
    card.properties = commonProperties(person.uid, QStringLiteral("individual"), formattedName);
    const QByteArray name = EscapeText(person.last) + ';' + EscapeText(person.first) + ";;;";
    card.properties.push_back(makeProperty("N", name, QString::fromUtf8(name)));
    for (const Email& email : person.emails) {
        VCardProperty property = textProperty("EMAIL", email.value);
        if (email.label != u"other") {
            QByteArray type = email.label.toUtf8();
            if (type.contains(';') || type.contains(':'))
                type = '"' + type + '"';
            property.parameters.append({"TYPE", type});
        }
        card.properties.push_back(std::move(property));
    }
    return card;
}

// Adds a MEMBER line for each UID the card does not name yet, after its last MEMBER line;
// false when every one was there already.
bool addMembersTo(VCard& card, const QStringList& uids) {
    const QStringList members = membersOf(card);
    const QSet<QString> present(members.begin(), members.end());
    auto insertAt = card.properties.end();
    for (auto it = card.properties.begin(); it != card.properties.end(); ++it) {
        if (it->name == "MEMBER")
            insertAt = it + 1;
    }
    // Inserted in one step after the last member line: one by one, a group of 10,000 members
    // would move the lines after them 10,000 times.
    std::vector<VCardProperty> added;
    for (const QString& uid : uids) {
        if (!present.contains(uid) && isReferable(uid))
            added.push_back(uriProperty("MEMBER", memberUri(uid)));
    }
    card.properties.insert(insertAt, added.begin(), added.end());
    return !added.empty();
}

bool makeFolder(const QString& folder) {
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(QFileInfo(folder).absolutePath()))
        return false;
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || QFileInfo(folder).isDir();
}

} // namespace

AddressBook::AddressBook(QString folder) : m_folder(QDir::cleanPath(folder)) {
    load();
}

bool AddressBook::makeFolderAndLock(std::optional<platform::FileLock>& lock) {
    if (m_folder.isEmpty() || !makeFolder(m_folder)) {
        m_lastError = QStringLiteral("The address book's folder %1 cannot be made.").arg(m_folder);
        return false;
    }
    lock = platform::FileLock::acquire(m_folder + QStringLiteral("/.velmora.lock"),
                                       platform::kLockWaitLimit, &m_lastError);
    return lock.has_value();
}

bool AddressBook::lockAndReload() {
    if (!m_lock && !makeFolderAndLock(m_lock))
        return false;
    m_people.clear();
    m_personSources.clear();
    m_groups.clear();
    m_groupSources.clear();
    m_personIndex.clear();
    m_groupIndex.clear();
    load();
    return true;
}

void AddressBook::load() {
    // An empty path would put the cards at the root of the file system.
    if (m_folder.isEmpty())
        return;
    QStringList names = QDir(m_folder).entryList(
        {QStringLiteral("*.vcf")}, QDir::Files | QDir::System | QDir::CaseSensitive, QDir::NoSort);
    std::sort(names.begin(), names.end());
    QSet<QString> uids;
    for (const QString& name : names) {
        const FileContent content = readCardFile(m_folder + u'/' + name);
        if (content.state != FileState::Read)
            continue;
        std::optional<VCard> card = singleCard(content.bytes);
        if (!card)
            continue;
        const QString uid = uidOf(*card);
        if (uid.isEmpty() || uids.contains(uid))
            continue;
        uids.insert(uid);
        const VCardProperty* kindProperty = firstProperty(*card, "KIND");
        const QString kind = kindProperty ? kindProperty->value.trimmed().toLower() : QString();
        if (kind.isEmpty() || kind == u"individual") {
            m_people.push_back(personFrom(*card, uid));
            m_personSources.push_back({name, std::move(*card), {}, false, {}});
            indexPerson(int(m_people.size()) - 1);
        } else if (kind == u"group") {
            m_groups.push_back(groupFrom(*card, uid));
            m_groupSources.push_back({name, std::move(*card), {}, false, {}});
            indexGroup(int(m_groups.size()) - 1);
        }
    }
}

void AddressBook::indexPerson(int index) {
    const Person& person = m_people[index];
    const std::pair key(person.first.toCaseFolded(), person.last.toCaseFolded());
    if (!m_personIndex.contains(key))
        m_personIndex.insert(key, index);
}

void AddressBook::indexGroup(int index) {
    const QStringList& members = m_groups[index].members;
    m_groupSources[index].memberSet = QSet<QString>(members.begin(), members.end());
    const QString key = m_groups[index].name.toCaseFolded();
    if (!m_groupIndex.contains(key))
        m_groupIndex.insert(key, index);
}

int AddressBook::findPerson(const QString& first, const QString& last) const {
    return m_personIndex.value({first.toCaseFolded(), last.toCaseFolded()}, -1);
}

int AddressBook::findGroup(const QString& name) const {
    return m_groupIndex.value(name.toCaseFolded(), -1);
}

int AddressBook::addPerson(Person person) {
    person.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::erase_if(person.emails, [](const Email& email) { return email.value.isEmpty(); });
    for (Email& email : person.emails)
        email.label = normalizedLabel(email.label);
    m_personSources.push_back({{}, personCard(person), {}, true, {}});
    m_people.push_back(std::move(person));
    indexPerson(int(m_people.size()) - 1);
    return int(m_people.size()) - 1;
}

int AddressBook::addGroup(const QString& name) {
    const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    VCard card;
    card.properties = commonProperties(uid, QStringLiteral("group"), name);
    m_groupSources.push_back({{}, std::move(card), {}, true, {}});
    m_groups.push_back({uid, name, {}});
    indexGroup(int(m_groups.size()) - 1);
    return int(m_groups.size()) - 1;
}

void AddressBook::addMember(int group, int person) {
    if (group < 0 || group >= int(m_groups.size()) || person < 0 || person >= int(m_people.size()))
        return;
    const QString& uid = m_people[person].uid;
    QSet<QString>& members = m_groupSources[group].memberSet;
    if (members.contains(uid))
        return;
    members.insert(uid);
    m_groups[group].members.append(uid);
    m_groupSources[group].pendingMembers.append(uid);
    m_groupSources[group].dirty = true;
}

bool AddressBook::saveCard(Source& source, const QString& uid,
                           const QSet<QString>& unwrittenPeople) {
    VCard card = source.card;
    QString fileName = source.fileName;
    bool changed = true;
    if (fileName.isEmpty()) {
        fileName = uid + QStringLiteral(".vcf");
        struct stat info;
        if (::lstat(QFile::encodeName(m_folder + u'/' + fileName).constData(), &info) == 0) {
            m_lastError = QStringLiteral("Another file is named %1 already.").arg(fileName);
            return false;
        }
    } else {
        const FileContent content = readCardFile(m_folder + u'/' + fileName);
        const auto unchangeable = [&] {
            m_lastError = QStringLiteral("%1 was changed into something else than its card, "
                                         "and is left as it is.")
                              .arg(fileName);
            return false;
        };
        if (content.state == FileState::Unreadable)
            return unchangeable();
        // A card removed meanwhile is written again from what was read, so this change is kept.
        if (content.state == FileState::Read) {
            std::optional<VCard> current = singleCard(content.bytes);
            if (!current || uidOf(*current) != uid)
                return unchangeable();
            card = std::move(*current);
            changed = false;
        }
    }
    QStringList members, waiting;
    for (const QString& member : source.pendingMembers)
        (unwrittenPeople.contains(member) ? waiting : members).append(member);
    changed = addMembersTo(card, members) || changed;
    if (changed) {
        const QByteArray bytes = WriteVCard(card);
        if (bytes.isEmpty()) {
            m_lastError = QStringLiteral("The card %1 cannot be written as vCard.").arg(fileName);
            return false;
        }
        QString reason;
        // A new card never replaces a file that another program put under its name meanwhile.
        const auto existing = source.fileName.isEmpty() ? platform::AtomicFile::Existing::Keep
                                                        : platform::AtomicFile::Existing::Replace;
        if (!platform::WriteFileAtomically(m_folder + u'/' + fileName, bytes, existing,
                                           platform::AtomicFile::Permissions::AsBefore, &reason)) {
            m_lastError = QStringLiteral("%1 cannot be written: %2").arg(fileName, reason);
            return false;
        }
    }
    source.card = std::move(card);
    source.fileName = fileName;
    source.pendingMembers = waiting;
    source.dirty = !waiting.isEmpty();
    return waiting.isEmpty();
}

bool AddressBook::save() {
    const auto isDirty = [](const Source& source) { return source.dirty; };
    if (std::none_of(m_personSources.begin(), m_personSources.end(), isDirty) &&
        std::none_of(m_groupSources.begin(), m_groupSources.end(), isDirty))
        return true;
    std::optional<platform::FileLock> lockForSave;
    if (!m_lock && !makeFolderAndLock(lockForSave))
        return false;
    m_lastError.clear();
    bool saved = true;
    QSet<QString> unwrittenPeople;
    for (size_t i = 0; i < m_people.size(); ++i) {
        if (m_personSources[i].dirty && !saveCard(m_personSources[i], m_people[i].uid, {})) {
            saved = false;
            if (m_personSources[i].fileName.isEmpty())
                unwrittenPeople.insert(m_people[i].uid);
        }
    }
    bool groupsChanged = false;
    for (size_t i = 0; i < m_groups.size(); ++i) {
        if (!m_groupSources[i].dirty)
            continue;
        if (saveCard(m_groupSources[i], m_groups[i].uid, unwrittenPeople)) {
            // What others wrote into the card meanwhile is now part of it here too.
            m_groups[i] = groupFrom(m_groupSources[i].card, m_groups[i].uid);
            groupsChanged = true;
        } else {
            saved = false;
        }
    }
    if (groupsChanged) {
        m_groupIndex.clear();
        for (size_t i = 0; i < m_groups.size(); ++i)
            indexGroup(int(i));
    }
    return saved;
}

} // namespace addressbook
