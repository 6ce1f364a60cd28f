// Real files for tests: made under one folder, and read back whole to show what changed.
#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fixtures {

class FileTree {
public:
    explicit FileTree(QString root) : m_root(std::move(root)) {}
    QString path(const QString& name) const { return m_root + u'/' + name; }
    QString file(const QString& name, const QByteArray& text = "x") const {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
        return path(name);
    }
    QString folder(const QString& name) const {
        EXPECT_TRUE(QDir().mkpath(path(name)));
        return path(name);
    }
    // A symbolic link holding exactly `target`.
    QString link(const QString& name, const QString& target) const {
        EXPECT_EQ(::symlink(QFile::encodeName(target), QFile::encodeName(path(name))), 0);
        return path(name);
    }
    // Every entry below the root, sorted: "name = contents", "name -> link text", or a folder's
    // name. Names that are not UTF-8 are not seen.
    QStringList snapshot() const {
        QStringList entries;
        QDirIterator it(m_root,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            QString entry = info.filePath().mid(m_root.size() + 1);
            if (info.isSymLink()) {
                char target[4096];
                const ssize_t size = ::readlink(QFile::encodeName(info.filePath()).constData(),
                                                target, sizeof target);
                entry += QStringLiteral(" -> ") + QString::fromUtf8(target, size < 0 ? 0 : size);
            } else if (info.isFile()) {
                QFile in(info.filePath());
                entry +=
                    QStringLiteral(" = ") +
                    (in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString());
            }
            entries << entry;
        }
        entries.sort();
        return entries;
    }
    void clear() const {
        QDir(m_root).removeRecursively();
        QDir().mkpath(m_root);
    }

private:
    QString m_root;
};

} // namespace fixtures
