#include "platform/local/system/PreferenceStore.h"

#include "platform/local/files/AtomicFileDevice.h"
#include "platform/local/files/FileLock.h"
#include "platform/local/files/ReadOnlyFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

namespace platform {

namespace {

// Far more than a person's settings ever hold; a bigger file is not read.
constexpr qint64 kMaxDomainFileSize = 16 * 1024 * 1024;

// A domain names a file in the folder and nothing else.
bool isValidDomain(const QString& name) {
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

} // namespace

PreferenceStore::PreferenceStore(QString folder)
    : m_folder(std::move(folder)), m_lockLimit(kLockWaitLimit) {}

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

std::optional<PreferenceStore::FileStamp> PreferenceStore::stampOf(const QString& name) const {
    struct stat info;
    if (::stat(QFile::encodeName(filePath(name)).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size,
                     info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec,
                     info.st_ctim.tv_sec * 1'000'000'000LL + info.st_ctim.tv_nsec};
}

void PreferenceStore::reload(Domain& entry, const QString& name) {
    const auto stamp = stampOf(name);
    if (entry.loaded && stamp && stamp == entry.stamp)
        return;
    entry.values = readFile(name).value_or(QVariantMap());
    entry.stamp = stamp;
    entry.loaded = true;
}

PreferenceStore::Domain& PreferenceStore::domain(const QString& name) {
    Domain& entry = m_domains[name];
    if (!entry.loaded && isValidDomain(name))
        reload(entry, name);
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
        reload(entry, name);
        return true;
    }
    if (!QDir().mkpath(m_folder)) {
        m_lastError = QStringLiteral("The folder %1 cannot be made.").arg(m_folder);
        return false;
    }
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto lock = FileLock::acquire(m_folder + u'/' + name + QStringLiteral(".lock"),
                                        m_lockLimit, &m_lastError);
    if (!lock)
        return false;
    const auto onDisk = readFile(name);
    // Moved, not copied: what stands there may be a FIFO or a link to a device, which a copy
    // would read without end. An earlier unreadable file keeps its name.
    if (!onDisk && !MoveAside(filePath(name), QStringLiteral(".unreadable"))) {
        m_lastError = QStringLiteral("%1 cannot be read, nor moved aside.").arg(filePath(name));
        return false;
    }
    QVariantMap merged = onDisk.value_or(QVariantMap());
    for (auto change = entry.pending.cbegin(); change != entry.pending.cend(); ++change) {
        if (change.value())
            merged.insert(change.key(), *change.value());
        else
            merged.remove(change.key());
    }
    QString reason;
    if (!WriteFileAtomically(
            filePath(name),
            QJsonDocument(QJsonObject::fromVariantMap(merged)).toJson(QJsonDocument::Indented),
            AtomicFile::Existing::Replace, AtomicFile::Permissions::Private, &reason)) {
        m_lastError = QStringLiteral("%1 cannot be written: %2").arg(filePath(name), reason);
        return false;
    }
    m_lastError.clear();
    entry.stamp = stampOf(name);
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
