#include "platform/local/media/QuickTimeHeader.h"

#include <QtEndian>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMaxAtoms = 4096;

struct Atom {
    quint64 start = 0; // of the atom's contents, after its header
    quint64 end = 0;
    char type[4] = {};
};

bool readAt(int fd, quint64 offset, void* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            pread(fd, static_cast<char*>(buffer) + done, size - done, off_t(offset + done));
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// The atom at `offset` within [offset, limit), or none when its header does not fit there. One
// that claims to run past `limit` is none too, or with `cut`, cut at `limit` as FFmpeg reads it.
std::optional<Atom> atomAt(int fd, quint64 offset, quint64 limit, bool cut = false) {
    uchar header[16];
    if (limit - offset < 8 || !readAt(fd, offset, header, 8))
        return std::nullopt;
    Atom atom;
    std::memcpy(atom.type, header + 4, 4);
    quint64 size = qFromBigEndian<quint32>(header);
    quint64 headerSize = 8;
    if (size == 1) {
        if (limit - offset < 16 || !readAt(fd, offset + 8, header + 8, 8))
            return std::nullopt;
        size = qFromBigEndian<quint64>(header + 8);
        headerSize = 16;
    } else if (size == 0) {
        size = limit - offset; // to the end of the file
    }
    if (cut && size > limit - offset)
        size = limit - offset;
    if (size < headerSize || size > limit - offset)
        return std::nullopt;
    atom.start = offset + headerSize;
    atom.end = offset + size;
    return atom;
}

// The first child of type `type` in [start, end).
std::optional<Atom> findAtom(int fd, quint64 start, quint64 end, const char* type) {
    quint64 offset = start;
    for (int count = 0; count < kMaxAtoms && offset < end; ++count) {
        const auto atom = atomAt(fd, offset, end);
        if (!atom)
            return std::nullopt;
        if (std::memcmp(atom->type, type, 4) == 0)
            return atom;
        offset = atom->end;
    }
    return std::nullopt;
}

// The file's movie atom.
std::optional<Atom> movieAtom(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_size <= 0)
        return std::nullopt;
    return findAtom(fd, 0, quint64(st.st_size), "moov");
}

} // namespace

bool HasTrackWithoutUsableHeader(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_size <= 0)
        return false;
    // FFmpeg takes a track from a trak atom wherever it stands, and reads the containers below
    // whatever holds them; so are they walked here, each within its parent.
    static const char* const kContainers[] = {"moov", "trak", "mdia", "minf",
                                              "stbl", "dinf", "edts", "udta"};
    struct Level {
        quint64 offset;
        quint64 end;
    };
    std::vector<Level> levels{{0, quint64(st.st_size)}};
    for (int count = 0; count < kMaxAtoms && !levels.empty(); ++count) {
        Level& level = levels.back();
        const auto atom =
            level.offset < level.end ? atomAt(fd, level.offset, level.end, true) : std::nullopt;
        if (!atom) {
            levels.pop_back();
            continue;
        }
        level.offset = atom->end;
        if (std::memcmp(atom->type, "trak", 4) == 0) {
            const auto header = findAtom(fd, atom->start, atom->end, "tkhd");
            if (!header)
                return true;
            // The track's number follows the version, the flags and two times of 32 bits, or
            // of 64 in version 1; FFmpeg keeps it in an int.
            uchar version = 0;
            uchar number[4] = {};
            if (readAt(fd, header->start, &version, 1) &&
                readAt(fd, header->start + (version == 1 ? 20 : 12), number, 4) &&
                qFromBigEndian<quint32>(number) >= 0x80000000u)
                return true;
        }
        for (const char* container : kContainers) {
            if (std::memcmp(atom->type, container, 4) == 0 && levels.size() < 16) {
                levels.push_back({atom->start, atom->end});
                break;
            }
        }
    }
    return false;
}

std::optional<QuickTimeMovieHeader> ReadQuickTimeMovieHeader(int fd) {
    const auto moov = movieAtom(fd);
    if (!moov)
        return std::nullopt;
    const auto mvhd = findAtom(fd, moov->start, moov->end, "mvhd");
    if (!mvhd)
        return std::nullopt;
    // Version 0 keeps times and the duration in 32 bits, version 1 in 64; after them come the
    // rate, volume, ten reserved bytes, the matrix, the preview time and duration, then the
    // poster time.
    uchar fields[112];
    const quint64 length = mvhd->end - mvhd->start;
    if (length < 4 || !readAt(fd, mvhd->start, fields, 4))
        return std::nullopt;
    const bool wide = fields[0] == 1;
    const quint64 needed = wide ? 4 + 8 + 8 + 4 + 8 + 4 + 2 + 10 + 36 + 4 + 4 + 4
                                : 4 + 4 + 4 + 4 + 4 + 4 + 2 + 10 + 36 + 4 + 4 + 4;
    if (fields[0] > 1 || length < needed || !readAt(fd, mvhd->start, fields, size_t(needed)))
        return std::nullopt;
    QuickTimeMovieHeader header;
    const uchar* at = fields + 4;
    if (wide) {
        header.creationTime = qFromBigEndian<quint64>(at);
        header.modificationTime = qFromBigEndian<quint64>(at + 8);
        header.timeScale = qFromBigEndian<quint32>(at + 16);
        at += 8 + 8 + 4 + 8;
    } else {
        header.creationTime = qFromBigEndian<quint32>(at);
        header.modificationTime = qFromBigEndian<quint32>(at + 4);
        header.timeScale = qFromBigEndian<quint32>(at + 8);
        at += 4 + 4 + 4 + 4;
    }
    at += 4 + 2 + 10 + 36 + 4 + 4;
    header.posterTime = qFromBigEndian<quint32>(at);
    return header;
}
