#include "platform/local/files/ResourceFork.h"

#include "platform/local/files/ReadOnlyFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <sys/xattr.h>

namespace {

// The Resource Manager addresses resource data with 24-bit offsets and refused forks past
// 16 MiB; a web location's fork is a few hundred bytes. Nothing larger is read or kept.
constexpr qint64 kMaxForkSize = 16 * 1024 * 1024;
// An AppleDouble file holds the fork and, from macOS, the Finder information with the file's
// other extended attributes packed into it, which rarely reach a few kilobytes.
constexpr qint64 kMaxAppleDoubleSize = kMaxForkSize + 1024 * 1024;

constexpr const char* kForkAttribute = "user.com.apple.ResourceFork";

constexpr quint32 kAppleDoubleMagic = 0x00051607;
constexpr quint32 kAppleDoubleVersion = 0x00020000;
constexpr qint64 kAppleDoubleHeaderSize = 26; // magic, version, 16 filler bytes, entry count
constexpr qint64 kAppleDoubleEntrySize = 12;
constexpr quint32 kResourceForkEntry = 2;
constexpr quint32 kFinderInfoEntry = 9;
constexpr qint64 kFinderInfoSize = 32;

constexpr qint64 kForkHeaderSize = 16;
// The Resource Manager leaves 240 bytes for the system and the application after the header.
constexpr qint64 kForkDataStart = 256;
// The header copy, next-map handle, file reference, attributes and the two list offsets.
constexpr qint64 kMapHeaderSize = 28;
constexpr qint64 kTypeEntrySize = 8;
constexpr qint64 kReferenceSize = 12;
constexpr qint64 kMaxDataOffset = 0xFFFFFF;
constexpr quint16 kNoName = 0xFFFF;
constexpr SInt16 kFirstResourceId = 128;

quint16 read16(const QByteArray& bytes, qint64 at) {
    return qFromBigEndian<quint16>(bytes.constData() + at);
}

quint32 read32(const QByteArray& bytes, qint64 at) {
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

quint32 read24(const QByteArray& bytes, qint64 at) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return quint32(p[0]) << 16 | quint32(p[1]) << 8 | quint32(p[2]);
}

void append16(QByteArray& bytes, quint16 value) {
    char be[2];
    qToBigEndian(value, be);
    bytes.append(be, 2);
}

void append32(QByteArray& bytes, quint32 value) {
    char be[4];
    qToBigEndian(value, be);
    bytes.append(be, 4);
}

// Whether `length` bytes from `offset` lie inside `size` bytes. Every value a fork or an
// AppleDouble file gives is below 2^33, so the sum cannot overflow.
bool fits(qint64 offset, qint64 length, qint64 size) {
    return offset >= 0 && length >= 0 && offset + length <= size;
}

enum class Attribute { Read, Absent, Failed };

// The attribute's value, read again when it grows between asking its size and reading it.
Attribute ReadForkAttribute(const QByteArray& path, QByteArray* fork) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = ::getxattr(path.constData(), kForkAttribute, nullptr, 0);
        if (size < 0)
            return errno == ENODATA || errno == ENOTSUP ? Attribute::Absent : Attribute::Failed;
        if (size > kMaxForkSize)
            return Attribute::Failed;
        // A second call with no room would ask the size again rather than read.
        if (size == 0) {
            fork->clear();
            return Attribute::Read;
        }
        fork->resize(qsizetype(size));
        const ssize_t read =
            ::getxattr(path.constData(), kForkAttribute, fork->data(), size_t(fork->size()));
        if (read >= 0) {
            fork->resize(qsizetype(read));
            return Attribute::Read;
        }
        if (errno != ERANGE)
            return errno == ENODATA ? Attribute::Absent : Attribute::Failed;
    }
    return Attribute::Failed;
}

} // namespace

