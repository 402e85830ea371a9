// The SDL backend's parts that need no display: the audio output (a real
// SDL device, or the silent fallback at the real rate that says so once on
// the debugger output), the clock and the sleep, and a message box that
// cannot be shown.
#include <SDL.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/backend.h"
#include "platform/fault_points.h"
#include "scratch_folder.h"

namespace {

std::atomic<long> g_frames{0};

void pull(void*, int16_t* out, int frames) {
  for (int i = 0; i < frames * 2; ++i) out[i] = 0;
  g_frames += frames;
}

// Runs `body` with fd 2 sent to a file; gives back what reached it.
template <typename Body>
std::string capture_fd2(Body body) {
  const ScratchFolder folder("quarrelo-sdl-fd2");
  const int file = open(folder.file("fd2.txt").c_str(), O_RDWR | O_CREAT, 0600);
  const int saved = dup(2);
  dup2(file, 2);
  body();
  dup2(saved, 2);
  close(saved);
  lseek(file, 0, SEEK_SET);
  std::string text;
  char buffer[1024];
  ssize_t n;
  while ((n = read(file, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  close(file);
  return text;
}

void expect_real_rate(long frames, double seconds, int rate) {
  // Generous bounds: the machine may be busy.
  EXPECT_GT(frames, static_cast<long>(seconds * rate * 0.3)) << "pulled " << frames;
  EXPECT_LT(frames, static_cast<long>((seconds + 0.5) * rate * 1.5)) << "pulled " << frames;
}

TEST(SdlBackend, NoAudioDeviceFallsBackToSilenceAtTheRealRate) {
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  g_frames = 0;
  bool opened = false;
  const std::string said = capture_fd2([&] { opened = backend::audio_open({44100, 2}, pull, nullptr); });
  ASSERT_TRUE(opened);
  EXPECT_NE(said.find("no audio device"), std::string::npos) << said;
  EXPECT_NE(said.find("silent output pulling 44100 Hz"), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line";
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long frames = g_frames;
  backend::audio_close();
  expect_real_rate(frames, seconds, 44100);
  const long after_close = g_frames;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(g_frames, after_close) << "never pulled after close";
  unsetenv("SDL_AUDIODRIVER");
}

TEST(SdlBackend, AudioDevicePulls) {
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  g_frames = 0;
  bool opened = false;
  const std::string said = capture_fd2([&] { opened = backend::audio_open({22050, 2}, pull, nullptr); });
  ASSERT_TRUE(opened);
  EXPECT_EQ(said, "") << "a device was found";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  backend::audio_close();
  EXPECT_GT(g_frames, 0);
  unsetenv("SDL_AUDIODRIVER");
}

TEST(SdlBackend, ClockAndSleep) {
  const uint32_t before = backend::ticks_ms();
  backend::sleep_ms(30);
  const uint32_t after = backend::ticks_ms();
  EXPECT_GE(after - before, 30u);
  EXPECT_LT(after - before, 2000u);
}

// A read within the millisecond of the one before waits for the next
// millisecond: a loop polling the clock sees every millisecond once, in
// order, and takes as long as the milliseconds it saw.
TEST(SdlBackend, ClockReadAgainWaitsForTheNextMillisecond) {
  const auto start = std::chrono::steady_clock::now();
  uint32_t previous = backend::ticks_ms();
  const uint32_t first = previous;
  for (int i = 0; i < 20; ++i) {
    const uint32_t now = backend::ticks_ms();
    EXPECT_GT(now - previous, 0u) << "read " << i;
    EXPECT_LT(now - previous, 1000u) << "read " << i;
    previous = now;
  }
  const double elapsed_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(elapsed_ms, static_cast<double>(previous - first) - 1.0);
}

TEST(SdlBackend, MessageBoxWithoutDisplayAnswersNo) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  bool yes = true;
  const std::string said = capture_fd2([&] { yes = backend::message_box_yes_no("caption", "question?"); });
  EXPECT_FALSE(yes);
  EXPECT_NE(said.find("question?"), std::string::npos) << said;
}

TEST(SdlBackend, NeverFaults) { EXPECT_FALSE(backend::fault(fault_point::kCreateWindowExA)); }

}  // namespace
