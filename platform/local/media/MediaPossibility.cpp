#include "platform/local/media/MediaPossibility.h"

#include "platform/local/files/FileDescriptor.h"
#include "platform/local/files/ReadOnlyFile.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

#include <cerrno>
#include <unistd.h>

namespace {

// Far more than any media header needs to show that it is no text.
constexpr qint64 kSniffedBytes = 4096;

// Containers of sound or pictures whose shared-mime-info types are not under audio/ or video/.
const QLatin1String kOtherMediaTypes[] = {
    QLatin1String("application/mxf"),        QLatin1String("application/vnd.rn-realmedia"),
    QLatin1String("application/vnd.ms-asf"), QLatin1String("application/ogg"),
    QLatin1String("application/x-matroska"), QLatin1String("application/x-shockwave-flash")};

bool isMediaType(const QMimeType& type) {
    const QString name = type.name();
    if (name.startsWith(QLatin1String("image/")) || name.startsWith(QLatin1String("video/")) ||
        name.startsWith(QLatin1String("audio/")))
        return true;
    for (const QLatin1String other : kOtherMediaTypes) {
        if (name == other)
            return true;
    }
    return false;
}

// Text as people write it: no NUL, and hardly a control character but tabs, line ends, form
// feeds and escapes. Every picture, sound and movie format has NULs or control bytes in its
// first few KiB.
bool looksLikeText(const QByteArray& head) {
    qsizetype controls = 0;
    for (const char c : head) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            return false;
        if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f' &&
             byte != 0x1b) ||
            byte == 0x7f)
            ++controls;
    }
    return controls * 100 <= head.size();
}

// Text that the picture readers read as a picture, or that the movie toolbox opens as a movie.
MediaPossibility possibilityOfText(const QByteArray& head) {
    const QByteArray start = head.left(256).trimmed();
    MediaPossibility possible;
    possible.picture = start.startsWith("/* XPM */") || start.startsWith("#define ") ||
                       head.contains("<svg") ||
                       (start.size() >= 2 && start[0] == 'P' && start[1] >= '1' && start[1] <= '3');
    possible.movie = start.startsWith("#EXTM3U");
    return possible;
}

} // namespace

MediaPossibility MediaPossibilityOfFile(const QString& path) {
    static const QMimeDatabase database;
    for (const QMimeType& type : database.mimeTypesForFileName(QFileInfo(path).fileName())) {
        if (isMediaType(type))
            return {true, true};
    }
    // A plain descriptor: this runs for every selected file at every opening.
    const platform::FileDescriptor fd(OpenRegularFileForReading(QFile::encodeName(path)));
    if (!fd.valid())
        return {};
    QByteArray head(kSniffedBytes, Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::read(fd.get(), head.data(), size_t(head.size()));
    } while (got < 0 && errno == EINTR);
    if (got <= 0)
        return {};
    head.truncate(got);
    if (looksLikeText(head))
        return possibilityOfText(head);
    return {true, true};
}
