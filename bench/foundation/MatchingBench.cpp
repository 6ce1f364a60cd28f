// Throughput of the approximate matcher over file-name-like subjects.
#include "BenchKeys.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

void BM_MatchCaseApproximate(benchmark::State& state) {
    const std::vector<CString256>& subjects = RandomKeys();
    const CString256 pattern("report");
    float score = 0.0f;
    long bytes = 0;
    for (const CString256& subject : subjects) {
        bytes += static_cast<long>(std::strlen(subject.text));
    }
    for (auto _ : state) {
        for (const CString256& subject : subjects) {
            subject.match_case_approximate(pattern, &score);
            benchmark::DoNotOptimize(score);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(subjects.size()));
    state.SetBytesProcessed(state.iterations() * bytes);
}

} // namespace

BENCHMARK(BM_MatchCaseApproximate)->Unit(benchmark::kMillisecond);
