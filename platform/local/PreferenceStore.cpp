#include "platform/local/PreferenceStore.h"

#include "platform/local/ReadOnlyFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

// Far more than a person's settings ever hold; a bigger file is not read.
constexpr qint64 kMaxDomainFileSize = 16 * 1024 * 1024;

// A domain names a file in the folder and nothing else.
bool isValidDomain(const QString& name) {
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

// Holds the domain's lock file locked for as long as it lives.
class DomainLock {
public:
    explicit DomainLock(const QString& path) {
        m_fd = ::open(QFile::encodeName(path).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~DomainLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DomainLock(const DomainLock&) = delete;
    DomainLock& operator=(const DomainLock&) = delete;
    bool isLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace

PreferenceStore::PreferenceStore(QString folder) : m_folder(std::move(folder)) {}

QString PreferenceStore::filePath(const QString& name) const {
    return m_folder + u'/' + name + QStringLiteral(".json");
}

std::optional<QVariantMap> PreferenceStore::readFile(const QString& name) const {
    if (!QFile::exists(filePath(name)))
        return QVariantMap();
    const auto bytes = ReadRegularFile(filePath(name), kMaxDomainFileSize);
    if (!bytes)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object().toVariantMap();
}

PreferenceStore::Domain& PreferenceStore::domain(const QString& name) {
    Domain& entry = m_domains[name];
    if (!entry.loaded && isValidDomain(name)) {
        entry.values = readFile(name).value_or(QVariantMap());
        entry.loaded = true;
    }
    return entry;
}

std::optional<QVariant> PreferenceStore::copyValue(const QString& key, const QString& name) {
    Domain& entry = domain(name);
    if (const auto pending = entry.pending.find(key); pending != entry.pending.end())
        return *pending;
    const auto found = entry.values.find(key);
    if (found == entry.values.end())
        return std::nullopt;
    return *found;
}

void PreferenceStore::setValue(const QString& key, const std::optional<QVariant>& value,
                               const QString& name) {
    domain(name).pending.insert(key, value);
}

bool PreferenceStore::synchronize(const QString& name) {
    if (!isValidDomain(name))
        return false;
    Domain& entry = domain(name);
    if (entry.pending.isEmpty()) {
        entry.values = readFile(name).value_or(QVariantMap());
        return true;
    }
    if (!QDir().mkpath(m_folder))
        return false;
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const DomainLock lock(m_folder + u'/' + name + QStringLiteral(".lock"));
    if (!lock.isLocked())
        return false;
    const auto onDisk = readFile(name);
    if (!onDisk) {
        // Moved, not copied: what stands there may be a FIFO or a link to a device, which a
        // copy would read without end.
        const QString unreadable = filePath(name) + QStringLiteral(".unreadable");
        QFile::remove(unreadable);
        ::rename(QFile::encodeName(filePath(name)).constData(),
                 QFile::encodeName(unreadable).constData());
    }
    QVariantMap merged = onDisk.value_or(QVariantMap());
    for (auto change = entry.pending.cbegin(); change != entry.pending.cend(); ++change) {
        if (change.value())
            merged.insert(change.key(), *change.value());
        else
            merged.remove(change.key());
    }
    QSaveFile file(filePath(name));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(QJsonObject::fromVariantMap(merged)).toJson(QJsonDocument::Indented));
    if (!file.commit())
        return false;
    entry.values = merged;
    entry.pending.clear();
    return true;
}

QVariantMap PreferenceStore::values(const QString& name) {
    Domain& entry = domain(name);
    QVariantMap result = entry.values;
    for (auto change = entry.pending.cbegin(); change != entry.pending.cend(); ++change) {
        if (change.value())
            result.insert(change.key(), *change.value());
        else
            result.remove(change.key());
    }
    return result;
}

} // namespace platform
