// The per-user preference store: one typed file per domain.
//
// Each domain is a JSON object in `<folder>/<domain>.json`, so booleans, strings, numbers and
// arrays keep their types. A process sees the file as it was at its last synchronisation and
// its own changes since; synchronising writes those changes and reads everyone else's. Writes
// are atomic (a new file renamed over the old one) and read-modify-write under a lock on
// `<domain>.lock`, so two processes that change different keys at once both keep their change.
// A file that cannot be read as an object counts as empty: reading never changes it, and the
// next write replaces it, after keeping the unreadable one as `<domain>.json.unreadable` (or
// `.unreadable-2`, ...: an earlier one is never replaced). A write that fails (a full disk, a
// lock held too long) leaves the file as it was and keeps the changes pending.
#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <chrono>
#include <map>
#include <optional>

namespace platform {

class PreferenceStore {
public:
    explicit PreferenceStore(QString folder);

    // The key's value as last synchronised or set here; none when absent.
    std::optional<QVariant> copyValue(const QString& key, const QString& domain);
    // Sets (or, with none, removes) the key; written at the next synchronisation.
    void setValue(const QString& key, const std::optional<QVariant>& value, const QString& domain);
    // Writes this process's changes and reads the others'. False when the domain's file could
    // not be written; the changes then stay pending.
    bool synchronize(const QString& domain);

    // Everything in the domain, as this process sees it.
    QVariantMap values(const QString& domain);

    // Why the last synchronisation that had changes to write failed; empty after one that
    // succeeded.
    QString lastError() const { return m_lastError; }
    // How long a synchronisation waits for another process's lock.
    void setLockLimit(std::chrono::milliseconds limit) { m_lockLimit = limit; }

    QString folder() const { return m_folder; }

private:
    // What a file was when it was last read: a file whose stamp has not changed is not read
    // again, so that a menu asking for a setting at every opening costs one stat.
    struct FileStamp {
        unsigned long long device = 0, inode = 0;
        long long size = 0, modifiedNs = 0, changedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct Domain {
        QVariantMap values;
        QMap<QString, std::optional<QVariant>> pending;
        bool loaded = false;
        std::optional<FileStamp> stamp; // none: not read, or nothing readable was there
    };
    std::optional<FileStamp> stampOf(const QString& name) const;
    void reload(Domain& entry, const QString& name);
    Domain& domain(const QString& name);
    std::optional<QVariantMap> readFile(const QString& name) const;
    QString filePath(const QString& name) const;

    QString m_folder;
    std::map<QString, Domain> m_domains;
    QString m_lastError;
    std::chrono::milliseconds m_lockLimit;
};

} // namespace platform
