// The hit sounds through the sound library's WaveFile, as the game opens
// them: PCM 22050 Hz 16-bit mono, short, loud but not clipped, starting and
// ending on silence, and three different sounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "asset_pictures.h"
#include "sound/dsutil.h"

namespace {

std::vector<int16_t> ReadSamples(const std::string& name) {
  WaveFile wave;
  const std::string path = AssetPath(name);
  EXPECT_EQ(wave.Open(path.c_str(), nullptr, WAVE_OPEN_READ), S_OK) << name;
  const WAVEFORMATEX* f = wave.m_pwfx;
  if (!f) return {};
  EXPECT_EQ(f->wFormatTag, WAVE_FORMAT_PCM) << name;
  EXPECT_EQ(f->nChannels, 1) << name;
  EXPECT_EQ(f->nSamplesPerSec, 22050u) << name;
  EXPECT_EQ(f->wBitsPerSample, 16) << name;
  EXPECT_EQ(f->nBlockAlign, 2) << name;
  EXPECT_EQ(f->nAvgBytesPerSec, 44100u) << name;
  std::vector<int16_t> samples(wave.GetSize() / 2);
  DWORD read = 0;
  EXPECT_EQ(wave.Read(reinterpret_cast<BYTE*>(samples.data()), DWORD(samples.size() * 2), &read), S_OK);
  EXPECT_EQ(read, samples.size() * 2) << name;
  return samples;
}

}  // namespace

TEST(WaveAssets, HitSoundsAreShortCleanPcmAtMinusThreeDecibels) {
  for (const char* name : {"hit1.wav", "hit2.wav", "hit3.wav"}) {
    SCOPED_TRACE(name);
    const std::vector<int16_t> s = ReadSamples(name);
    ASSERT_FALSE(s.empty());
    const double seconds = s.size() / 22050.0;
    EXPECT_GE(seconds, 0.1);
    EXPECT_LE(seconds, 0.4);
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(int(v)));
    const double dbfs = 20 * std::log10(peak / 32768.0);
    EXPECT_NEAR(dbfs, -3.0, 0.5);
    // No click: the first and last milliseconds rise from and fall to silence.
    EXPECT_LE(std::abs(int(s.front())), 64);
    EXPECT_LE(std::abs(int(s.back())), 64);
  }
}

TEST(WaveAssets, TheThreeHitSoundsDiffer) {
  const std::vector<int16_t> a = ReadSamples("hit1.wav"), b = ReadSamples("hit2.wav"),
                             c = ReadSamples("hit3.wav");
  // Different by how often the wave crosses zero (its pitch) or by length.
  auto crossings = [](const std::vector<int16_t>& s) {
    int n = 0;
    for (size_t i = 1; i < s.size(); ++i) n += (s[i - 1] < 0) != (s[i] < 0);
    return double(n) / std::max<size_t>(1, s.size());
  };
  const double ca = crossings(a), cb = crossings(b), cc = crossings(c);
  EXPECT_GT(std::abs(ca - cb), 0.01);
  EXPECT_GT(std::abs(ca - cc), 0.01);
  EXPECT_GT(std::abs(cb - cc), 0.01);
}
