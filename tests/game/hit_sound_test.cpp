// A hit is heard: its sound reaches the captured audio output.
#include "scenario.h"

#include <algorithm>

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

}  // namespace
