// One game-like frame on the software Direct3D device against SDL2's own
// software renderer doing the same work in the same process (the scene of
// common/frame_scene.h). Prints ours / SDL's time per frame; the aim is at
// most 0.7.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/frame_scene.h"

namespace {

void BM_FrameOnOurDevice(benchmark::State& state) {
  frame_scene::DeviceFrame frame;
  if (!frame.ready()) {
    state.SkipWithError("no device or picture");
    return;
  }
  for (auto _ : state) {
    frame.draw();
    benchmark::ClobberMemory();
  }
}

void BM_FrameOnSdlSoftwareRenderer(benchmark::State& state) {
  frame_scene::SdlFrame frame;
  if (!frame.ready()) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  for (auto _ : state) {
    frame.draw();
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_FrameOnOurDevice)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameOnSdlSoftwareRenderer)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's processor time per iteration for the ratio line
// (steadier than wall time on a shared machine).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred) {
        seconds[run.run_name.function_name] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto ours = reporter.seconds.find("BM_FrameOnOurDevice");
  const auto sdl = reporter.seconds.find("BM_FrameOnSdlSoftwareRenderer");
  if (ours != reporter.seconds.end() && sdl != reporter.seconds.end() && sdl->second > 0) {
    std::printf("frame time, ours / SDL software renderer: %.2f (target at most 0.70)\n",
                ours->second / sdl->second);
  }
  benchmark::Shutdown();
  return 0;
}
