// The SDL backend's own parts that need no display: the clock that waits
// for the next millisecond, a message box that cannot be shown, ALSA kept
// quiet when it finds no card. What every backend must do (audio output and
// its silent fallback, debugger output, events) is the backend contract's
// (contract/backend_contract_test.cpp).
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "capture_fd2.h"
#include "platform/backend.h"

namespace {

// A loop polling the clock sleeps instead of spinning: no more than two
// reads in a row give the same millisecond, the third waits for the next,
// and the loop takes as long as the milliseconds it saw.
TEST(SdlBackend, ClockPolledWithinAMillisecondWaitsForTheNext) {
  const auto start = std::chrono::steady_clock::now();
  uint32_t previous = backend::ticks_ms();
  const uint32_t first = previous;
  int same = 1;
  for (int i = 0; i < 40; ++i) {
    const uint32_t now = backend::ticks_ms();
    EXPECT_LT(now - previous, 1000u) << "read " << i;
    same = now == previous ? same + 1 : 1;
    EXPECT_LE(same, 2) << "read " << i;
    previous = now;
  }
  EXPECT_GE(previous - first, 13u) << "40 reads see at least 13 milliseconds";
  const double elapsed_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(elapsed_ms, static_cast<double>(previous - first) - 1.0);
}

TEST(SdlBackend, MessageBoxWithoutDisplayAnswersNo) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  bool yes = true;
  const std::string said = CaptureFd2([&] { yes = backend::message_box_yes_no("caption", "question?"); });
  EXPECT_FALSE(yes);
  EXPECT_NE(said.find("question?"), std::string::npos) << said;
}

// SDL's ALSA driver on a card that does not exist: libasound's own error
// lines ("ALSA lib confmisc.c:...: cannot find card ...") stay off the
// terminal, and the core's one line says the game plays silently and why.
TEST(SdlBackend, AlsaWithoutACardLeavesOnlyTheSilentOutputsLine) {
  setenv("SDL_AUDIODRIVER", "alsa", 1);
  setenv("ALSA_CARD", "QuarreloNoSuchCard", 1);
  setenv("ALSA_PCM_CARD", "QuarreloNoSuchCard", 1);
  const std::string said = CaptureFd2([] {
    ASSERT_TRUE(backend::audio_open(
        {22050, 2}, [](void*, int16_t*, int) {}, nullptr));
    backend::audio_close();
  });
  if (said.empty()) GTEST_SKIP() << "ALSA's default device here plays through a sound server, not a card";
  EXPECT_EQ(said.rfind("SDL: no audio device (", 0), 0u) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line:\n" << said;
}

}  // namespace
