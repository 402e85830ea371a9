// Reading a 16 MB file in 4 KB and in 100-byte pieces: mmioRead through a
// buffered handle (MMIO_ALLOCBUF) against fread of the same file. Target:
// at least 0.8 of fread's rate, compared by CPU time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <mmsystem.h>

#include "scratch_folder.h"

namespace {

constexpr size_t kFileBytes = 16u << 20;

const std::string& data_file() {
  static const ScratchFolder folder("quarrelo-mmio-bench");
  static const std::string path = [] {
    std::string name = folder.file("data.bin");
    std::vector<char> bytes(kFileBytes);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + (i >> 9));
    FILE* f = std::fopen(name.c_str(), "wb");
    if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
    return name;
  }();
  return path;
}

void BM_MmioRead(benchmark::State& state) {
  const LONG piece = static_cast<LONG>(state.range(0));
  std::vector<char> name(data_file().begin(), data_file().end());
  name.push_back('\0');
  std::vector<char> buf(static_cast<size_t>(piece));
  for (auto _ : state) {
    HMMIO h = mmioOpenA(name.data(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    size_t total = 0;
    LONG n;
    while ((n = mmioRead(h, buf.data(), piece)) > 0) total += static_cast<size_t>(n);
    mmioClose(h, 0);
    if (total != kFileBytes) state.SkipWithError("short read");
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}

void BM_Fread(benchmark::State& state) {
  const size_t piece = static_cast<size_t>(state.range(0));
  std::vector<char> buf(piece);
  for (auto _ : state) {
    FILE* f = std::fopen(data_file().c_str(), "rb");
    size_t total = 0;
    size_t n;
    while ((n = std::fread(buf.data(), 1, piece, f)) > 0) total += n;
    std::fclose(f);
    if (total != kFileBytes) state.SkipWithError("short read");
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileBytes));
}

BENCHMARK(BM_MmioRead)->Arg(4096)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fread)->Arg(4096)->Arg(100)->Unit(benchmark::kMillisecond);

// Prints, per piece size, mmioRead's rate as a share of fread's.
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
    for (const char* piece : {"4096", "100"}) {
      const double ours = seconds_[std::string("BM_MmioRead/") + piece];
      const double fread = seconds_[std::string("BM_Fread/") + piece];
      if (ours > 0 && fread > 0)
        std::printf("mmio: mmioRead rate / fread rate, %s-byte reads = %.2f (target at least 0.8)\n", piece,
                    fread / ours);
    }
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
