// The media commands beside the tools a user would reach for instead: a 12-megapixel JPEG put
// on the clipboard as PNG against ImageMagick's convert writing the same PNG to a pipe, and the
// report of a 1 GB movie against ffprobe counting its packets.
//
// The external tools are called by their paths in /usr/bin: a convert found earlier on PATH
// may be a wrapper with a start-up of its own. The 1 GB movie is made once by stream-copying a
// short clip and kept in the temporary folder for later runs.
#include "bench/support/ToolRuns.h"
#include "commands/media/ImageCopy.h"
#include "commands/media/MovieInfo.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/Movies.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

constexpr qint64 kBigMovieBytes = qint64(1) << 30;

// A photograph's worth of detail: smooth gradients with sensor-like noise, so that neither
// encoder meets an unrealistically easy picture.
QString writePhoto(const QString& folder) {
    const QString path = folder + QStringLiteral("/photo.jpg");
    if (QFileInfo(path).size() > 0)
        return path;
    QImage photo(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator noise(12);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int n = int(noise.bounded(24));
            line[x] = qRgb((x * 255 / 4000 + n) % 256, (y * 255 / 3000 + n) % 256,
                           ((x + y) * 255 / 7000 + n) % 256);
        }
    }
    photo.save(path, "jpeg", 90);
    return path;
}

QString bigMovie() {
    const QString path = QDir::tempPath() + QStringLiteral("/velmora-bench-1g.mov");
    if (QFileInfo(path).size() >= kBigMovieBytes)
        return path;
    const QString clip = QDir::tempPath() + QStringLiteral("/velmora-bench-clip.mov");
    fixtures::MakeMovie(clip, {"-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=30:duration=10",
                               "-f", "lavfi", "-i", "sine=sample_rate=48000:duration=10", "-c:v",
                               "mpeg4", "-b:v", "60M", "-c:a", "aac"});
    const qint64 clipSize = QFileInfo(clip).size();
    const qint64 loops = clipSize > 0 ? kBigMovieBytes / clipSize + 1 : 1;
    fixtures::MakeMovie(path, {"-stream_loop", QString::number(loops), "-i", clip, "-c", "copy"});
    QFile::remove(clip);
    return path;
}

void BM_CopyPhotoAsPngToClipboard(benchmark::State& state) {
    platform::world::World world;
    platform::ScopedPlatform installed(world.services());
    EnterMovies();
    FSRef ref;
    FSPathMakeRef(QFile::encodeName(writePhoto(world.root())), &ref);
    for (auto _ : state) {
        if (!DoImageCopy(&ref, QStringLiteral("png"), kUTTypePNG))
            state.SkipWithError("the copy failed");
    }
    ExitMovies();
}

void BM_ConvertPhotoToPngPipe(benchmark::State& state) {
    platform::world::World world;
    const QString photo = writePhoto(world.root());
    RunToolInBenchmark(state, QStringLiteral("/usr/bin/convert"), {photo, QStringLiteral("png:-")});
}

void BM_ReportOfOneGigabyteMovie(benchmark::State& state) {
    platform::world::World world;
    platform::ScopedPlatform installed(world.services());
    EnterMovies();
    FSRef ref;
    FSPathMakeRef(QFile::encodeName(bigMovie()), &ref);
    for (auto _ : state) {
        if (GetMovieInfoForFSRef(&ref, 1).isEmpty())
            state.SkipWithError("no report");
    }
    ExitMovies();
}

void BM_FfprobeCountPacketsOfOneGigabyteMovie(benchmark::State& state) {
    RunToolInBenchmark(state, QStringLiteral("/usr/bin/ffprobe"),
                       {"-v", "error", "-count_packets", "-show_streams", bigMovie()});
}

BENCHMARK(BM_CopyPhotoAsPngToClipboard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertPhotoToPngPipe)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReportOfOneGigabyteMovie)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FfprobeCountPacketsOfOneGigabyteMovie)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