std::optional<QByteArray> ReadResourceFork(const QString& path) {
    QByteArray fork;
    switch (ReadForkAttribute(QFile::encodeName(path), &fork)) {
    case Attribute::Read:
        return fork;
    case Attribute::Failed:
        return std::nullopt;
    case Attribute::Absent:
        break;
    }
    const QFileInfo info(path);
    const auto appleDouble =
        ReadRegularFile(info.path() + QStringLiteral("/._") + info.fileName(), kMaxAppleDoubleSize);
    if (!appleDouble)
        return std::nullopt;
    return AppleDoubleResourceFork(*appleDouble);
}

std::optional<QByteArray> AppleDoubleResourceFork(const QByteArray& appleDouble) {
    const qint64 size = appleDouble.size();
    if (size < kAppleDoubleHeaderSize || read32(appleDouble, 0) != kAppleDoubleMagic ||
        read32(appleDouble, 4) != kAppleDoubleVersion)
        return std::nullopt;
    const qint64 entries = read16(appleDouble, 24);
    if (!fits(kAppleDoubleHeaderSize, entries * kAppleDoubleEntrySize, size))
        return std::nullopt;
    for (qint64 i = 0; i < entries; ++i) {
        const qint64 entry = kAppleDoubleHeaderSize + i * kAppleDoubleEntrySize;
        if (read32(appleDouble, entry) != kResourceForkEntry)
            continue;
        const qint64 offset = read32(appleDouble, entry + 4);
        const qint64 length = read32(appleDouble, entry + 8);
        if (!fits(offset, length, size) || length > kMaxForkSize)
            return std::nullopt;
        return appleDouble.mid(qsizetype(offset), qsizetype(length));
    }
    return std::nullopt;
}

ResourceMap::ResourceMap(QByteArray fork, qint64 dataOffset, qint64 dataLength,
                         std::vector<TypeEntry> types)
    : m_fork(std::move(fork)), m_dataOffset(dataOffset), m_dataLength(dataLength),
      m_types(std::move(types)) {}

std::optional<ResourceMap> ResourceMap::parse(QByteArray fork) {
    const qint64 size = fork.size();
    if (size < kForkHeaderSize)
        return std::nullopt;
    const qint64 dataOffset = read32(fork, 0);
    const qint64 mapOffset = read32(fork, 4);
    const qint64 dataLength = read32(fork, 8);
    const qint64 mapLength = read32(fork, 12);
    if (!fits(dataOffset, dataLength, size) || !fits(mapOffset, mapLength, size) ||
        mapLength < kMapHeaderSize)
        return std::nullopt;
    // Offsets within the map are checked against the map's length, then made absolute.
    const qint64 typeList = read16(fork, mapOffset + 24);
    if (!fits(typeList, 2, mapLength))
        return std::nullopt;
    // The count is stored less one, so 0xFFFF, -1, is a map without types.
    const qint64 typeCount = (read16(fork, mapOffset + typeList) + 1) & 0xFFFF;
    if (!fits(typeList + 2, typeCount * kTypeEntrySize, mapLength))
        return std::nullopt;
    std::vector<TypeEntry> types;
    types.reserve(size_t(typeCount));
    for (qint64 i = 0; i < typeCount; ++i) {
        const qint64 entry = mapOffset + typeList + 2 + i * kTypeEntrySize;
        const qint64 count = qint64(read16(fork, entry + 4)) + 1;
        const qint64 references = typeList + read16(fork, entry + 6);
        if (!fits(references, count * kReferenceSize, mapLength))
            return std::nullopt;
        types.push_back({read32(fork, entry), mapOffset + references, int(count)});
    }
    return ResourceMap(std::move(fork), dataOffset, dataLength, std::move(types));
}

// The first entry of a type, as the Resource Manager finds it in a map that lists one twice.
const ResourceMap::TypeEntry* ResourceMap::find(OSType type) const {
    for (const TypeEntry& entry : m_types)
        if (entry.type == type)
            return &entry;
    return nullptr;
}

int ResourceMap::count(OSType type) const {
    const TypeEntry* entry = find(type);
    return entry ? entry->count : 0;
}

