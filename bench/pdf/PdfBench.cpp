// Combining 100 PDFs of 10 pages each into one document, beside the tools a user would reach
// for instead on the same files: qpdf's command line (--empty --pages) and poppler's pdfunite.
// Each run writes a new document over the last one, as choosing the same name again would.
//
// The external tools are called by their paths in /usr/bin.
#include "bench/support/ToolRuns.h"
#include "commands/pdf/CombineFiles.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {

constexpr int kDocuments = 100;
constexpr int kPagesEach = 10;

QStringList documents(const QString& folder) {
    QStringList paths;
    const std::vector<QSizeF> pages(kPagesEach, QSizeF(612, 792));
    for (int i = 0; i < kDocuments; ++i) {
        const QString path = folder + QStringLiteral("/doc%1.pdf").arg(i, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(path))
            fixtures::WritePdf(path, pages, QStringLiteral("Document %1").arg(i));
        paths.append(path);
    }
    return paths;
}

QString folder() {
    const QString path = QDir::tempPath() + QStringLiteral("/velmora-bench-pdf");
    QDir().mkpath(path);
    return path;
}

void BM_CombineHundredPdfs(benchmark::State& state) {
    platform::world::World world;
    platform::ScopedPlatform installed(world.services());
    const QStringList paths = documents(folder());
    const QString out = world.root() + QStringLiteral("/all.pdf");
    for (auto _ : state) {
        if (!zadAVOFiles(paths, CGRect{0, 0, 612, 792}, out, QStringLiteral("all.pdf"),
                         QStringLiteral("Velmora")))
            state.SkipWithError("combining failed");
    }
}

void BM_QpdfCommandLine(benchmark::State& state) {
    QStringList arguments{QStringLiteral("--empty"), QStringLiteral("--pages")};
    arguments += documents(folder());
    arguments += {QStringLiteral("--"), folder() + QStringLiteral("/qpdf-out.pdf")};
    RunToolInBenchmark(state, QStringLiteral("/usr/bin/qpdf"), arguments);
}

void BM_Pdfunite(benchmark::State& state) {
    QStringList arguments = documents(folder());
    arguments += folder() + QStringLiteral("/pdfunite-out.pdf");
    RunToolInBenchmark(state, QStringLiteral("/usr/bin/pdfunite"), arguments);
}

BENCHMARK(BM_CombineHundredPdfs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QpdfCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pdfunite)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
