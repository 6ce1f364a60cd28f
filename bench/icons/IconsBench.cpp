// Custom icons: "Make Images From Icons" for 100 selected files, each a 512 x 512 PNG written
// into the chosen folder and given its own picture as its icon, and "Add Clipboard To Icon" for
// 100 items with a 1024 x 1024 clipboard image, decoded and fitted into each icon again per item
// as the command does. The icons are the world's (16, 32 and 128 pixels); every run starts from
// items without custom icons and an empty destination.
#include "commands/icons/ClipboardIcons.h"
#include "commands/icons/IconImages.h"
#include "platform/local/files/CustomIconStore.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/WorldSelection.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

constexpr int kItems = 100;

QStringList MakeItems(platform::world::World& world) {
    QStringList names;
    for (int i = 0; i < kItems; ++i) {
        names.append(QStringLiteral("item %1.txt").arg(i));
        fixtures::WriteText(world.root() + u'/' + names.last(), "x");
    }
    fixtures::SelectInWorld(world, names);
    return names;
}

void BM_MakeImagesFromIconsOfHundredFiles(benchmark::State& state) {
    platform::world::World world;
    platform::ScopedPlatform installed(world.services());
    MakeItems(world);
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = world.root() + QStringLiteral("/out %1").arg(run++);
        QDir().mkpath(folder);
        world.chooseFolderAnswers = {folder};
        state.ResumeTiming();
        CreateImagesOfIconsOfSelection();
        state.PauseTiming();
        if (QDir(folder).entryList(QDir::Files).size() != kItems)
            state.SkipWithError("not every picture was made");
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["ms_per_item"] =
        benchmark::Counter(double(kItems) * 1e-3, benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

void BM_AddClipboardToIconOfHundredItems(benchmark::State& state) {
    platform::world::World world;
    platform::ScopedPlatform installed(world.services());
    const QStringList names = MakeItems(world);
    QImage picture(1024, 1024, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter(&picture).fillRect(0, 256, 1024, 512, QColor(200, 40, 40));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    world.clipboard.items = {{{{QStringLiteral("public.png"), png}}}};
    for (auto _ : state) {
        AddClipboardToIconsOfSelection();
        state.PauseTiming();
        for (const QString& name : names)
            if (!ClearCustomIcon(world.root() + u'/' + name))
                state.SkipWithError("an icon could not be removed");
        state.ResumeTiming();
    }
    if (!world.eventsOf<platform::world::events::Alert>().empty())
        state.SkipWithError("the command alerted");
}

BENCHMARK(BM_MakeImagesFromIconsOfHundredFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AddClipboardToIconOfHundredItems)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
