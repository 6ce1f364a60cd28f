#include "bench/support/ToolRuns.h"

#include <QProcess>

void RunToolInBenchmark(benchmark::State& state, const QString& program,
                        const QStringList& arguments) {
    for (auto _ : state) {
        QProcess tool;
        tool.start(program, arguments);
        tool.waitForFinished(-1);
        benchmark::DoNotOptimize(tool.readAllStandardOutput().size());
        if (tool.exitCode() != 0)
            state.SkipWithError("the tool failed");
    }
}
