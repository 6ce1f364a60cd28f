// Any bytes, as a selected file, give Get Movie Info's verdict as the command reaches it: not a
// movie, or the movie's report. It never crashes, reads out of bounds or reads without end; and
// the same movie, asked for its poster and its frame count before its properties, gives the
// report's answers.
#include "commands/media/MovieInfo.h"
#include "commands/media/NumberText.h"
#include "common/ItemKinds.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/MovieProperties.h"
#include "platform/local/media/Movies.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

struct Place {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("movie"));
    Place() { EnterMovies(); }
};

Movie open(const FSRef& ref) {
    FSSpec spec;
    MovieFile file;
    Movie movie;
    if (FSRefMakeFSSpec(&ref, &spec) != noErr || OpenMovieFile(&spec, &file, fsRdPerm) != noErr ||
        NewMovieFromFile(&movie, file, newMovieActive) != noErr)
        return nullptr;
    return movie;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Place place;
    QFile file(place.path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();
    FSRef ref;
    if (FSPathMakeRef(QFile::encodeName(place.path), &ref) != noErr)
        std::abort();
    if (!FSIsMovieFile(&ref))
        return 0;
    const QString report = GetMovieInfoForFSRef(&ref, 1);
    if (!report.startsWith(QStringLiteral("Info for \"movie\"\n\n")) ||
        !report.contains(QStringLiteral("\nDuration: ")))
        std::abort();

    const Movie movie = open(ref);
    if (!movie)
        std::abort();
    GetMoviePosterImage(movie);
    const long frames = CountMovieVideoSamples(movie);
    const MovieProperties properties = GetMovieProperties(movie);
    const QString frameLine =
        QStringLiteral("\nFrame count: %1\n").arg(FormatNumber(&frames).value_or(QString()));
    const QString sizeLine = properties.naturalSize ? QStringLiteral("\nWidth: %1, Height: %2\n")
                                                          .arg(properties.naturalSize->width())
                                                          .arg(properties.naturalSize->height())
                                                    : QStringLiteral("\n");
    if (!report.contains(frameLine) || !report.contains(sizeLine))
        std::abort();
    return 0;
}
