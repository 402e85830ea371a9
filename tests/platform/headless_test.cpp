// The headless backend's own behaviour: frames, audio pulled in step with
// the virtual clock, the silent fallback, fault counting and reset.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "fixture.h"
#include "platform/fault_points.h"
#include "scratch_folder.h"

using namespace platform_test;

namespace {

class Headless : public PlatformTest {};

TEST_F(Headless, FramesReachTheCallbackAndAreKept) {
  std::vector<uint32_t> pixels(800 * 600, 0x00112233);
  pixels[599 * 800 + 799] = 0x00FF0000;
  uint64_t seen_index = 99;
  uint32_t seen_corner = 0;
  headless::on_frame([&](const headless::Frame& f) {
    seen_index = f.index;
    seen_corner = f.pixels[(f.height - 1) * (f.pitch_bytes / 4) + f.width - 1];
  });
  backend::present(pixels.data(), 800, 600, 800 * 4, false);
  EXPECT_EQ(seen_index, 0u);
  EXPECT_EQ(seen_corner, 0x00FF0000u);
  EXPECT_EQ(headless::frame_count(), 1u);
  const headless::Image& last = headless::last_frame();
  ASSERT_EQ(last.width, 800);
  ASSERT_EQ(last.height, 600);
  EXPECT_EQ(last.pixels[0], 0x00112233u);
  EXPECT_EQ(last.pixels[599 * 800 + 799], 0x00FF0000u);
  backend::present(pixels.data(), 800, 600, 800 * 4, false);
  EXPECT_EQ(seen_index, 1u);
}

TEST_F(Headless, PitchIsHonoured) {
  std::vector<uint32_t> pixels(4 * 2, 0);
  pixels[0] = 1;
  pixels[4] = 2;  // row 1 starts 16 bytes in
  backend::present(pixels.data(), 2, 2, 16, false);
  EXPECT_EQ(headless::last_frame().pixels, (std::vector<uint32_t>{1, 0, 2, 0}));
}

struct Counter {
  std::atomic<int64_t> frames{0};
  std::atomic<int> calls{0};
  std::thread::id thread;
};

void counting_pull(void* user, int16_t* out, int frames) {
  Counter* c = static_cast<Counter*>(user);
  c->thread = std::this_thread::get_id();
  for (int i = 0; i < frames; ++i) {
    const int16_t v = static_cast<int16_t>((c->frames + i) % 1000);
    out[2 * i] = v;
    out[2 * i + 1] = static_cast<int16_t>(-v);
  }
  c->frames += frames;
  ++c->calls;
}

TEST_F(Headless, AudioIsPulledInStepWithTheClock) {
  Counter counter;
  ASSERT_TRUE(backend::audio_open({44100, 2}, counting_pull, &counter));
  EXPECT_TRUE(headless::audio_open());
  EXPECT_FALSE(headless::audio_silent());
  EXPECT_EQ(counter.frames, 0);
  for (int i = 0; i < 9; ++i) backend::clock_us();
  EXPECT_EQ(counter.frames, 0) << "9 ms: not yet a period";
  backend::clock_us();
  EXPECT_EQ(counter.frames, 441) << "10 ms";
  EXPECT_NE(counter.thread, std::this_thread::get_id()) << "pulled on a thread of its own";
  backend::sleep_until_us(backend::clock_us() + 24000);
  EXPECT_EQ(counter.frames, 1323) << "30 ms";
  headless::advance(1000);
  EXPECT_EQ(counter.frames, 45423) << "1030 ms";
  headless::set_ticks(0xFFFFFF00u);
  EXPECT_EQ(counter.frames, 45423) << "a jump pulls nothing";
  EXPECT_EQ(headless::audio_frames_pulled(), 45423u);
  const auto samples = headless::audio_captured();
  ASSERT_EQ(samples.size(), 45423u * 2);
  EXPECT_EQ(samples[2 * 500], 500);
  EXPECT_EQ(samples[2 * 500 + 1], -500);
  EXPECT_EQ(headless::audio_peak(), 999);
  backend::audio_close();
  const int calls = counter.calls;
  headless::advance(1000);
  EXPECT_EQ(counter.calls, calls) << "never called after close";
}

TEST_F(Headless, AudioPeriodCanBeSet) {
  headless::set_audio_period_ms(1);
  Counter counter;
  backend::audio_open(
      {22050, 1},
      [](void* user, int16_t* out, int frames) {
        Counter* c = static_cast<Counter*>(user);
        for (int i = 0; i < frames; ++i) out[i] = 1;
        c->frames += frames;
      },
      &counter);
  for (int period = 1; period <= 4; ++period) {
    backend::clock_us();
    EXPECT_EQ(counter.frames, 22 * period);
  }
  backend::audio_close();
}

// The silent output pulls as the real one does (the backend contract) but
// keeps nothing.
TEST_F(Headless, TheSilentFallbackCapturesNothing) {
  headless::fail("backend::audio_open");
  Counter counter;
  ASSERT_TRUE(backend::audio_open({44100, 2}, counting_pull, &counter));
  EXPECT_TRUE(headless::audio_silent());
  headless::advance(100);
  EXPECT_EQ(headless::audio_frames_pulled(), 4410u);
  EXPECT_TRUE(headless::audio_captured().empty());
  EXPECT_EQ(headless::audio_peak(), 0);
  backend::audio_close();
}

TEST_F(Headless, CapturedAudioSavesAsWav) {
  Counter counter;
  backend::audio_open({44100, 2}, counting_pull, &counter);
  headless::advance(100);
  backend::audio_close();
  const ScratchFolder folder("quarrelo-headless");
  const std::string path = folder.file("captured.wav");
  ASSERT_TRUE(headless::save_audio_wav(path.c_str()));
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 44u + 4410u * 4);
  EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
  EXPECT_EQ(std::string(bytes.data() + 8, 8), "WAVEfmt ");
}

