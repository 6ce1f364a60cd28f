// The cost of one rebuild of the menu, as the user feels it between the click and the menu,
// with 1, 100 and 1,000 selected files. Text files are the worst case: no kind flag is ever
// set, so every file gets both the picture and the movie probe.
#include "app/AppController.h"
#include "common/ItemKinds.h"
#include "common/MenuItems.h"
#include "platform/local/files/Files.h"
#include "platform/local/media/Movies.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Locations.h"
#include "platform/services/Pasteboard.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using platform::world::SelectionElement;

enum class Mix { TextOnly, ImagesMoviesText };

void makeSelection(platform::world::World& world, int count, Mix mix) {
    const QString movie = world.root() + QStringLiteral("/template.mov");
    fixtures::WriteMovie(movie);
    for (int n = 0; n < count; ++n) {
        QString path = world.root() + QStringLiteral("/file%1").arg(n);
        const int kind = mix == Mix::TextOnly ? 0 : n % 3;
        if (kind == 0) {
            path += QStringLiteral(".txt");
            fixtures::WriteText(path, QByteArray("Line of plain text number ") +
                                          QByteArray::number(n) + "\n");
        } else if (kind == 1) {
            path += QStringLiteral(".png");
            fixtures::WritePng(path, 64, 48);
        } else {
            path += QStringLiteral(".mov");
            QFile::copy(movie, path);
        }
        world.finder.selection.push_back({QFile::encodeName(path), SelectionElement::Form::Object});
    }
}

// Reopening the menu on the same selection, or (`firstLook`) opening it on a selection this
// controller has never seen, as after a new selection of as many files.
void rebuild(benchmark::State& state, Mix mix, bool firstLook) {
    platform::world::World world;
    makeSelection(world, int(state.range(0)), mix);
    platform::ScopedPlatform installed(world.services());
    auto controller = std::make_unique<AppController>();
    controller->applicationWillFinishLaunching();
    for (auto _ : state) {
        if (firstLook) {
            state.PauseTiming();
            controller->applicationWillTerminate();
            controller = std::make_unique<AppController>();
            controller->applicationWillFinishLaunching();
            state.ResumeTiming();
        }
        controller->setup();
    }
    controller->applicationWillTerminate();
    state.SetLabel(QByteArray(mix == Mix::TextOnly ? "text files" : "images, movies and text")
                       .append(firstLook ? ", first look" : "")
                       .toStdString());
}

void BM_RebuildTextOnly(benchmark::State& state) {
    rebuild(state, Mix::TextOnly, false);
}
void BM_RebuildMixed(benchmark::State& state) {
    rebuild(state, Mix::ImagesMoviesText, false);
}
void BM_FirstRebuildTextOnly(benchmark::State& state) {
    rebuild(state, Mix::TextOnly, true);
}
void BM_FirstRebuildMixed(benchmark::State& state) {
    rebuild(state, Mix::ImagesMoviesText, true);
}

// A rebuild with no selection and a clipboard text of the given size in bytes, which the menu
// shows whole as one label. With `layOut`, the menu also lays itself out as it does before it is
// drawn.
void rebuildWithClipboardText(benchmark::State& state, bool layOut) {
    platform::world::World world;
    QByteArray text;
    const QByteArray line = "A line of copied text, with some words in it.\n";
    while (text.size() < state.range(0))
        text.append(line);
    text.truncate(state.range(0));
    world.clipboard.items = {{{{kUTTypeUTF8PlainText, text}}}};
    platform::ScopedPlatform installed(world.services());
    AppController controller;
    for (auto _ : state) {
        controller.setup();
        if (layOut)
            benchmark::DoNotOptimize(controller.menu()->sizeHint());
    }
}

void BM_RebuildWithClipboardText(benchmark::State& state) {
    rebuildWithClipboardText(state, false);
}
void BM_RebuildAndLayOutWithClipboardText(benchmark::State& state) {
    rebuildWithClipboardText(state, true);
}

QMenu* openRecentPictures(AppController& controller) {
    QMenu* pictures = nullptr;
    for (QAction* item : controller.menu()->actions()) {
        if (ItemTitle(item) == QLatin1String("Desktop Pictures"))
            pictures = QMenu::menuInAction(item);
    }
    QMenu* recent = QMenu::menuInAction(pictures->actions().last());
    FillSubmenuNow(recent);
    return recent;
}

