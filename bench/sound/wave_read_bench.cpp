// WaveFile::Read of a large wave file against plain fread of the same sample
// bytes, both from opening the file to the last byte (common/large_wave.h).
// The wave file should reach at least 0.8 of fread's rate.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "common/large_wave.h"
#include "platform/headless/headless.h"

namespace {

// The sound clip's way: the whole data into one locked region, or in pieces
// as the streaming clip refills blocks.
void BM_WaveFileRead(benchmark::State& state) {
  headless::echo_debug_output(false);
  std::vector<uint8_t> out(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    if (large_wave::read_with_wave_file(out) != large_wave::kDataBytes) state.SkipWithError("short read");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t{state.iterations()} * large_wave::kDataBytes);
}
BENCHMARK(BM_WaveFileRead)
    ->Arg(large_wave::kDataBytes)
    ->Arg(64 << 10)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);

void BM_Fread(benchmark::State& state) {
  std::vector<uint8_t> out(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    if (large_wave::read_with_fread(out) != large_wave::kDataBytes) state.SkipWithError("short read");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t{state.iterations()} * large_wave::kDataBytes);
}
BENCHMARK(BM_Fread)->Arg(large_wave::kDataBytes)->Arg(64 << 10)->Arg(4096)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  large_wave::path();  // made once, before anything is timed
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
