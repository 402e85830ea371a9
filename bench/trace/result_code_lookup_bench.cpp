// Result-code lookups per second: names and descriptions, narrow and wide,
// and the name lookup against a hash map holding the same table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

#include "trace/error_trace.h"
#include "trace/result_code_tables.h"

namespace {

using quarrelo::trace::kResultCodeNames;
using quarrelo::trace::kResultCodeTexts;

// The codes to look up, in a fixed shuffled order: every listed name code
// and, for each, a code next to it that may well be unlisted.
const std::vector<HRESULT>& Queries() {
  static const std::vector<HRESULT> queries = [] {
    std::vector<HRESULT> q;
    for (size_t i = 0; i < kResultCodeNames.size; ++i) {
      q.push_back(static_cast<HRESULT>(kResultCodeNames.codes[i]));
      q.push_back(static_cast<HRESULT>(kResultCodeNames.codes[i] + 0x10));
    }
    std::shuffle(q.begin(), q.end(), std::mt19937(1234));
    return q;
  }();
  return queries;
}

// Independent lookups: the processor may overlap one with the next.
template <typename Lookup>
void RunLookups(benchmark::State& state, Lookup lookup) {
  const std::vector<HRESULT>& queries = Queries();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lookup(queries[i]));
    if (++i == queries.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

// Chained lookups: which code comes next depends on the text found, so each
// lookup waits for the one before (the latency of a single lookup).
template <typename Lookup>
void RunChainedLookups(benchmark::State& state, Lookup lookup) {
  const std::vector<HRESULT>& queries = Queries();
  size_t i = 0;
  for (auto _ : state) {
    const char* text = lookup(queries[i]);
    i += 1 + (text[0] == 'U');
    if (i >= queries.size()) i = 0;
    benchmark::DoNotOptimize(i);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ResultCodeNameA(benchmark::State& state) { RunLookups(state, ResultCodeNameA); }
void BM_ResultCodeNameW(benchmark::State& state) { RunLookups(state, ResultCodeNameW); }
void BM_ResultCodeTextA(benchmark::State& state) { RunLookups(state, ResultCodeTextA); }
void BM_ResultCodeTextW(benchmark::State& state) { RunLookups(state, ResultCodeTextW); }

void BM_ResultCodeNameA_Chained(benchmark::State& state) { RunChainedLookups(state, ResultCodeNameA); }

// The same name lookup through std::unordered_map, for comparison.
std::unordered_map<HRESULT, const char*> NameMap() {
  std::unordered_map<HRESULT, const char*> map;
  for (size_t i = 0; i < kResultCodeNames.size; ++i) {
    map.emplace(static_cast<HRESULT>(kResultCodeNames.codes[i]), kResultCodeNames.narrow[i]);
  }
  return map;
}

void BM_UnorderedMapNameA(benchmark::State& state) {
  const auto map = NameMap();
  RunLookups(state, [&map](HRESULT hr) {
    auto it = map.find(hr);
    return it != map.end() ? it->second : kResultCodeNames.narrowDefault;
  });
}

void BM_UnorderedMapNameA_Chained(benchmark::State& state) {
  const auto map = NameMap();
  RunChainedLookups(state, [&map](HRESULT hr) {
    auto it = map.find(hr);
    return it != map.end() ? it->second : kResultCodeNames.narrowDefault;
  });
}

BENCHMARK(BM_ResultCodeNameA);
BENCHMARK(BM_ResultCodeNameW);
BENCHMARK(BM_ResultCodeTextA);
BENCHMARK(BM_ResultCodeTextW);
BENCHMARK(BM_UnorderedMapNameA);
BENCHMARK(BM_ResultCodeNameA_Chained);
BENCHMARK(BM_UnorderedMapNameA_Chained);

}  // namespace

BENCHMARK_MAIN();
