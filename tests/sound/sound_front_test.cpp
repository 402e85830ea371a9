// The game's sound front on the platform's own DirectSound and the headless
// audio output: its run-log lines, and hit sounds that are really heard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "platform/headless/headless.h"
#include "sound/sound.h"
#include "wave_bytes.h"

using wave::Bytes;

namespace {

// A quarter second of a 440 Hz tone, 16-bit stereo at 22050 Hz.
Bytes Tone() {
  Bytes b;
  for (int i = 0; i < 5512; ++i) {
    const auto v = static_cast<int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / 22050));
    wave::Put16(b, static_cast<uint16_t>(v));
    wave::Put16(b, static_cast<uint16_t>(v));
  }
  return b;
}

struct FrontTest : testing::Test {
  std::ostringstream log;
  std::streambuf* saved = nullptr;
  HWND window = nullptr;
  std::string hit = wave::WriteFile("hit.wav", wave::PcmWave(Tone(), 16, 2));

  void SetUp() override {
    saved = std::cerr.rdbuf(log.rdbuf());
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SoundFrontTest";
    RegisterClassExA(&wc);
    window = CreateWindowExA(0, "SoundFrontTest", "SoundFrontTest", WS_POPUP, 0, 0, 800, 600, nullptr,
                             nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    // Shown, and its focus taken from the window system's queue: the game's
    // buffers are heard only while it has the focus.
    ShowWindow(window, SW_SHOW);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  void TearDown() override {
    std::cerr.rdbuf(saved);
    // The game keeps the device to the end; a test releases it so that the
    // mixer closes the audio output before the process exits.
    delete g_pSoundDevice;
    g_pSoundDevice = nullptr;
  }
  std::string TakeLog() {
    std::string s = log.str();
    log.str("");
    return s;
  }
  int Heard(uint32_t ms) {
    headless::clear_audio_capture();
    headless::advance(ms);
    int peak = 0;
    for (int16_t s : headless::audio_captured()) peak = std::max(peak, std::abs(int{s}));
    return peak;
  }
};

}  // namespace

TEST_F(FrontTest, InitSoundWritesOneLineForEachOutcome) {
  EXPECT_EQ(nullptr, g_pSoundDevice);
  EXPECT_EQ(1, Init_Sound(window));
  EXPECT_EQ("DirectSound Initialized\n", TakeLog());
  ASSERT_NE(nullptr, g_pSoundDevice);
  EXPECT_NE(nullptr, g_pSoundDevice->m_pDevice);

  struct Case {
    const char* fault;
    const char* line;
  } cases[] = {{"DirectSoundCreate8", "DirectSound Initialize failed\n"},
               {"IDirectSound8::SetCooperativeLevel", "DirectSound Initialize failed\n"},
               {"IDirectSound8::CreateSoundBuffer", "SetPrimaryBufferFormat Failed\n"},
               {"IDirectSoundBuffer::SetFormat", "SetPrimaryBufferFormat Failed\n"}};
  for (const Case& c : cases) {
    delete g_pSoundDevice;
    g_pSoundDevice = nullptr;
    headless::fail(c.fault);
    EXPECT_EQ(0, Init_Sound(window)) << c.fault;
    EXPECT_EQ(c.line, TakeLog()) << c.fault;
    EXPECT_NE(nullptr, g_pSoundDevice) << "the device stays even when its set-up failed";
  }
}

TEST_F(FrontTest, LoadSoundWritesOneLineAndMakesOneBufferClips) {
  ASSERT_EQ(1, Init_Sound(window));
  TakeLog();
  SoundClip* clip = LoadSound(hit.c_str());
  ASSERT_NE(nullptr, clip);
  EXPECT_EQ("LoadSound() Successful\n", TakeLog());
  EXPECT_EQ(1u, clip->m_dwBufferCount);
  EXPECT_EQ(0u, clip->m_dwCapsFlags);
  delete clip;

  const std::string empty = wave::WriteFile("empty.wav", wave::PcmWave({}, 16, 2));
  for (const char* name : {"missing.wav", empty.c_str()}) {
    EXPECT_EQ(nullptr, LoadSound(name)) << name;
    EXPECT_EQ("LoadSound() Create failed\n", TakeLog()) << name;
  }
  headless::fail("IDirectSound8::CreateSoundBuffer");
  EXPECT_EQ(nullptr, LoadSound(hit.c_str()));
  EXPECT_EQ("LoadSound() Create failed\n", TakeLog());
}

TEST_F(FrontTest, AHitSoundReachesTheAudioOutput) {
  ASSERT_EQ(1, Init_Sound(window));
  SoundClip* clip = LoadSound(hit.c_str());
  ASSERT_NE(nullptr, clip);
  EXPECT_LT(Heard(50), 100) << "nothing sounds before the hit";
  PlaySoundOnce(clip);
  EXPECT_GT(Heard(100), 3000);
  headless::advance(400);
  EXPECT_LT(Heard(100), 100) << "played once, then silent";
  EXPECT_FALSE(clip->IsAnyPlaying());
  delete clip;
}

TEST_F(FrontTest, ASecondPlayGoesOnWhereTheSoundIsAndDrawsOneRandomNumber) {
  ASSERT_EQ(1, Init_Sound(window));
  SoundClip* clip = LoadSound(hit.c_str());
  ASSERT_NE(nullptr, clip);
  std::srand(3);
  const int r1 = std::rand(), r2 = std::rand();
  std::srand(3);
  PlaySoundOnce(clip);
  EXPECT_EQ(r1, std::rand()) << "a free buffer needs no draw";
  headless::advance(100);
  DWORD before = 0, after = 0;
  clip->BufferAt(0)->GetCurrentPosition(&before, nullptr);
  ASSERT_GT(before, 0u);
  std::srand(3);
  PlaySoundOnce(clip);
  EXPECT_EQ(r2, std::rand());
  clip->BufferAt(0)->GetCurrentPosition(&after, nullptr);
  EXPECT_GE(after, before) << "not restarted";
  EXPECT_LT(Heard(50), 8500) << "not layered";
  delete clip;
}

TEST_F(FrontTest, ALostBufferIsRefilledBeforeItPlays) {
  ASSERT_EQ(1, Init_Sound(window));
  SoundClip* clip = LoadSound(hit.c_str());
  ASSERT_NE(nullptr, clip);
  headless::fail("IDirectSoundBuffer::Lost");
  headless::fail("IDirectSoundBuffer::Restore", 2);
  PlaySoundOnce(clip);
  EXPECT_GT(Heard(100), 3000);
  delete clip;
}

TEST_F(FrontTest, LoopingSoundsGoOnUntilStopped) {
  ASSERT_EQ(1, Init_Sound(window));
  SoundClip* clip = LoadSound(hit.c_str());
  ASSERT_NE(nullptr, clip);
  PlaySoundLooping(clip);
  headless::advance(600);
  EXPECT_GT(Heard(100), 3000);
  StopSoundClip(clip);
  EXPECT_FALSE(clip->IsAnyPlaying());
  EXPECT_LT(Heard(100), 100);
  delete clip;
}

TEST_F(FrontTest, TheGamesThreeHitSoundsLoadAndAreHeard) {
  ASSERT_EQ(1, Init_Sound(window));
  TakeLog();
  for (const char* name : {"hit1.wav", "hit2.wav", "hit3.wav"}) {
    SoundClip* clip = LoadSound((std::string(QUARRELO_SOURCE_DIR) + "/assets/" + name).c_str());
    ASSERT_NE(nullptr, clip) << name;
    EXPECT_EQ("LoadSound() Successful\n", TakeLog());
    PlaySoundOnce(clip);
    EXPECT_GT(Heard(60), 1000) << name;
    delete clip;
  }
}
