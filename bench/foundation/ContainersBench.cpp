// The pooled containers against their standard library counterparts. Tearing a container down
// is left out of the timings: the pooled ones only relink their nodes onto a free list.
#include "BenchKeys.h"
#include "foundation/CList.h"
#include "foundation/CMap.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <list>
#include <map>
#include <memory>
#include <random>

namespace {

// Shaped like the suffix map's entries: a few codes and flags.
struct Entry {
    unsigned long type;
    unsigned long creator;
    int flags;
};

using TextMap = CMap<CString256, Entry>;

template <class Map, class Key>
void insertAll(benchmark::State& state, const std::vector<Key>& keys) {
    for (auto _ : state) {
        auto map = std::make_unique<Map>();
        for (const Key& key : keys) {
            if constexpr (std::is_same_v<Map, TextMap>) {
                benchmark::DoNotOptimize(map->insert(key, Entry{}));
            } else {
                benchmark::DoNotOptimize(map->emplace(key, Entry{}));
            }
        }
        state.PauseTiming();
        map.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(keys.size()));
}

template <class Key> std::vector<Key> shuffled(const std::vector<Key>& keys) {
    std::vector<Key> order(keys);
    std::shuffle(order.begin(), order.end(), std::mt19937(777));
    return order;
}

std::vector<CString256> asCString256(const std::vector<std::string>& texts) {
    std::vector<CString256> keys;
    for (const std::string& text : texts) {
        keys.emplace_back(text.c_str());
    }
    return keys;
}

void BM_CMapInsertRandom(benchmark::State& state) {
    insertAll<TextMap>(state, RandomKeys());
}

void BM_StdMapInsertRandom(benchmark::State& state) {
    insertAll<std::map<std::string, Entry>>(state, RandomKeyTexts());
}

void BM_CMapLookupRandom(benchmark::State& state) {
    TextMap map;
    for (const CString256& key : RandomKeys()) {
        map.insert(key, Entry{});
    }
    const std::vector<CString256> order = shuffled(RandomKeys());
    for (auto _ : state) {
        for (const CString256& key : order) {
            benchmark::DoNotOptimize(map.lookup(key));
        }
    }
    state.SetItemsProcessed(state.iterations() * kBenchKeys);
}

void BM_StdMapLookupRandom(benchmark::State& state) {
    std::map<std::string, Entry> map;
    for (const std::string& key : RandomKeyTexts()) {
        map.emplace(key, Entry{});
    }
    const std::vector<std::string> order = shuffled(RandomKeyTexts());
    for (auto _ : state) {
        for (const std::string& key : order) {
            benchmark::DoNotOptimize(map.find(key));
        }
    }
    state.SetItemsProcessed(state.iterations() * kBenchKeys);
}

// The unbalanced tree turns sorted keys into a chain: n insertions cost about n*n/2 key
// comparisons, which is why this count is ten times smaller than the random one.
constexpr int kSortedKeys = 10000;

void BM_CMapInsertSorted(benchmark::State& state) {
    insertAll<TextMap>(state, asCString256(SortedKeyTexts(kSortedKeys)));
}

void BM_StdMapInsertSorted(benchmark::State& state) {
    insertAll<std::map<std::string, Entry>>(state, SortedKeyTexts(kSortedKeys));
}

void appendAll(benchmark::State& state, const std::vector<std::string>& texts) {
    const std::vector<CString256> values = asCString256(texts);
    for (auto _ : state) {
        auto list = std::make_unique<CList<CString256>>();
        for (const CString256& value : values) {
            list->append(value);
        }
        benchmark::DoNotOptimize(list->tail);
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(values.size()));
}

void appendAllStd(benchmark::State& state, const std::vector<std::string>& values) {
    for (auto _ : state) {
        auto list = std::make_unique<std::list<std::string>>();
        for (const std::string& value : values) {
            list->push_back(value);
        }
        benchmark::DoNotOptimize(list->back());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(values.size()));
}

void BM_CListAppend(benchmark::State& state) {
    appendAll(state, RandomKeyTexts());
}

void BM_StdListAppend(benchmark::State& state) {
    appendAllStd(state, RandomKeyTexts());
}

void BM_CListAppendPaths(benchmark::State& state) {
    appendAll(state, PathTexts());
}

void BM_StdListAppendPaths(benchmark::State& state) {
    appendAllStd(state, PathTexts());
}

} // namespace

BENCHMARK(BM_CMapInsertRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMapInsertRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CMapLookupRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMapLookupRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CMapInsertSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdMapInsertSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CListAppend)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdListAppend)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CListAppendPaths)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdListAppendPaths)->Unit(benchmark::kMillisecond);