TEST_F(Headless, AudioCaptureLimit) {
  headless::set_audio_capture_limit(100);
  Counter counter;
  backend::audio_open({44100, 2}, counting_pull, &counter);
  headless::advance(50);
  EXPECT_EQ(headless::audio_captured().size(), 200u);
  EXPECT_EQ(headless::audio_frames_pulled(), 2205u);
  backend::audio_close();
}

TEST_F(Headless, AudioSurvivesReset) {
  Counter counter;
  backend::audio_open({44100, 2}, counting_pull, &counter);
  headless::reset();
  EXPECT_FALSE(headless::audio_open());
  headless::advance(100);
  EXPECT_EQ(counter.frames, 0);
}

TEST_F(Headless, DeterministicAcrossRuns) {
  auto run = [] {
    headless::reset();
    Counter counter;
    backend::audio_open({44100, 2}, counting_pull, &counter);
    for (int frame = 0; frame < 200; ++frame) {
      const DWORD last = GetTickCount();
      while (GetTickCount() - last < 15) {
      }
    }
    backend::audio_close();
    return std::make_pair(counter.frames.load(), headless::peek_ticks());
  };
  const auto a = run();
  const auto b = run();
  EXPECT_EQ(a, b);
  EXPECT_GT(a.first, 0);
}

TEST_F(Headless, FaultsCountAndRepeat) {
  const FaultPoint& x = fault_point::kLock;
  const FaultPoint& y = fault_point::kPlay;
  headless::fail(x.name, 2, 1);
  EXPECT_FALSE(fault_point::fails(x));
  EXPECT_TRUE(fault_point::fails(x));
  EXPECT_TRUE(fault_point::fails(x));
  EXPECT_FALSE(fault_point::fails(x));
  EXPECT_EQ(headless::fault_checks(x.name), 4);
  headless::fail(y.name, -1);
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(fault_point::fails(y));
  EXPECT_FALSE(fault_point::fails(fault_point::kGetStatus));
  headless::reset();
  EXPECT_FALSE(fault_point::fails(y));
}

TEST(HeadlessDeathTest, AFaultNameOffTheListEndsTheTestNamingIt) {
  EXPECT_DEATH(headless::fail("IDirect3DDevice9::BeginScen"),
               "\"IDirect3DDevice9::BeginScen\" is not a fault point");
  EXPECT_DEATH(headless::fault_checks("backend::audio"), "\"backend::audio\" is not a fault point");
}

TEST_F(Headless, EventsScheduledByFrameComeInOrder) {
  backend::window_create(800, 600, "t");
  headless::key_at(1, 4, true);
  headless::key_at(0, 5, true);
  headless::key_at(1, 6, true);
  headless::push_event({backend::EventKind::MouseMotion, 0, 1, 2});
  backend::Event e;
  ASSERT_TRUE(backend::poll_event(e));
  EXPECT_EQ(e.kind, backend::EventKind::MouseMotion);
  ASSERT_TRUE(backend::poll_event(e));
  EXPECT_EQ(e.code, 5);
  EXPECT_FALSE(backend::poll_event(e));
  EXPECT_EQ(headless::pending_events(), 2u);
  present_frame();
  ASSERT_TRUE(backend::poll_event(e));
  EXPECT_EQ(e.code, 4);
  ASSERT_TRUE(backend::poll_event(e));
  EXPECT_EQ(e.code, 6);
  EXPECT_FALSE(backend::poll_event(e));
  backend::window_destroy();
}

TEST_F(Headless, EventsScheduledByTheClockComeOnceItReadsTheirTime) {
  backend::window_create(800, 600, "t");
  headless::set_ticks(0xFFFFFFF0u);  // the time is past the counter's wrap
  headless::event_at_ticks(0x10, {backend::EventKind::FocusLost});
  headless::event_at_ticks(0x08, {backend::EventKind::KeyDown, 7});
  headless::key_at(0, 5, true);
  backend::Event e;
  ASSERT_TRUE(backend::poll_event(e));
  EXPECT_EQ(e.code, 5) << "frame-scheduled first";
  EXPECT_FALSE(backend::poll_event(e)) << "no frame is presented, but the clock must move";
  headless::set_ticks(0x08);
  ASSERT_TRUE(backend::poll_event(e));
  EXPECT_EQ(e.code, 7);
  EXPECT_FALSE(backend::poll_event(e));
  EXPECT_EQ(headless::pending_events(), 1u);
  headless::advance(8);
  ASSERT_TRUE(backend::poll_event(e));
  EXPECT_EQ(e.kind, backend::EventKind::FocusLost);
  EXPECT_FALSE(backend::window_focused());
  backend::window_destroy();
}

TEST_F(Headless, FullScreenAndCapture) {
  backend::window_create(800, 600, "t");
  backend::window_set_fullscreen(true);
  EXPECT_TRUE(headless::window_fullscreen());
  backend::window_capture_mouse(true);
  EXPECT_TRUE(headless::mouse_captured());
  backend::window_destroy();
  EXPECT_FALSE(headless::mouse_captured());
  EXPECT_FALSE(headless::window_fullscreen());
}

}  // namespace
