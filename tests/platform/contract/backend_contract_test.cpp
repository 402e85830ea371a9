// The backend contract: what the platform stand-in relies on from any
// backend, written once and built against each (headless; SDL under Xvfb;
// the template). The harness of each (harness.h) drives the backend from
// outside; a case it cannot drive is skipped.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "platform/backend.h"
#include "windows.h"
#include "capture_fd2.h"

namespace {

using backend::Event;
using backend::EventKind;

class Contract : public ::testing::Test {
 protected:
  void SetUp() override { harness::set_up(); }
  void TearDown() override {
    backend::audio_close();
    if (backend::window_exists()) backend::window_destroy();
    harness::tear_down();
  }

  // Polls the backend's events, letting time pass in small steps, until
  // one satisfies `wanted` or kEventWaitMs have passed; every event taken
  // goes to `seen`.
  bool WaitFor(const std::function<bool(const Event&)>& wanted, std::vector<Event>* seen = nullptr) {
    for (uint32_t waited = 0; waited <= harness::kEventWaitMs; waited += 10) {
      Event event;
      while (backend::poll_event(event)) {
        if (seen) seen->push_back(event);
        if (wanted(event)) return true;
      }
      harness::let_time_pass(10);
    }
    return false;
  }
  bool WaitFor(EventKind kind, std::vector<Event>* seen = nullptr) {
    return WaitFor([kind](const Event& e) { return e.kind == kind; }, seen);
  }