void storeRecentPictures(platform::world::World& world, const QVariantList& recent) {
    world.preferences().setValue(QStringLiteral("RecentDesktopPicturePaths"), recent,
                                 QStringLiteral("io.velmora.Velmora"));
    world.preferences().synchronize(QStringLiteral("io.velmora.Velmora"));
}

// A rebuild, the opening of "Recent Pictures" with a list of that many photos (1600 x 1200
// JPEG), and its drawing on the screen (the offscreen one: 800 x 600), with the pictures the
// screen shows fitted into 64 x 64. With `fresh`, the desktop's thumbnails of the photos are
// there (the first opening made them); without, they are removed before every opening, so each
// photo drawn is decoded and its thumbnail written again.
void rebuildAndOpenRecentPictures(benchmark::State& state, bool fresh) {
    platform::world::World world;
    QImage photo(1600, 1200, QImage::Format_RGB32);
    photo.fill(QColor(90, 140, 200));
    const QString first = world.root() + QStringLiteral("/photo0.jpg");
    photo.save(first, "jpeg");
    QVariantList recent;
    for (int n = 0; n < state.range(0); ++n) {
        const QString path = world.root() + QStringLiteral("/photo%1.jpg").arg(n);
        if (n > 0)
            QFile::copy(first, path);
        recent.append(path);
    }
    storeRecentPictures(world, recent);
    platform::ScopedPlatform installed(world.services());
    AppController controller;
    controller.setup();
    openRecentPictures(controller)->grab();
    const QString thumbnails = UserCacheHome() + QStringLiteral("/thumbnails");
    for (auto _ : state) {
        if (!fresh) {
            state.PauseTiming();
            QDir(thumbnails).removeRecursively();
            state.ResumeTiming();
        }
        controller.setup();
        benchmark::DoNotOptimize(openRecentPictures(controller)->grab());
    }
    state.SetLabel(fresh ? "fresh thumbnails" : "no thumbnails");
}

void BM_RebuildAndOpenRecentPictures(benchmark::State& state) {
    rebuildAndOpenRecentPictures(state, true);
}
void BM_RebuildAndOpenRecentPicturesWithoutThumbnails(benchmark::State& state) {
    rebuildAndOpenRecentPictures(state, false);
}

// A long recent list whose files are all gone, so that what is measured is the items
// themselves: the rebuild alone (the list waits until its submenu opens), then the rebuild with
// the opening of "Recent Pictures".
void rebuildWithMissingRecentPictures(benchmark::State& state, bool openRecent) {
    platform::world::World world;
    QVariantList recent;
    for (int n = 0; n < state.range(0); ++n)
        recent.append(world.root() + QStringLiteral("/gone/photo%1.jpg").arg(n));
    storeRecentPictures(world, recent);
    platform::ScopedPlatform installed(world.services());
    AppController controller;
    for (auto _ : state) {
        controller.setup();
        if (openRecent)
            openRecentPictures(controller);
    }
}

void BM_RebuildWithMissingRecentPictures(benchmark::State& state) {
    rebuildWithMissingRecentPictures(state, false);
}
void BM_RebuildAndOpenMissingRecentPictures(benchmark::State& state) {
    rebuildWithMissingRecentPictures(state, true);
}

// The two content probes alone, on one text file: what each selected file costs a rebuild.
void probe(benchmark::State& state, bool (*isKind)(const FSRef*)) {
    platform::world::World world;
    const QString path = world.root() + QStringLiteral("/notes.txt");
    fixtures::WriteText(path, "Line of plain text\n");
    EnterMovies();
    FSRef ref;
    FSPathMakeRef(QFile::encodeName(path), &ref);
    for (auto _ : state)
        benchmark::DoNotOptimize(isKind(&ref));
    ExitMovies();
}

void BM_GraphicsProbeOfTextFile(benchmark::State& state) {
    probe(state, FSIsGraphicsFile);
}
void BM_MovieProbeOfTextFile(benchmark::State& state) {
    probe(state, FSIsMovieFile);
}

BENCHMARK(BM_GraphicsProbeOfTextFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MovieProbeOfTextFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RebuildTextOnly)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildMixed)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstRebuildTextOnly)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstRebuildMixed)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAndOpenRecentPictures)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAndOpenRecentPicturesWithoutThumbnails)
    ->Arg(1000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildWithMissingRecentPictures)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAndOpenMissingRecentPictures)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildWithClipboardText)->Arg(1 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAndLayOutWithClipboardText)
    ->Arg(1 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);

} // namespace
