// A file's classic resource fork, as Mac files keep it on Linux, and the resources in it.
//
// A Mac file has two forks; the second, the resource fork, holds typed, numbered resources (a
// web location keeps its address as resource 'url '). Copied to Linux, the fork survives in
// one of two places: the file's extended attribute user.com.apple.ResourceFork, where a Mac
// volume driver or a careful copy puts it, or an AppleDouble file "._name" beside the file,
// where macOS writes it on volumes without forks (FAT, SMB shares, zip archives).
//
// Both come from anywhere, so every offset, length and count a fork or an AppleDouble file
// claims is checked against the bytes that hold it before anything is read or allocated; a fork
// that lies gives no resource, never a read outside it.
#pragma once

#include "platform/types/MacTypes.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// The resource fork of the file at `path` (symbolic links followed): its attribute
// user.com.apple.ResourceFork, else the resource fork entry of the AppleDouble file "._name"
// beside it. None when it has neither, when either is larger than a resource fork can be, or
// when "._name" is not a regular file.
std::optional<QByteArray> ReadResourceFork(const QString& path);

// The resource fork entry of AppleDouble bytes; none when they are not AppleDouble (version 2),
// have no such entry, or the entry reaches past the bytes.
std::optional<QByteArray> AppleDoubleResourceFork(const QByteArray& appleDouble);

// A parsed resource map: what Count1Resources and Get1IndResource answer for one open fork.
class ResourceMap {
public:
    // None when the header, the map or its type and reference lists reach outside the fork.
    static std::optional<ResourceMap> parse(QByteArray fork);

    // How many resources of `type` the fork holds.
    int count(OSType type) const;
    // The data of the resource of `type` at the 1-based `index`, in the map's order; none when
    // the index is out of range or the resource's data reaches past the fork's data area.
    std::optional<QByteArray> indexed(OSType type, int index) const;

private:
    struct TypeEntry {
        OSType type;
        qint64 references; // where its reference list starts in the fork
        int count;
    };

    ResourceMap(QByteArray fork, qint64 dataOffset, qint64 dataLength,
                std::vector<TypeEntry> types);
    const TypeEntry* find(OSType type) const;

    QByteArray m_fork;
    qint64 m_dataOffset;
    qint64 m_dataLength;
    std::vector<TypeEntry> m_types;
};

// A resource fork holding `resources`, their types in order of first appearance, each type's
// resources numbered 128, 129, ... in order, without names. Empty when they do not fit the
// format: a resource starting past 16 MiB of data, or a map beyond its 64 KiB of offsets.
QByteArray MakeResourceFork(const std::vector<std::pair<OSType, QByteArray>>& resources);

// An AppleDouble file holding empty Finder information and `resourceFork`.
QByteArray MakeAppleDouble(const QByteArray& resourceFork);