  // The one window, made and shown, with the focus.
  void ShowWindowWithFocus() {
    ASSERT_TRUE(backend::window_create(800, 600, "Contract"));
    backend::window_show();
    if (!harness::focus_back()) GTEST_SKIP() << harness::backend_name() << ": the focus cannot be given";
    ASSERT_TRUE(WaitFor([](const Event&) { return backend::window_focused(); }) || backend::window_focused());
  }
};

struct Pulls {
  std::atomic<long> frames{0};
  std::atomic<bool> off_the_callers_thread{true};
  std::thread::id caller = std::this_thread::get_id();
};

void Pull(void* user, int16_t* out, int frames) {
  Pulls* pulls = static_cast<Pulls*>(user);
  if (std::this_thread::get_id() == pulls->caller) pulls->off_the_callers_thread = false;
  for (int i = 0; i < frames; ++i) out[i] = 0;
  pulls->frames += frames;
}

// What an output pulled in `ms` milliseconds at `rate`: exactly so on a
// virtual clock, about so (the machine may be busy) on the real one.
void ExpectPulled(long frames, uint32_t ms, int rate) {
  const long due = static_cast<long>(ms) * rate / 1000;
  if (harness::exact_time()) {
    EXPECT_EQ(frames, due);
  } else {
    EXPECT_GT(frames, due * 3 / 10) << "pulled " << frames;
    EXPECT_LT(frames, (static_cast<long>(ms) + 500) * rate * 3 / 2000) << "pulled " << frames;
  }
}

TEST_F(Contract, DebuggerTextReachesFileDescriptorTwoAsGiven) {
  const std::string said = CaptureFd2([] {
    backend::debug_output("dsutil(68): mmioOpen hr=E_FAIL (0x80004005)\n");
    backend::debug_output("no newline, ");
    backend::debug_output(nullptr);
    backend::debug_output("wide \xc3\xa9\n");
  });
  EXPECT_EQ(said, "dsutil(68): mmioOpen hr=E_FAIL (0x80004005)\nno newline, wide \xc3\xa9\n");
}

TEST_F(Contract, AudioOutputTakesOnlyWhatItCanPlay) {
  Pulls pulls;
  EXPECT_FALSE(backend::audio_open({44100, 2}, nullptr, &pulls));
  EXPECT_FALSE(backend::audio_open({0, 2}, Pull, &pulls));
  EXPECT_FALSE(backend::audio_open({44100, 3}, Pull, &pulls));
  EXPECT_FALSE(backend::audio_open({44100, 0}, Pull, &pulls));
  EXPECT_TRUE(backend::audio_open({22050, 1}, Pull, &pulls));
}

TEST_F(Contract, AnAudioDevicePullsAtItsRateOnAThreadOfItsOwn) {
  if (!harness::provide_audio_device()) GTEST_SKIP() << harness::backend_name() << " has no audio device";
  Pulls pulls;
  std::string said = CaptureFd2([&] { ASSERT_TRUE(backend::audio_open({22050, 2}, Pull, &pulls)); });
  EXPECT_EQ(said, "") << "a device was found";
  harness::let_time_pass(500);
  backend::audio_close();
  EXPECT_GT(pulls.frames, 0);
  EXPECT_TRUE(pulls.off_the_callers_thread);
  const long after_close = pulls.frames;
  harness::let_time_pass(50);
  EXPECT_EQ(pulls.frames, after_close) << "never pulled after close";
}

TEST_F(Contract, WithoutAnAudioDeviceASilentOutputPullsAtTheRateAndSaysSoOnce) {
  if (!harness::remove_audio_device()) GTEST_SKIP() << harness::backend_name() << ": the device stays";
  Pulls pulls;
  const std::string said = CaptureFd2([&] { ASSERT_TRUE(backend::audio_open({44100, 2}, Pull, &pulls)); });
  EXPECT_EQ(said.rfind(harness::backend_name() + ": no audio device (", 0), 0u) << said;
  EXPECT_NE(said.find("silent output pulling 44100 Hz, 2 channel(s)\n"), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line";
  harness::let_time_pass(500);
  const long pulled = pulls.frames;
  backend::audio_close();
  ExpectPulled(pulled, 500, 44100);
  EXPECT_TRUE(pulls.off_the_callers_thread);
  const long after_close = pulls.frames;
  harness::let_time_pass(50);
  EXPECT_EQ(pulls.frames, after_close) << "never pulled after close";
}

TEST_F(Contract, TheClockMovesWithTimeAndASleepGoesStraightToItsTime) {
  const uint64_t start = backend::clock_us();
  backend::sleep_until_us(start + 30000);
  const uint64_t slept = backend::clock_us();
  EXPECT_GE(slept - start, 30000u);
  backend::sleep_until_us(slept - 5000);  // a time past: at once
  harness::let_time_pass(100);
  const uint64_t later = backend::clock_us();
  EXPECT_GE(later - slept, 100000u);
  EXPECT_LT(later - start, 60000000u);
}

// The tick count the stand-in makes of the backend's clock: it steps as the
// platform's timer does, and a poll of it sleeps between the steps instead
// of spinning (without the sleep a poll reads thousands of times a step).
TEST_F(Contract, APollOfTheTickCountWakesAFewTimesAStep) {
  DWORD last = GetTickCount();
  int reads = 0;
  for (int step = 0; step < 8; ++step) {
    DWORD now;
    do {
      now = GetTickCount();
      ++reads;
    } while (now == last);
    EXPECT_GE(now - last, 15u);
    last = now;
  }
  EXPECT_LE(reads, 8 * 9) << "at most eight reads in a row of one step, then the ninth sleeps";
}

TEST_F(Contract, KeysComeAsTheirUsbUsageIds) {
  ShowWindowWithFocus();
  if (HasFatalFailure() || IsSkipped()) return;
  // W, Left arrow, Esc, Return: the game's kinds of key.
  const int keys[] = {26, 80, 41, 40};
  for (int key : keys) {
    if (!harness::tap_key(key)) GTEST_SKIP() << harness::backend_name() << ": keys cannot be pressed";
    std::vector<Event> seen;
    ASSERT_TRUE(WaitFor([key](const Event& e) { return e.kind == EventKind::KeyUp && e.code == key; }, &seen))
        << "key " << key;
    bool down_first = false;
    for (const Event& e : seen) {
      if (e.kind == EventKind::KeyDown) {
        EXPECT_EQ(e.code, key);
        down_first = true;
      }
    }
    EXPECT_TRUE(down_first) << "key " << key << " went up without coming down";
  }
}

TEST_F(Contract, TheFocusLeavesAndComesBack) {
  ShowWindowWithFocus();
  if (HasFatalFailure() || IsSkipped()) return;
  if (!harness::focus_elsewhere()) GTEST_SKIP() << harness::backend_name() << ": the focus cannot be taken";
  ASSERT_TRUE(WaitFor(EventKind::FocusLost));
  EXPECT_FALSE(backend::window_focused());
  ASSERT_TRUE(harness::focus_back());
  ASSERT_TRUE(WaitFor(EventKind::FocusGained));
  EXPECT_TRUE(backend::window_focused());
}

TEST_F(Contract, TheCloseButtonAsksAndLeavesTheWindowToTheProgram) {
  ShowWindowWithFocus();
  if (HasFatalFailure() || IsSkipped()) return;
  if (!harness::press_close_button()) GTEST_SKIP() << harness::backend_name() << " has no close button";
  ASSERT_TRUE(WaitFor(EventKind::CloseRequest));
  EXPECT_TRUE(backend::window_exists()) << "the program decides what a close request does";
}

// The window half of the seam: one window, made, shown, presented to (the
// frame read back where the harness can), full screen and back, destroyed.
TEST_F(Contract, TheWindowIsMadeShownPresentedAndDestroyed) {
  ASSERT_TRUE(backend::window_create(320, 200, "Contract"));
  EXPECT_FALSE(backend::window_create(320, 200, "Contract")) << "one window";
  EXPECT_TRUE(backend::window_exists());
  backend::window_show();
  std::vector<uint32_t> frame(320 * 200);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u) & 0x00FFFFFF;
  backend::present(frame.data(), 320, 200, 320 * 4, false);
  backend::present(frame.data(), 320, 200, 320 * 4, true);
  std::vector<uint32_t> shown;
  int width = 0, height = 0;
  if (harness::read_frame(shown, width, height)) {
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    EXPECT_EQ(shown, frame);
  }
  for (const bool full : {true, false}) {
    backend::window_set_fullscreen(full);
    harness::let_time_pass(50);
    const int now = harness::fullscreen();
    if (now >= 0) {
      EXPECT_EQ(now, full ? 1 : 0);
    }
  }
  backend::window_destroy();
  EXPECT_FALSE(backend::window_exists());
  EXPECT_FALSE(backend::window_focused());
}

TEST_F(Contract, AMessageBoxGivesTheUsersAnswer) {
  for (const bool yes : {true, false}) {
    if (!harness::answer_message_box(yes))
      GTEST_SKIP() << harness::backend_name() << ": no box can be answered";
    EXPECT_EQ(backend::message_box_yes_no("Contract", "Yes or no?"), yes);
  }
}

}  // namespace