std::optional<QByteArray> ResourceMap::indexed(OSType type, int index) const {
    const TypeEntry* entry = find(type);
    if (!entry || index < 1 || index > entry->count)
        return std::nullopt;
    const qint64 reference = entry->references + qint64(index - 1) * kReferenceSize;
    const qint64 offset = read24(m_fork, reference + 5);
    if (!fits(offset, 4, m_dataLength))
        return std::nullopt;
    const qint64 length = read32(m_fork, m_dataOffset + offset);
    if (!fits(offset + 4, length, m_dataLength))
        return std::nullopt;
    return m_fork.mid(qsizetype(m_dataOffset + offset + 4), qsizetype(length));
}

QByteArray MakeResourceFork(const std::vector<std::pair<OSType, QByteArray>>& resources) {
    struct Type {
        OSType type;
        std::vector<qint64> offsets; // of each resource's data, from the data's start
    };
    std::vector<Type> types;
    QByteArray data;
    qint64 references = 0;
    for (const auto& resource : resources) {
        if (data.size() > kMaxDataOffset)
            return {};
        auto entry = std::find_if(types.begin(), types.end(),
                                  [&](const Type& t) { return t.type == resource.first; });
        if (entry == types.end())
            entry = types.insert(types.end(), {resource.first, {}});
        entry->offsets.push_back(data.size());
        ++references;
        append32(data, quint32(resource.second.size()));
        data += resource.second;
    }
    // The name list's offset, from the map's start, is the largest a map holds in 16 bits; the
    // data's length is kept in 32.
    const qint64 typeListSize = 2 + qint64(types.size()) * kTypeEntrySize;
    const qint64 mapLength = kMapHeaderSize + typeListSize + references * kReferenceSize;
    if (mapLength > 0xFFFF || kForkDataStart + data.size() + mapLength > 0xFFFFFFFF)
        return {};

    QByteArray header;
    append32(header, quint32(kForkDataStart));
    append32(header, quint32(kForkDataStart + data.size()));
    append32(header, quint32(data.size()));
    append32(header, quint32(mapLength));

    QByteArray map = header;
    append32(map, 0); // next-map handle
    append16(map, 0); // file reference
    append16(map, 0); // attributes
    append16(map, quint16(kMapHeaderSize));
    append16(map, quint16(mapLength));
    append16(map, quint16(qint64(types.size()) - 1)); // 0xFFFF when there are none
    qint64 referenceList = typeListSize;
    for (const Type& type : types) {
        append32(map, type.type);
        append16(map, quint16(type.offsets.size() - 1));
        append16(map, quint16(referenceList));
        referenceList += qint64(type.offsets.size()) * kReferenceSize;
    }
    for (const Type& type : types) {
        SInt16 id = kFirstResourceId;
        for (const qint64 offset : type.offsets) {
            append16(map, quint16(id++));
            append16(map, kNoName);
            append32(map, quint32(offset)); // attributes 0, then the 24-bit data offset
            append32(map, 0);               // handle
        }
    }

    return header + QByteArray(kForkDataStart - kForkHeaderSize, '\0') + data + map;
}

QByteArray MakeAppleDouble(const QByteArray& resourceFork) {
    QByteArray bytes;
    append32(bytes, kAppleDoubleMagic);
    append32(bytes, kAppleDoubleVersion);
    bytes.append(16, '\0');
    append16(bytes, 2);
    const qint64 finderInfo = kAppleDoubleHeaderSize + 2 * kAppleDoubleEntrySize;
    append32(bytes, kFinderInfoEntry);
    append32(bytes, quint32(finderInfo));
    append32(bytes, quint32(kFinderInfoSize));
    append32(bytes, kResourceForkEntry);
    append32(bytes, quint32(finderInfo + kFinderInfoSize));
    append32(bytes, quint32(resourceFork.size()));
    bytes.append(kFinderInfoSize, '\0');
    return bytes + resourceFork;
}
