#include "commands/media/MovieInfo.h"

#include "commands/media/MovieInfoText.h"
#include "commands/media/NumberText.h"
#include "common/AlertMessages.h"
#include "common/ItemKinds.h"
#include "common/ItemNames.h"
#include "common/ItemPaths.h"
#include "common/SelectionResolution.h"
#include "common/TextWindow.h"
#include "platform/local/files/FileUri.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/MovieProperties.h"
#include "platform/services/Processes.h"

#include <climits>

namespace {

constexpr UInt32 kMaxPathBytes = 4096;

std::optional<Movie> openMovie(const FSRef* item) {
    FSSpec spec;
    MovieFile file;
    Movie movie;
    if (FSRefMakeFSSpec(item, &spec) != noErr || OpenMovieFile(&spec, &file, fsRdPerm) != noErr ||
        NewMovieFromFile(&movie, file, newMovieActive) != noErr)
        return std::nullopt;
    return movie;
}

UInt32 wholeSeconds(qint64 microseconds) {
    const qint64 seconds = microseconds / 1000000;
    return seconds < 0 ? 0 : seconds > qint64(UINT32_MAX) ? UINT32_MAX : UInt32(seconds);
}

QString dateLine(const char* label, const QString& standardForm) {
    return QLatin1String(label) + MakeFormattedDateString(standardForm).value_or(standardForm) +
           u'\n';
}

} // namespace

long GetFrameCount(const Movie& movie) {
    return CountMovieVideoSamples(movie);
}

std::optional<QString> CodecName(const Movie& movie, long* trackCount) {
    const MovieProperties properties = GetMovieProperties(movie);
    *trackCount = long(properties.tracks.size());
    for (const MovieTrack& track : properties.tracks) {
        if (track.kind == MovieTrack::Kind::Video && !track.codecName.isEmpty())
            return track.codecName;
    }
    return std::nullopt;
}

std::optional<QString> SoundName(const Movie& movie, long* rate, long* channels) {
    for (const MovieTrack& track : GetMovieProperties(movie).tracks) {
        if (track.kind != MovieTrack::Kind::Sound || track.codecName.isEmpty())
            continue;
        *rate = track.sampleRate;
        *channels = track.channels;
        QString description = track.codecName;
        if (track.sampleRate > 0)
            description += QStringLiteral(", %1 Hz").arg(track.sampleRate);
        if (!track.channelLayout.isEmpty())
            description += QStringLiteral(", ") + track.channelLayout;
        return description;
    }
    return std::nullopt;
}

QString GetMovieInfoForFSRef(const FSRef* item, long position) {
    UInt8 path[kMaxPathBytes];
    if (FSRefMakePath(item, path, kMaxPathBytes) != noErr)
        return QString();
    const auto movie = openMovie(item);
    if (!movie)
        return QStringLiteral("Movie Info: This is not a movie file\n");
    const auto name = GetObjectName(item);
    if (!name)
        return QString();
    const MovieProperties properties = GetMovieProperties(*movie);
    QString info;
    if (position > 1)
        info += QString(31, u'_') + u'\n';
    info += QStringLiteral("Info for \"%1\"\n\n").arg(*name);
    if (properties.copyright)
        info += QStringLiteral("Copyright: %1\n").arg(*properties.copyright);
    if (properties.title)
        info += QStringLiteral("Display name: %1\n").arg(*properties.title);
    if (!properties.path.isEmpty()) {
        info += QStringLiteral("URL: %1\n")
                    .arg(QString::fromLatin1(platform::encodeFileUri(properties.path)));
        const long frames = GetFrameCount(*movie);
        info += QStringLiteral("Frame count: %1\n").arg(FormatNumber(&frames).value_or(QString()));
    }
    info += QStringLiteral("Duration: %1\n")
                .arg(ElapsedTimeMessage(wholeSeconds(properties.durationMicroseconds)));
    if (properties.creationTime)
        info += dateLine("Created: ", *properties.creationTime);
    if (properties.modificationTime)
        info += dateLine("Modifed: ", *properties.modificationTime);
    if (properties.naturalSize)
        info += QStringLiteral("Width: %1, Height: %2\n")
                    .arg(properties.naturalSize->width())
                    .arg(properties.naturalSize->height());
    if (properties.dataSize) {
        const long size = long(*properties.dataSize);
        info += QStringLiteral("Size: %1 bytes\n").arg(FormatNumber(&size).value_or(QString()));
    }
    long tracks = 0;
    if (const auto codec = CodecName(*movie, &tracks))
        info += QStringLiteral("Codec Name: %1\nNbr. Tracks: %2\n").arg(*codec).arg(tracks);
    long rate = 0, channels = 0;
    if (const auto sound = SoundName(*movie, &rate, &channels))
        info += QStringLiteral("Sound: %1\nBite rate: %2\nNbr. Channels: %3\n")
                    .arg(*sound)
                    .arg(rate)
                    .arg(channels);
    return info;
}

void ShowMovieInfoOfSelection(TextWindow& window) {
    long count = 0;
    const auto chosen = SelectionForCommand(&count);
    if (!chosen)
        return;
    const AEDescList& selection = *chosen;
    QString report;
    bool added = false;
    for (long position = 1; position <= count; ++position) {
        FSRef ref;
        if (!ResolveSelectionItem(selection, position, &ref) || FSIsFSRefValid(&ref) != noErr)
            continue;
        if (FSIsMovieFile(&ref)) {
            report += GetMovieInfoForFSRef(&ref, position);
            added = true;
        } else {
            ShowAlertMessage(QStringLiteral("You selected a non-movie file:"),
                             stringWithFSRef(&ref).value_or(QString()));
        }
    }
    if (!added)
        return;
    SetFrontProcess(&kCurrentProcessPSN);
    window.showText(QStringLiteral("Movie Info"),
                    report.isEmpty() ? QStringLiteral("The movie info string is empty.") : report);
}
