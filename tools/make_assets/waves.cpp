#include "waves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sound/dsutil.h"

namespace assets {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.70795;  // -3 dBFS

// White noise from a fixed-seed generator, -1..1.
struct Noise {
  uint32_t state = 0x9e3779b9u;
  double Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state / 2147483647.5 - 1.0;
  }
};

// Scales to the peak, shapes the first and last milliseconds with half
// cosines so the sound starts and ends on zero, and rounds to 16 bits.
std::vector<int16_t> Finish(std::vector<double> wave, double fade_in_ms, double fade_out_ms) {
  const size_t in = size_t(fade_in_ms * kWaveRate / 1000), out = size_t(fade_out_ms * kWaveRate / 1000);
  for (size_t i = 0; i < in && i < wave.size(); ++i) wave[i] *= 0.5 - 0.5 * std::cos(kPi * i / in);
  for (size_t i = 0; i < out && i < wave.size(); ++i)
    wave[wave.size() - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / out);
  double peak = 0;
  for (double v : wave) peak = std::max(peak, std::abs(v));
  std::vector<int16_t> samples(wave.size());
  for (size_t i = 0; i < wave.size(); ++i) samples[i] = int16_t(std::lround(wave[i] / peak * kPeak * 32767));
  return samples;
}

std::vector<double> Silence(double ms) { return std::vector<double>(size_t(ms * kWaveRate / 1000), 0.0); }

// A two-pole resonant band-pass, for colouring noise.
struct Resonator {
  double a1, a2, gain, y1 = 0, y2 = 0;
  Resonator(double hz, double q) {
    const double w = 2 * kPi * hz / kWaveRate, r = 1 - w / (2 * q);
    a1 = 2 * r * std::cos(w), a2 = -r * r, gain = 1 - r;
  }
  double Step(double x) {
    const double y = gain * x + a1 * y1 + a2 * y2;
    y2 = y1, y1 = y;
    return y;
  }
};

}  // namespace

std::vector<int16_t> PaperSlap() {
  std::vector<double> wave = Silence(190);
  Noise noise;
  Resonator crack(2600, 2.5), body(700, 3.0);
  for (size_t i = 0; i < wave.size(); ++i) {
    const double t = double(i) / kWaveRate;
    const double n = noise.Next();
    // A bright crack that dies in a few tens of milliseconds over a short papery rustle.
    wave[i] = crack.Step(n) * 9 * std::exp(-t / 0.018) + body.Step(n) * 5 * std::exp(-t / 0.045) +
              0.35 * std::sin(2 * kPi * 190 * t) * std::exp(-t / 0.03);
  }
  return Finish(wave, 1.5, 40);
}

std::vector<int16_t> Thump() {
  std::vector<double> wave = Silence(280);
  Noise noise;
  Resonator knock(320, 2.0);
  double phase = 0;
  for (size_t i = 0; i < wave.size(); ++i) {
    const double t = double(i) / kWaveRate;
    // A low tone falling from 150 Hz to 55 Hz, with a soft knock on top.
    const double hz = 55 + 95 * std::exp(-t / 0.04);
    phase += 2 * kPi * hz / kWaveRate;
    wave[i] = std::sin(phase) * std::exp(-t / 0.07) + knock.Step(noise.Next()) * 4 * std::exp(-t / 0.012);
  }
  return Finish(wave, 3, 60);
}

std::vector<int16_t> Pop() {
  std::vector<double> wave = Silence(140);
  Noise noise;
  double phase = 0;
  for (size_t i = 0; i < wave.size(); ++i) {
    const double t = double(i) / kWaveRate;
    // A quick upward sweep, as a bubble bursting, with a tick of noise.
    const double hz = 380 + 900 * (1 - std::exp(-t / 0.025));
    phase += 2 * kPi * hz / kWaveRate;
    wave[i] = std::sin(phase) * std::exp(-t / 0.028) + 0.25 * noise.Next() * std::exp(-t / 0.004);
  }
  return Finish(wave, 1.5, 35);
}

bool SaveWave(const std::vector<int16_t>& samples, const std::string& path) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = kWaveRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = kWaveRate * 2;
  format.cbSize = 0;
  WaveFile file;
  const DWORD bytes = DWORD(samples.size() * sizeof(int16_t));
  DWORD wrote = 0;
  bool ok = SUCCEEDED(file.Open(path.c_str(), &format, WAVE_OPEN_WRITE)) &&
            SUCCEEDED(file.Write(bytes, reinterpret_cast<const BYTE*>(samples.data()), &wrote)) &&
            wrote == bytes;
  ok = SUCCEEDED(file.Close()) && ok;
  if (!ok) std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace assets
