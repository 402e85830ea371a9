// A hit is heard: its sound reaches the captured audio output, also when the
// hit sounds are waves saved with the extensible format header; which of the
// three sounds plays follows the standard generator, and two hits in one
// frame play two sounds.
#include "scenario.h"

#include "sound/sound.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

int Peak(const std::vector<int16_t>& samples) {
  int peak = 0;
  for (int16_t sample : samples) peak = std::max(peak, std::abs((int)sample));
  return peak;
}

class HitSound : public Scenario {};

TEST_F(HitSound, AHitPlaysOneOfTheHitSounds) {
  int before = -1, after = -1;
  StartDuel(0);
  AtFrame(10, [&] {
    before = Peak(headless::audio_captured());
    AimAt(&leftPlane, rightFighter);
    headless::clear_audio_capture();
  });
  AtFrame(40, [&] { after = Peak(headless::audio_captured()); });
  QuitFrom(41);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(leftScore, 1);
  EXPECT_EQ(before, 0);
  EXPECT_GT(after, 1000);
}

// A mono 22050 Hz wave with the extensible header (PCM sub-format): 0.2 s of
// a square of `level` at 16-bit scale, stored in `bits`-bit samples.
std::string ExtensibleSquare(int bits, int level) {
  std::string fmt, data, wave;
  auto put = [](std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) out += static_cast<char>(v >> (8 * i));
  };
  const int bytes = bits / 8;
  put(fmt, 0xFFFE, 2);
  put(fmt, 1, 2);
  put(fmt, 22050, 4);
  put(fmt, 22050 * bytes, 4);
  put(fmt, bytes, 2);
  put(fmt, bits, 2);
  put(fmt, 22, 2);
  put(fmt, bits, 2);  // valid bits
  put(fmt, 0x4, 4);   // front centre
  fmt += std::string("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
  for (int i = 0; i < 4410; i++)
    put(data, static_cast<uint32_t>((i / 50 % 2 ? -level : level) * (1 << (bits - 16))), bytes);
  wave = "WAVE";
  wave += "fmt ";
  put(wave, static_cast<uint32_t>(fmt.size()), 4);
  wave += fmt + "data";
  put(wave, static_cast<uint32_t>(data.size()), 4);
  wave += data;
  std::string riff = "RIFF";
  put(riff, static_cast<uint32_t>(wave.size()), 4);
  return riff + wave;
}

// Seeds the generator so that the next hit picks hit sound `index` (0 to 2).
void PickHitSound(int index) {
  unsigned seed = 1;
  for (;; seed++) {
    srand(seed);
    if (rand() % 3 == index) break;
  }
  srand(seed);
}

TEST_F(HitSound, ExtensibleSixteenAndTwentyFourBitWavesLoadAndAreHeard) {
  WriteFile("hit1.wav", ExtensibleSquare(16, 12000));
  WriteFile("hit2.wav", ExtensibleSquare(24, 20000));
  int first = -1, second = -1;
  StartDuel(0);
  AtFrame(10, [&] {
    PickHitSound(0);
    AimAt(&leftPlane, rightFighter);
    headless::clear_audio_capture();
  });
  AtFrame(40, [&] { first = Peak(headless::audio_captured()); });
  Tap(41, keys::ENTER);  // on the point banner: the next bout
  AtFrame(50, [&] {
    EXPECT_EQ(gameState, STATE_PLAY);
    PickHitSound(1);
    AimAt(&leftPlane, rightFighter);
    headless::clear_audio_capture();
  });
  AtFrame(80, [&] { second = Peak(headless::audio_captured()); });
  QuitFrom(81);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
  EXPECT_EQ(leftScore, 2);
  EXPECT_EQ(first, 12000);  // each sound at its own level: the right one, whole
  EXPECT_EQ(second, 20000);
}

// The generator is seeded in the frame before the hit, after the game's own
// seeding at start-up, so that its next draws pick known sounds.
struct Picks {
  const char* name;
  bool left_hits, right_hits;
  int first;   // rand() % 3 of the first draw: 0 hit1, 1 hit2, 2 hit3
  int second;  // of the second draw, for the second hit; -1: any
};

void PrintTo(const Picks& picks, std::ostream* out) { *out << picks.name; }

class HitSoundPick : public Scenario, public ::testing::WithParamInterface<Picks> {};

TEST_P(HitSoundPick, TheStandardGeneratorPicksTheSoundOfEachHit) {
  const Picks picks = GetParam();
  unsigned seed = 1;
  for (;; seed++) {
    std::srand(seed);
    const int first = std::rand() % 3, second = std::rand() % 3;
    if (first == picks.first && (picks.second < 0 || second == picks.second)) break;
  }
  StartDuel(0);
  AtFrame(3, [&] {
    if (picks.left_hits) AimAt(&leftPlane, rightFighter);
    if (picks.right_hits) AimAt(&rightPlane, leftFighter);
    std::srand(seed);
  });
  std::vector<bool> playing;
  AtFrame(4, [&] {
    for (SoundClip* sound : {hitSound1, hitSound2, hitSound3}) playing.push_back(sound->IsAnyPlaying());
  });
  QuitFrom(6);
  EXPECT_EQ(RunGame(), 0);
  std::vector<bool> expected(3, false);
  expected[picks.first] = true;
  if (picks.second >= 0) expected[picks.second] = true;
  EXPECT_EQ(playing, expected);
  EXPECT_EQ(leftScore + rightScore, int(picks.left_hits) + int(picks.right_hits));
}

INSTANTIATE_TEST_SUITE_P(Draws, HitSoundPick,
                         ::testing::Values(Picks{"ZeroPlaysHit1", true, false, 0, -1},
                                           Picks{"OnePlaysHit2", false, true, 1, -1},
                                           Picks{"TwoPlaysHit3", true, false, 2, -1},
                                           Picks{"BothHitPlayTwoSounds", true, true, 2, 0}),
                         [](const ::testing::TestParamInfo<Picks>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
