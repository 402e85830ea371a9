// Result-code lookups per second: names and descriptions, narrow and wide,
// and the name lookup against a hash map holding the same table.
#include <benchmark/benchmark.h>

#include <vector>

#include "common/result_code_queries.h"
#include "trace/error_trace.h"

namespace {

// Independent lookups: the processor may overlap one with the next.
template <typename Lookup>
void RunLookups(benchmark::State& state, Lookup lookup) {
  const std::vector<HRESULT>& queries = result_code_queries::queries();
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
  const std::vector<HRESULT>& queries = result_code_queries::queries();
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
void BM_UnorderedMapNameA(benchmark::State& state) {
  const result_code_queries::NameMap map;
  RunLookups(state, [&map](HRESULT hr) { return map.name(hr); });
}

void BM_UnorderedMapNameA_Chained(benchmark::State& state) {
  const result_code_queries::NameMap map;
  RunChainedLookups(state, [&map](HRESULT hr) { return map.name(hr); });
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
