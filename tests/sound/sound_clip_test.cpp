// SoundClip over scripted buffers: filling with silence or repeats, picking a
// free buffer, restoring lost buffers, and what Start may set.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "fake_dsound.h"
#include "platform/headless/headless.h"
#include "sound/dsutil.h"
#include "wave_bytes.h"

using testing::Each;
using testing::ElementsAre;
using testing::HasSubstr;
using wave::Bytes;

namespace {

struct ClipTest : testing::Test {
  WAVEFORMATEX fmt{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
  Bytes data = wave::Pattern(1000);
  fake::Device device;

  WaveFile* MemoryWave(DWORD size) {
    auto* w = new WaveFile;
    w->OpenFromMemory(data.data(), size, &fmt, WAVE_OPEN_READ);
    return w;
  }
  // A clip of `count` buffers of `bytes` each (duplicates of the first).
  SoundClip* Clip(DWORD count, DWORD bytes, DWORD caps = 0, DWORD wave_bytes = 1000) {
    std::vector<LPDIRECTSOUNDBUFFER> a{device.Add(bytes, false)};
    for (DWORD i = 1; i < count; ++i) {
      LPDIRECTSOUNDBUFFER d = nullptr;
      device.DuplicateSoundBuffer(a[0], &d);
      a.push_back(d);
    }
    HRESULT hr = S_OK;
    auto* clip = new SoundClip(a.data(), bytes, count, MemoryWave(wave_bytes), caps, &hr);
    EXPECT_EQ(S_OK, hr);
    return clip;
  }
  fake::Buffer& Buf(size_t i) { return *device.buffers[i]; }
};

}  // namespace

TEST_F(ClipTest, ConstructionFillsTheFirstBufferAndPadsWithTheSilenceOfTheFormat) {
  std::unique_ptr<SoundClip> clip8(Clip(1, 1500));
  EXPECT_EQ(data, Buf(0).Bytes(0, 1000));
  EXPECT_THAT(Buf(0).Bytes(1000, 500), Each(128));
  EXPECT_EQ(0, Buf(0).locked);

  fmt.wBitsPerSample = 16;
  std::unique_ptr<SoundClip> clip16(Clip(1, 1500));
  EXPECT_THAT(Buf(1).Bytes(1000, 500), Each(0));

  std::unique_ptr<SoundClip> empty(Clip(1, 300, 0, 0));
  EXPECT_THAT(Buf(2).Bytes(0, 300), Each(0));

  clip8.reset();
  EXPECT_EQ(0u, Buf(0).refs);
}

TEST_F(ClipTest, RepeatFillsALargerBufferWithWholeCopiesAndACutOne) {
  std::unique_ptr<SoundClip> clip(Clip(1, 2500));
  ASSERT_EQ(S_OK, clip->FillBufferWithSound(clip->BufferAt(0), TRUE));
  EXPECT_EQ(data, Buf(0).Bytes(0, 1000));
  EXPECT_EQ(data, Buf(0).Bytes(1000, 1000));
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 500), Buf(0).Bytes(2000, 500));

  // A wave without data leaves the buffer silent instead of repeating.
  std::unique_ptr<SoundClip> empty(Clip(1, 100, 0, 0));
  EXPECT_EQ(S_OK, empty->FillBufferWithSound(empty->BufferAt(0), TRUE));
  EXPECT_THAT(Buf(1).Bytes(0, 100), Each(128));
}

TEST_F(ClipTest, FillFailuresAreTracedAndLeaveNothingLocked) {
  std::unique_ptr<SoundClip> clip(Clip(1, 1000));
  EXPECT_EQ(CO_E_NOTINITIALIZED, clip->FillBufferWithSound(nullptr, FALSE));

  Buf(0).lock_result = DSERR_INVALIDCALL;
  headless::clear_debug_output();
  EXPECT_EQ(DSERR_INVALIDCALL, clip->FillBufferWithSound(clip->BufferAt(0), FALSE));
  EXPECT_THAT(headless::debug_output(), HasSubstr("Lock hr="));

  // A wave whose data chunk claims more than the file holds fails to read.
  auto* truncated = new WaveFile;
  truncated->Open(wave::WriteFile("short.wav", wave::Riff({wave::Chunk("fmt ", wave::Pcm16(1, 1, 8000, 8)),
                                                           wave::Chunk("data", wave::Pattern(100), 2000)}))
                      .c_str(),
                  nullptr, WAVE_OPEN_READ);
  LPDIRECTSOUNDBUFFER b = device.Add(2000, false);
  HRESULT hr = S_OK;
  SoundClip broken(&b, 2000, 1, truncated, 0, &hr);
  headless::clear_debug_output();
  EXPECT_EQ(E_FAIL, broken.FillBufferWithSound(b, FALSE));
  EXPECT_THAT(headless::debug_output(), HasSubstr("Read hr=E_FAIL (0x80004005)"));
  EXPECT_EQ(0, Buf(1).locked);
  EXPECT_EQ(0, Buf(0).locked);
}

