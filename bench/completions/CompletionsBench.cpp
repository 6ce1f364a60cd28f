// Completions over the system word list beside look(1), which searches the same sorted file:
// building the index (what the first completion of a process pays), then one- and two-letter
// prefixes and a whole word.
#include "platform/local/files/ReadOnlyFile.h"
#include "platform/local/text/WordIndex.h"

#include <QProcess>
#include <benchmark/benchmark.h>

namespace {

const QString kWords = QStringLiteral("/usr/share/dict/words");
const char* const kPartials[] = {"a", "he", "hello"};

QByteArray wordList() {
    return ReadRegularFile(kWords, qint64(64) << 20).value_or(QByteArray());
}

void BM_BuildIndexOfSystemWordList(benchmark::State& state) {
    const QByteArray list = wordList();
    for (auto _ : state)
        benchmark::DoNotOptimize(WordIndex(list).isEmpty());
}

void BM_Completions(benchmark::State& state) {
    const WordIndex index(wordList());
    const QString partial = QString::fromLatin1(kPartials[state.range(0)]);
    state.SetLabel(kPartials[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(index.completions(partial).size());
}

void BM_Look(benchmark::State& state) {
    state.SetLabel(kPartials[state.range(0)]);
    for (auto _ : state) {
        QProcess look;
        look.start(QStringLiteral("/usr/bin/look"),
                   {QString::fromLatin1(kPartials[state.range(0)]), kWords});
        look.waitForFinished(-1);
        benchmark::DoNotOptimize(look.readAllStandardOutput().size());
    }
}

BENCHMARK(BM_BuildIndexOfSystemWordList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Completions)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Look)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
