// The other tools a benchmark measures Velmora against, run the same way for every comparison.
#pragma once

#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>

// Runs the program once per iteration and waits for it; a run that fails marks the benchmark
// with an error instead of timing a tool that did nothing.
void RunToolInBenchmark(benchmark::State& state, const QString& program,
                        const QStringList& arguments);