TEST_F(ClipTest, GetFreeBufferTakesTheFirstStoppedBufferElseDrawsOneAtRandom) {
  std::unique_ptr<SoundClip> clip(Clip(3, 1000));
  std::srand(11);
  const int r1 = std::rand(), r2 = std::rand();

  std::srand(11);
  Buf(0).status = DSBSTATUS_PLAYING;
  EXPECT_EQ(clip->BufferAt(1), clip->GetFreeBuffer());
  EXPECT_EQ(r1, std::rand()) << "no random number may be drawn";

  // A failed status query counts as free.
  std::srand(11);
  Buf(1).status = DSBSTATUS_PLAYING;
  Buf(2).status = DSBSTATUS_PLAYING;
  Buf(2).status_result = E_FAIL;
  EXPECT_EQ(clip->BufferAt(2), clip->GetFreeBuffer());
  Buf(2).status_result = DS_OK;

  std::srand(11);
  EXPECT_EQ(clip->BufferAt(static_cast<unsigned>(r1) % 3), clip->GetFreeBuffer());
  EXPECT_EQ(r2, std::rand()) << "exactly one random number is drawn";

  std::unique_ptr<SoundClip> one(Clip(1, 10));
  Buf(3).status = DSBSTATUS_PLAYING;
  std::srand(11);
  EXPECT_EQ(one->BufferAt(0), one->GetFreeBuffer());
  EXPECT_EQ(r2, std::rand());
}

TEST_F(ClipTest, StartSetsOnlyWhatTheCapabilityFlagsAllow) {
  std::unique_ptr<SoundClip> plain(Clip(1, 1000));
  EXPECT_EQ(S_OK, plain->Start(3, DSBPLAY_LOOPING, -600, 11025, 200));
  EXPECT_THAT(Buf(0).calls, ElementsAre("Play"));
  EXPECT_EQ(3u, Buf(0).play_priority);
  EXPECT_EQ(DWORD{DSBPLAY_LOOPING}, Buf(0).play_flags);

  std::unique_ptr<SoundClip> full(
      Clip(1, 1000, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY));
  EXPECT_EQ(S_OK, full->Start(0, 0, -600, 11025, 200));
  EXPECT_THAT(Buf(1).calls, ElementsAre("SetVolume", "SetFrequency", "SetPan", "Play"));
  EXPECT_EQ(-600, Buf(1).volume);
  EXPECT_EQ(11025u, Buf(1).frequency);
  EXPECT_EQ(200, Buf(1).pan);
  Buf(1).calls.clear();
  Buf(1).play_result = DSERR_BUFFERLOST;
  EXPECT_EQ(DSERR_BUFFERLOST, full->Start(0, 0, 0, -1, 0));
  EXPECT_THAT(Buf(1).calls, ElementsAre("SetVolume", "SetPan", "Play"));

  std::unique_ptr<SoundClip> pan(Clip(1, 1000, DSBCAPS_CTRLPAN));
  pan->Start(0, 0, -600, 11025, 200);
  EXPECT_THAT(Buf(2).calls, ElementsAre("SetPan", "Play"));
}

TEST_F(ClipTest, LostBuffersAreRestoredAndRefilledBeforePlaying) {
  std::unique_ptr<SoundClip> clip(Clip(1, 1000));
  BOOL restored = TRUE;
  EXPECT_EQ(S_FALSE, clip->RestoreBuffer(clip->BufferAt(0), &restored));
  EXPECT_FALSE(restored);
  EXPECT_EQ(0, Buf(0).restores);

  // The hardware comes back only after three refusals: each pass sleeps
  // 10 ms after the first refusal and only the second answer decides.
  Buf(0).Lose();
  Buf(0).restore_results = {DSERR_BUFFERLOST, DSERR_BUFFERLOST, DSERR_BUFFERLOST};
  const uint32_t before = headless::peek_ticks();
  EXPECT_EQ(S_OK, clip->Start(0, 0, 0, -1, 0));
  EXPECT_EQ(4, Buf(0).restores);
  EXPECT_EQ(headless::peek_ticks() - before, 20u) << "two sleeps of 10 ms";
  EXPECT_EQ(data, Buf(0).Bytes(0, 1000));
  EXPECT_THAT(Buf(0).calls, ElementsAre("Play"));

  Buf(0).status_result = E_FAIL;
  headless::clear_debug_output();
  EXPECT_EQ(E_FAIL, clip->Start(0, 0, 0, -1, 0));
  EXPECT_THAT(headless::debug_output(), HasSubstr("GetStatus hr=E_FAIL"));
  EXPECT_THAT(headless::debug_output(), HasSubstr("RestoreBuffer hr=E_FAIL"));
}

TEST_F(ClipTest, StopAllRewindAndIsAnyPlayingCoverEveryBuffer) {
  std::unique_ptr<SoundClip> clip(Clip(2, 100));
  EXPECT_EQ(S_OK, clip->StopAll());
  EXPECT_FALSE(clip->IsAnyPlaying());
  Buf(1).stop_result = DSERR_INVALIDCALL;
  Buf(1).status = DSBSTATUS_PLAYING;
  EXPECT_LT(clip->StopAll(), 0);
  EXPECT_TRUE(clip->IsAnyPlaying());
  EXPECT_THAT(Buf(0).calls, ElementsAre("Stop", "Stop"));
  EXPECT_EQ(S_OK, clip->Rewind());
  EXPECT_EQ(nullptr, clip->BufferAt(2));

  HRESULT hr = S_OK;
  SoundClip none(nullptr, 0, 0, nullptr, 0, &hr);
  EXPECT_EQ(E_INVALIDARG, hr);
  EXPECT_EQ(CO_E_NOTINITIALIZED, none.Start(0, 0, 0, -1, 0));
  EXPECT_EQ(CO_E_NOTINITIALIZED, none.StopAll());
  EXPECT_EQ(nullptr, none.GetFreeBuffer());
}
