// What a StatusNotifierItem host waits for, over a real session bus: from its AboutToShow(0) to
// the answer of its GetLayout of the whole menu, with 100 and 1,000 selected files, each opening
// on a selection other than the last one's (the header changes every time). Beside it, the
// rebuild of the same menu alone, as the XEmbed tray's opening pays it; and the answer to the
// layout of "Recent Pictures" with 400 and 1,000 photos and no thumbnails yet.
//
// Run it on a bus of its own: dbus-run-session -- bench_status_notifier
#include "app/AppController.h"
#include "platform/linux/LinuxServices.h"
#include "platform/local/system/PreferenceStore.h"
#include "platform/services/Locations.h"
#include "platform/world/World.h"
#include "tests/platform/linux/sni/StandInHost.h"
#include "tests/support/MediaFixtures.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {

namespace sni = platform::linuxdesk::sni;
using platform::world::SelectionElement;

// Two selections of `count` text files each, the second the first without its first file.
std::pair<std::vector<SelectionElement>, std::vector<SelectionElement>>
selections(platform::world::World& world, int count) {
    std::vector<SelectionElement> first;
    for (int n = 0; n <= count; ++n) {
        const QString path = world.root() + QStringLiteral("/file%1.txt").arg(n);
        fixtures::WriteText(path, "text\n");
        first.push_back({QFile::encodeName(path), SelectionElement::Form::Object});
    }
    std::vector<SelectionElement> second(first.begin() + 1, first.end());
    first.pop_back();
    return {first, second};
}

struct Hosted {
    explicit Hosted(platform::world::World& world) : installed(services(world)) {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
            std::fprintf(stderr, "run this benchmark under dbus-run-session\n");
            std::exit(2);
        }
        controller = std::make_unique<AppController>();
        host.start();
        QDeadlineTimer deadline(5000);
        while (host.registered().isEmpty() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ~Hosted() { controller.reset(); }
    platform::Services services(platform::world::World& world) {
        platform::Services installed = world.services();
        installed.statusBar = &statusBar;
        return installed;
    }

    platform::linuxdesk::LinuxStatusBar statusBar;
    platform::ScopedPlatform installed;
    fixtures::StandInHost host;
    std::unique_ptr<AppController> controller;
};

void BM_HostOpeningToLayout(benchmark::State& state) {
    platform::world::World world;
    const auto [first, second] = selections(world, int(state.range(0)));
    Hosted hosted(world);
    bool odd = false;
    for (auto _ : state) {
        world.finder.selection = (odd = !odd) ? first : second;
        hosted.host.aboutToShow(0);
        benchmark::DoNotOptimize(hosted.host.layout(0));
    }
}

void BM_RebuildAlone(benchmark::State& state) {
    platform::world::World world;
    const auto [first, second] = selections(world, int(state.range(0)));
    platform::ScopedPlatform installed(world.services());
    AppController controller;
    bool odd = false;
    for (auto _ : state) {
        world.finder.selection = (odd = !odd) ? first : second;
        controller.setup();
    }
}

const sni::MenuLayoutItem* labelled(const sni::MenuLayoutItem& item, const QString& text) {
    if (item.properties.value(QStringLiteral("label")).toString() == text)
        return &item;
    for (const sni::MenuLayoutItem& child : item.children)
        if (const auto* found = labelled(child, text))
            return found;
    return nullptr;
}

void BM_HostRecentPicturesWithoutThumbnails(benchmark::State& state) {
    platform::world::World world;
    QImage photo(1600, 1200, QImage::Format_RGB32);
    photo.fill(QColor(90, 140, 200));
    const QString template_ = world.root() + QStringLiteral("/photo.jpg");
    photo.save(template_, "jpeg");
    QVariantList recent;
    for (int n = 0; n < state.range(0); ++n) {
        const QString path = world.root() + QStringLiteral("/photo%1.jpg").arg(n);
        QFile::copy(template_, path);
        recent.append(path);
    }
    world.preferences().setValue(QStringLiteral("RecentDesktopPicturePaths"), recent,
                                 QStringLiteral("io.velmora.Velmora"));
    world.preferences().synchronize(QStringLiteral("io.velmora.Velmora"));
    Hosted hosted(world);
    const QString thumbnails = UserCacheHome() + QStringLiteral("/thumbnails");
    for (auto _ : state) {
        state.PauseTiming();
        QDir(thumbnails).removeRecursively();
        // Row by row, as KDE's host asks: the list is made when its own layout is asked for.
        hosted.host.aboutToShow(0);
        const auto menu = hosted.host.layout(0, 1);
        const auto* desktop = labelled(*menu, QStringLiteral("Desktop Pictures"));
        const auto submenu = hosted.host.layout(desktop->id, 1);
        const auto* pictures = labelled(*submenu, QStringLiteral("Recent Pictures"));
        state.ResumeTiming();
        benchmark::DoNotOptimize(hosted.host.layout(pictures->id));
    }
}

BENCHMARK(BM_HostOpeningToLayout)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAlone)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostRecentPicturesWithoutThumbnails)
    ->Arg(400)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);

} // namespace
