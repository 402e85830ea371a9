// The SDL backend's own parts that need no display: a message box that
// cannot be shown, ALSA kept quiet when it finds no card. What every backend must do (audio output and
// its silent fallback, debugger output, events) is the backend contract's
// (contract/backend_contract_test.cpp).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "capture_fd2.h"
#include "platform/backend.h"

namespace {

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
