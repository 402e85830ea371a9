// One second of 44100 Hz stereo output mixed from four 16-bit mono voices at
// other rates, by our mixer (resampling, gains, clipping), against a plain
// loop of SDL_MixAudioFormat over the same voices already converted to the
// output format. Both work in blocks of 512 frames, as the audio thread
// does. Target: ours takes at most 1.0x SDL's time. The ratio compares CPU
// time, which a busy shared machine disturbs less than wall time.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <dsound.h>

#include "platform/dsound/mixer.h"

namespace {

constexpr int kOutRate = 44100;
constexpr int kBlock = 512;
constexpr DWORD kRates[4] = {11025, 22050, 32000, 48000};

std::vector<int16_t> tone(DWORD rate, int frames, double hz) {
  std::vector<int16_t> v(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i)
    v[static_cast<size_t>(i)] = static_cast<int16_t>(12000 * std::sin(6.283185 * hz * i / rate));
  return v;
}

void BM_OurMixer(benchmark::State& state) {
  LPDIRECTSOUND8 ds = nullptr;
  if (DirectSoundCreate8(nullptr, &ds, nullptr) != DS_OK) {
    state.SkipWithError("no device");
    return;
  }
  ds->SetCooperativeLevel(reinterpret_cast<HWND>(static_cast<uintptr_t>(1)), DSSCL_PRIORITY);
  DSBUFFERDESC pd{};
  pd.dwSize = sizeof pd;
  pd.dwFlags = DSBCAPS_PRIMARYBUFFER;
  LPDIRECTSOUNDBUFFER primary = nullptr;
  ds->CreateSoundBuffer(&pd, &primary, nullptr);
  WAVEFORMATEX out{WAVE_FORMAT_PCM, 2, kOutRate, kOutRate * 4, 4, 16, 0};
  primary->SetFormat(&out);
  primary->Release();

  std::vector<LPDIRECTSOUNDBUFFER> voices;
  for (DWORD rate : kRates) {
    const std::vector<int16_t> samples = tone(rate, static_cast<int>(rate), 220.0 + rate / 100.0);
    WAVEFORMATEX f{WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
    DSBUFFERDESC d{};
    d.dwSize = sizeof d;
    d.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN;
    d.dwBufferBytes = rate * 2;
    d.lpwfxFormat = &f;
    LPDIRECTSOUNDBUFFER b = nullptr;
    ds->CreateSoundBuffer(&d, &b, nullptr);
    void* p = nullptr;
    DWORD n = 0;
    b->Lock(0, d.dwBufferBytes, &p, &n, nullptr, nullptr, 0);
    std::memcpy(p, samples.data(), n);
    b->Unlock(p, n, nullptr, 0);
    b->SetVolume(-300);
    b->SetPan(static_cast<LONG>(voices.size()) * 500 - 750);
    b->Play(0, 0, DSBPLAY_LOOPING);
    voices.push_back(b);
  }
  std::vector<int16_t> block(kBlock * 2);
  for (auto _ : state) {
    for (int done = 0; done < kOutRate; done += kBlock) {
      dsound::Mixer::instance().render(block.data(), std::min(kBlock, kOutRate - done));
      benchmark::DoNotOptimize(block.data());
    }
  }
  for (LPDIRECTSOUNDBUFFER b : voices) b->Release();
  ds->Release();
}

void BM_SdlMixAudioFormat(benchmark::State& state) {
  // The same voices, already at the output rate and in stereo.
  std::vector<std::vector<int16_t>> voices;
  for (DWORD rate : kRates) {
    const std::vector<int16_t> mono = tone(kOutRate, kOutRate, 220.0 + rate / 100.0);
    std::vector<int16_t> stereo(mono.size() * 2);
    for (size_t i = 0; i < mono.size(); ++i) stereo[2 * i] = stereo[2 * i + 1] = mono[i];
    voices.push_back(std::move(stereo));
  }
  std::vector<int16_t> block(kBlock * 2);
  for (auto _ : state) {
    for (int done = 0; done < kOutRate; done += kBlock) {
      const int frames = std::min(kBlock, kOutRate - done);
      std::memset(block.data(), 0, block.size() * sizeof(int16_t));
      for (const auto& v : voices)
        SDL_MixAudioFormat(reinterpret_cast<Uint8*>(block.data()),
                           reinterpret_cast<const Uint8*>(v.data() + 2 * done), AUDIO_S16SYS,
                           static_cast<Uint32>(frames * 4), 96);
      benchmark::DoNotOptimize(block.data());
    }
  }
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
