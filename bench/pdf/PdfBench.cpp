// Combining 100 PDFs of 10 pages each into one document, beside the tools a user would reach
// for instead on the same files: qpdf's command line (--empty --pages) and poppler's pdfunite.
// Each run writes a new document over the last one, as choosing the same name again would.
// Then texts built to make the layout take hours, each converted to PDF as the text route does
// it: each should take seconds (a megabyte on one line about two, the deep pages a fraction of
// one).
//
// The external tools are called by their paths in /usr/bin.
#include "bench/support/ToolRuns.h"
#include "commands/pdf/CombineFiles.h"
#include "commands/pdf/PdfConversions.h"
#include "platform/world/World.h"
#include "tests/support/MediaFixtures.h"

#include <QDir>
#include <QFile>
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

// The text in a file of the world's root, converted to PDF at each run.
void ConvertText(benchmark::State& state, const QString& name, const QByteArray& text) {
    platform::world::World world;
    platform::ScopedPlatform installed(world.services());
    const QString source = world.root() + u'/' + name;
    if (!fixtures::WriteText(source, text)) {
        state.SkipWithError("cannot write the text");
        return;
    }
    for (auto _ : state) {
        const auto pdf = ConvertTextToPDF(source, nullptr);
        if (!pdf || !QFile::exists(*pdf))
            state.SkipWithError("nothing converted");
    }
}

void BM_ConvertMegabyteOnOneLine(benchmark::State& state) {
    QByteArray words;
    for (int i = 0; words.size() < (1 << 20); ++i)
        words += "word" + QByteArray::number(i) + ' ';
    ConvertText(state, QStringLiteral("line.txt"), words);
}

void BM_ConvertMegabyteWithoutSpaces(benchmark::State& state) {
    ConvertText(state, QStringLiteral("x.txt"), QByteArray(1 << 20, 'x'));
}

void BM_ConvertThirtyNestedTables(benchmark::State& state) {
    ConvertText(state, QStringLiteral("tables.html"),
                QByteArray("<table><tr><td>").repeated(30) + "deep" +
                    QByteArray("</td></tr></table>").repeated(30));
}

void BM_ConvertHundredThousandNestedElements(benchmark::State& state) {
    ConvertText(state, QStringLiteral("bold.html"),
                QByteArray("<b>").repeated(100000) + "deep" + QByteArray("</b>").repeated(100000));
}

BENCHMARK(BM_CombineHundredPdfs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QpdfCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pdfunite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertMegabyteOnOneLine)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertMegabyteWithoutSpaces)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertThirtyNestedTables)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertHundredThousandNestedElements)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
