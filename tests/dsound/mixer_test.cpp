// The software mixer: pitch and resampling, levels, volume, pan, clipping,
// looping, stopping at the end, duplicates, notifications and concurrent
// use from the program's thread while the mixer renders.
#include <atomic>
#include <cmath>
#include <thread>

#include "dsound_fixture.h"
#include "platform/headless/headless.h"

using namespace dsound_test;

namespace {

std::vector<int16_t> ramp(int n, int step) {
  std::vector<int16_t> v(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = static_cast<int16_t>(i * step);
  return v;
}

class Mixer : public DsoundTest {};

TEST_F(Mixer, ResamplesByLinearInterpolationAndFollowsFrequency) {
  set_output(22050, 2);
  LPDIRECTSOUNDBUFFER b = make16(1, 11025, ramp(100, 100), DSBCAPS_CTRLFREQUENCY);
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  const std::vector<int16_t> out = render(220);
  for (int k = 0; k < 198; ++k) {
    ASSERT_EQ(out[2 * k], k * 50) << k;  // half-way samples interpolated
    ASSERT_EQ(out[2 * k + 1], k * 50) << k;
  }
  EXPECT_EQ(out[2 * 199], 9900);  // the last frame is held, not blended with the start
  for (int k = 200; k < 220; ++k) ASSERT_EQ(out[2 * k], 0) << k;  // stopped at its end
  EXPECT_EQ(status(b), 0u);

  DWORD hz = 0;
  ASSERT_EQ(b->GetFrequency(&hz), DS_OK);
  EXPECT_EQ(hz, 11025u);
  ASSERT_EQ(b->SetFrequency(44100), DS_OK);  // two source frames per output frame
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  const std::vector<int16_t> fast = render(60);
  EXPECT_EQ(fast[2 * 10], 2000);
  EXPECT_EQ(fast[2 * 49], 9800);
  EXPECT_EQ(fast[2 * 50], 0);  // 100 frames took 50 output frames
  ASSERT_EQ(b->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
  ASSERT_EQ(b->GetFrequency(&hz), DS_OK);
  EXPECT_EQ(hz, 11025u);
  EXPECT_EQ(b->SetFrequency(99), DSERR_INVALIDPARAM);
}

TEST_F(Mixer, ConvertsEightBitAndStereoAndMixesToMono) {
  set_output(8000, 2);
  LPDIRECTSOUNDBUFFER eight = make(1, 8, 8000, {0xFF, 0x00, 0x80, 0xC0});
  ASSERT_EQ(eight->Play(0, 0, 0), DS_OK);
  std::vector<int16_t> out = render(4);
  EXPECT_EQ(out, (std::vector<int16_t>{32512, 32512, -32768, -32768, 0, 0, 16384, 16384}));

  LPDIRECTSOUNDBUFFER stereo = make16(2, 8000, {1000, -2000, 3000, -4000});
  ASSERT_EQ(stereo->Play(0, 0, 0), DS_OK);
  out = render(2);
  EXPECT_EQ(out, (std::vector<int16_t>{1000, -2000, 3000, -4000}));

  set_output(8000, 1);
  ASSERT_EQ(stereo->Play(0, 0, 0), DS_OK);
  out = render(2);
  EXPECT_EQ(out, (std::vector<int16_t>{-500, -500}));
}

TEST_F(Mixer, VolumeAndPanScaleOnlyWithTheirControlFlags) {
  set_output(22050, 2);
  const std::vector<int16_t> level(64, 16000);
  LPDIRECTSOUNDBUFFER plain = make16(1, 22050, level);
  EXPECT_EQ(plain->SetVolume(-600), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetPan(-600), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetFrequency(8000), DSERR_CONTROLUNAVAIL);
  ASSERT_EQ(plain->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(render(4)[0], 16000);
  plain->Stop();

  LPDIRECTSOUNDBUFFER b = make16(1, 22050, level, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  const double half = 16000 * std::pow(10.0, -600 / 2000.0);  // -6 dB
  ASSERT_EQ(b->SetVolume(-600), DS_OK);
  std::vector<int16_t> out = render(4);
  EXPECT_NEAR(out[0], half, 2);
  EXPECT_NEAR(out[1], half, 2);
  ASSERT_EQ(b->SetVolume(DSBVOLUME_MIN), DS_OK);
  out = render(4);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);

  ASSERT_EQ(b->SetVolume(0), DS_OK);
  ASSERT_EQ(b->SetPan(600), DS_OK);  // towards the right: the left is attenuated
  out = render(4);
  EXPECT_NEAR(out[0], half, 2);
  EXPECT_EQ(out[1], 16000);
  ASSERT_EQ(b->SetPan(DSBPAN_LEFT), DS_OK);
  out = render(4);
  EXPECT_EQ(out[0], 16000);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(b->SetPan(10001), DSERR_INVALIDPARAM);
}

// Without the focus only buffers made with DSBCAPS_GLOBALFOCUS or
// DSBCAPS_STICKYFOCUS are heard; the others play on unheard.
TEST_F(Mixer, BuffersWithoutAFocusFlagAreMutedWhileTheWindowLacksTheFocus) {
  set_output(8000, 1);
  const DWORD flags[] = {0, DSBCAPS_GLOBALFOCUS, DSBCAPS_STICKYFOCUS};
  const int16_t heard_without_focus[] = {0, 1000, 1000};
  for (int i = 0; i < 3; ++i) {
    LPDIRECTSOUNDBUFFER b = make16(1, 8000, std::vector<int16_t>(100, 1000), flags[i]);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(render(10)[9], 1000) << i << " with the focus";
    headless::set_focus(false);
    input_state::pump();
    EXPECT_EQ(render(10)[9], heard_without_focus[i]) << i;
    EXPECT_EQ(cursor(b), 40u) << "played on";
    headless::set_focus(true);
    input_state::pump();
    ASSERT_EQ(b->Stop(), DS_OK);
  }
}

TEST_F(Mixer, SumsAreClippedNotWrapped) {
  set_output(22050, 2);
  LPDIRECTSOUNDBUFFER a = make16(2, 22050, {30000, -30000, 30000, -30000});
  LPDIRECTSOUNDBUFFER b = make16(2, 22050, {30000, -30000, 30000, -30000});
  ASSERT_EQ(a->Play(0, 0, 0), DS_OK);
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  const std::vector<int16_t> out = render(2);
  EXPECT_EQ(out, (std::vector<int16_t>{32767, -32768, 32767, -32768}));
}

TEST_F(Mixer, LoopingWrapsAndOneShotStopsAtItsEnd) {
  set_output(22050, 2);
  LPDIRECTSOUNDBUFFER loop = make16(1, 22050, ramp(100, 10));
  ASSERT_EQ(loop->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  std::vector<int16_t> out = render(250);
  EXPECT_EQ(out[2 * 99], 990);
  EXPECT_EQ(out[2 * 100], 0);  // wrapped to the start
  EXPECT_EQ(out[2 * 249], 490);
  EXPECT_EQ(status(loop), DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
  EXPECT_EQ(cursor(loop), 100u);  // 50 frames of 2 bytes into the third lap

  // Play on a playing buffer goes on where it is, now without looping.
  ASSERT_EQ(loop->Play(0, 0, 0), DS_OK);
  out = render(60);
  EXPECT_EQ(out[0], 500);
  EXPECT_EQ(out[2 * 49], 990);
  EXPECT_EQ(out[2 * 50], 0);
  EXPECT_EQ(status(loop), 0u);
  EXPECT_EQ(cursor(loop), 0u);  // a finished buffer starts again from its beginning

  // Stop keeps the position; SetCurrentPosition moves it.
  ASSERT_EQ(loop->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  render(30);
  ASSERT_EQ(loop->Stop(), DS_OK);
  EXPECT_EQ(cursor(loop), 60u);
  EXPECT_EQ(render(5)[0], 0);
  ASSERT_EQ(loop->SetCurrentPosition(41), DS_OK);  // rounded down to a whole frame
  EXPECT_EQ(cursor(loop), 40u);
  EXPECT_EQ(loop->SetCurrentPosition(200), DSERR_INVALIDPARAM);
}

TEST_F(Mixer, DuplicatesShareMemoryButKeepTheirOwnCursorAndState) {
  set_output(22050, 2);
  LPDIRECTSOUNDBUFFER first = make16(1, 22050, ramp(100, 10), DSBCAPS_CTRLVOLUME);
  ASSERT_EQ(first->SetVolume(-10000), DS_OK);
  LPDIRECTSOUNDBUFFER copy = nullptr;
  ASSERT_EQ(ds_->DuplicateSoundBuffer(first, &copy), DS_OK);
  owned_.push_back(copy);
  ASSERT_EQ(copy->SetVolume(0), DS_OK);  // settings are its own from here on

  ASSERT_EQ(first->Play(0, 0, 0), DS_OK);
  render(40);
  EXPECT_EQ(status(copy), 0u);
  EXPECT_EQ(cursor(copy), 0u);
  EXPECT_EQ(cursor(first), 80u);

  write(first, 0, {0x34, 0x12});  // seen by the duplicate
  ASSERT_EQ(copy->Play(0, 0, 0), DS_OK);
  ASSERT_EQ(first->Stop(), DS_OK);
  const std::vector<int16_t> out = render(3);
  EXPECT_EQ(out[0], 0x1234);
  EXPECT_EQ(out[2], 10);
  EXPECT_EQ(cursor(first), 80u);
  EXPECT_EQ(cursor(copy), 6u);

  // Releasing the original leaves the duplicate playing its memory.
  first->Release();
  owned_.erase(owned_.begin());
  EXPECT_EQ(render(1)[0], 30);
}

class Notifications : public DsoundTest {
 protected:
  void TearDown() override {
    DsoundTest::TearDown();
    for (HANDLE e : events_) CloseHandle(e);
  }
  bool fired(int i) { return WaitForSingleObject(events_[static_cast<size_t>(i)], 0) == WAIT_OBJECT_0; }
  std::vector<HANDLE> events_;
};

TEST_F(Notifications, EventsAreSetInOrderAsTheCursorPassesEachOffset) {
  set_output(22050, 2);
  // 4000 bytes in blocks of 1000 (500 frames), notified at each block's last byte.
  LPDIRECTSOUNDBUFFER b = make16(1, 22050, std::vector<int16_t>(2000, 1), DSBCAPS_CTRLPOSITIONNOTIFY);
  LPDIRECTSOUNDNOTIFY notify = nullptr;
  ASSERT_EQ(b->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
  std::vector<DSBPOSITIONNOTIFY> at;
  for (DWORD offset : {3999u, 999u, 1999u, 2999u, DWORD{DSBPN_OFFSETSTOP}}) {
    events_.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    at.push_back({offset, events_.back()});
  }
  ASSERT_EQ(notify->SetNotificationPositions(static_cast<DWORD>(at.size()), at.data()), DS_OK);

  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(notify->SetNotificationPositions(0, nullptr), DSERR_INVALIDCALL);  // not while playing
  render(499);
  EXPECT_FALSE(fired(1));  // byte 999 not passed yet
  render(1);
  EXPECT_TRUE(fired(1));
  EXPECT_FALSE(fired(2));
  render(600);
  EXPECT_TRUE(fired(2));
  EXPECT_FALSE(fired(3));
  EXPECT_FALSE(fired(0));
  render(1500);  // through the end and on into the next lap
  EXPECT_TRUE(fired(3));
  EXPECT_TRUE(fired(0));
  EXPECT_TRUE(fired(1));
  EXPECT_FALSE(fired(4));
  ASSERT_EQ(b->Stop(), DS_OK);
  EXPECT_TRUE(fired(4));  // the stop event

  ASSERT_EQ(b->SetCurrentPosition(0), DS_OK);
  DSBPOSITIONNOTIFY bad{4000, events_[0]};
  EXPECT_EQ(notify->SetNotificationPositions(1, &bad), DSERR_INVALIDPARAM);
  notify->Release();

  // A one-shot buffer sets its last offset and the stop event at its end.
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  render(2100);
  EXPECT_TRUE(fired(0));
  EXPECT_TRUE(fired(4));
}

TEST_F(Notifications, OnlyBuffersWithTheFlagHandOutTheInterface) {
  LPDIRECTSOUNDBUFFER b = make16(1, 22050, std::vector<int16_t>(10, 0));
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(b->QueryInterface(IID_IDirectSoundNotify, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

// The program's thread works the buffers while another thread renders, as
// the backend's audio thread does; run under ThreadSanitizer this finds any
// unguarded shared state. Events come from the rendering thread.
TEST_F(Mixer, ProgramCallsRaceFreeWithTheRenderingThread) {
  set_output(22050, 2);
  LPDIRECTSOUNDBUFFER b =
      make16(1, 11025, std::vector<int16_t>(4000, 100),
             DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPOSITIONNOTIFY);
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  LPDIRECTSOUNDNOTIFY notify = nullptr;
  ASSERT_EQ(b->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
  DSBPOSITIONNOTIFY n{0, event};
  ASSERT_EQ(notify->SetNotificationPositions(1, &n), DS_OK);
  notify->Release();

  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<int16_t> out(512 * 2);
    while (!stop.load()) dsound::Mixer::instance().render(out.data(), 512);
  });
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_EQ(WaitForSingleObject(event, 5000), WAIT_OBJECT_0);
  for (int i = 0; i < 300; ++i) {
    write(b, static_cast<DWORD>(i * 26 % 8000), std::vector<uint8_t>(500, static_cast<uint8_t>(i)));
    b->SetVolume(-(i % 100));
    b->SetPan(i % 200 - 100);
    b->SetFrequency(8000 + static_cast<DWORD>(i));
    if (i % 50 == 0) {
      b->Stop();
      b->Play(0, 0, DSBPLAY_LOOPING);
    }
    LPDIRECTSOUNDBUFFER copy = nullptr;
    if (i % 30 == 0 && ds_->DuplicateSoundBuffer(b, &copy) == DS_OK) {
      copy->Play(0, 0, 0);
      copy->Release();
    }
    cursor(b);
  }
  EXPECT_EQ(WaitForSingleObject(event, 5000), WAIT_OBJECT_0);
  stop = true;
  audio.join();
  CloseHandle(event);
}

}  // namespace
