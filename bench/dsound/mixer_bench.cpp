// One second of four voices mixed by our mixer against a plain loop of
// SDL_MixAudioFormat over the same voices already converted to the output
// format (common/mixer_voices.h). Target: ours takes at most 1.0x SDL's
// time. The ratio compares CPU time, which a busy shared machine disturbs
// less than wall time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/mixer_voices.h"

namespace {

void BM_OurMixer(benchmark::State& state) {
  mixer_voices::DeviceVoices voices;
  if (!voices.ready()) {
    state.SkipWithError("no device");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(voices.mix_one_second());
}

void BM_SdlMixAudioFormat(benchmark::State& state) {
  mixer_voices::SdlVoices voices;
  for (auto _ : state) benchmark::DoNotOptimize(voices.mix_one_second());
}

BENCHMARK(BM_OurMixer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlMixAudioFormat)->Unit(benchmark::kMicrosecond);

// Prints the ratio of the two after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.iterations > 0)
        seconds_[r.benchmark_name()] = r.cpu_accumulated_time / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double ours = seconds_["BM_OurMixer"];
    const double sdl = seconds_["BM_SdlMixAudioFormat"];
    if (ours > 0 && sdl > 0)
      std::printf("mixer: ours / SDL_MixAudioFormat = %.2fx (target at most 1.0x)\n", ours / sdl);
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
