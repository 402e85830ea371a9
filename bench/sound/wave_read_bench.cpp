// WaveFile::Read of a large wave file against plain fread of the same sample
// bytes, both from opening the file to the last byte. The wave file should
// reach at least 0.8 of fread's rate.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "sound/dsutil.h"

namespace {

constexpr uint32_t kDataBytes = 32u << 20;  // 32 MiB of samples
constexpr long kDataOffset = 44;            // RIFF, fmt (16), data headers

const std::string& LargeWave() {
  static const std::string path = [] {
    std::string p = "/tmp/quarrelo-wave-bench-" + std::to_string(getpid()) + ".wav";
    uint8_t header[kDataOffset] = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A', 'V',
                                   'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                                   2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1, 0x02, 0,   4,
                                   0,   16,  0,    'd',  'a', 't', 'a',  0,    0,    0,   0};
    auto put32 = [&header](int at, uint32_t v) {
      for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(4, 36 + kDataBytes);
    put32(40, kDataBytes);
    std::vector<uint8_t> samples(kDataBytes);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 31);
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(header, 1, sizeof(header), f);
    std::fwrite(samples.data(), 1, samples.size(), f);
    std::fclose(f);
    std::atexit([] { std::remove(LargeWave().c_str()); });
    return p;
  }();
  return path;
}

// The sound clip's way: the whole data into one locked region, or in pieces
// as the streaming clip refills blocks.
void BM_WaveFileRead(benchmark::State& state) {
  headless::echo_debug_output(false);
  const DWORD piece = static_cast<DWORD>(state.range(0));
  std::vector<BYTE> out(piece);
  for (auto _ : state) {
    WaveFile w;
    if (FAILED(w.Open(LargeWave().c_str(), nullptr, WAVE_OPEN_READ))) state.SkipWithError("open failed");
    DWORD got = 0, total = 0;
    while (SUCCEEDED(w.Read(out.data(), piece, &got)) && got > 0) total += got;
    if (total != kDataBytes) state.SkipWithError("short read");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t{state.iterations()} * kDataBytes);
}
BENCHMARK(BM_WaveFileRead)->Arg(kDataBytes)->Arg(64 << 10)->Arg(4096)->Unit(benchmark::kMillisecond);

void BM_Fread(benchmark::State& state) {
  const size_t piece = static_cast<size_t>(state.range(0));
  std::vector<uint8_t> out(piece);
  for (auto _ : state) {
    FILE* f = std::fopen(LargeWave().c_str(), "rb");
    std::fseek(f, kDataOffset, SEEK_SET);
    size_t got = 0, total = 0;
    while (total < kDataBytes &&
           (got = std::fread(out.data(), 1, std::min(piece, kDataBytes - total), f)) > 0)
      total += got;
    std::fclose(f);
    if (total != kDataBytes) state.SkipWithError("short read");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t{state.iterations()} * kDataBytes);
}
BENCHMARK(BM_Fread)->Arg(kDataBytes)->Arg(64 << 10)->Arg(4096)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  LargeWave();  // made once, before anything is timed
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
