// Benchmarks of the game: one duel frame without its pacing wait, start-up
// to the first presented frame, and the peak memory of a run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/duel_setup.h"
#include "common/game_process.h"
#include "common/run_folder.h"

namespace {

DuelSetup& Duel() {
  static DuelSetup setup;
  static bool started = setup.Start();
  if (!started) std::abort();
  return setup;
}

void RunDuelFrames(benchmark::State& state, bool every_sprite) {
  DuelSetup& duel = Duel();
  for (auto _ : state) duel.Frame(every_sprite);
}

void BM_DuelFrame(benchmark::State& state) { RunDuelFrames(state, false); }
void BM_DuelFrameAllNineteenSprites(benchmark::State& state) { RunDuelFrames(state, true); }

// Runs the game_run helper in a fresh asset folder; its resource use.
bool RunHelper(const char* mode, double* seconds, long* max_rss_kb) {
  const std::string folder = MakeRunFolder(mode);
  std::filesystem::remove(std::filesystem::path(folder) / "Log.txt");
  ProcessUsage usage;
  const bool ok = RunProcess(folder, {GAME_RUN_PATH, mode}, &usage);
  *seconds = usage.wall_seconds;
  *max_rss_kb = usage.max_rss_kb;
  return ok;
}

void BM_StartToFirstFrame(benchmark::State& state) {
  for (auto _ : state) {
    double seconds;
    long rss;
    if (!RunHelper("first-frame", &seconds, &rss)) {
      state.SkipWithError("the game run failed");
      break;
    }
    state.SetIterationTime(seconds);
  }
}

void BM_PeakMemoryOfARun(benchmark::State& state) {
  long peak = 0;
  for (auto _ : state) {
    double seconds;
    long rss;
    if (!RunHelper("play", &seconds, &rss)) {
      state.SkipWithError("the game run failed");
      break;
    }
    state.SetIterationTime(seconds);
    peak = std::max(peak, rss);
  }
  state.counters["peak_rss_MB"] = peak / 1024.0;
}

}  // namespace

BENCHMARK(BM_DuelFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DuelFrameAllNineteenSprites)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_StartToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PeakMemoryOfARun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
