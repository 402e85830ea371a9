// A DirectSound device on the headless backend, buffers filled through
// Lock/Unlock, and the mixer rendered directly so every test is exact.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <dsound.h>

#include "pcm_format.h"
#include "platform/backend.h"
#include "platform/dsound/mixer.h"
#include "platform/win32/input_state.h"

namespace dsound_test {

inline HWND window() { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10)); }

inline DSBUFFERDESC description(WAVEFORMATEX* format, DWORD bytes, DWORD flags = 0) {
  DSBUFFERDESC d{};
  d.dwSize = sizeof d;
  d.dwFlags = flags;
  d.dwBufferBytes = bytes;
  d.lpwfxFormat = format;
  return d;
}

class DsoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Buffers without DSBCAPS_GLOBALFOCUS are heard only while the window
    // has the focus: the backend's window gets it.
    ASSERT_TRUE(backend::window_create(64, 64, "dsound"));
    backend::window_show();
    input_state::pump();
    ASSERT_EQ(DirectSoundCreate8(nullptr, &ds_, nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(window(), DSSCL_PRIORITY), DS_OK);
  }
  void TearDown() override {
    for (IUnknown* o : owned_) o->Release();
    if (ds_) ds_->Release();
  }

  // Sets the primary format: the mixer's output.
  void set_output(DWORD rate, WORD channels) {
    DSBUFFERDESC d{};
    d.dwSize = sizeof d;
    d.dwFlags = DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER primary = nullptr;
    ASSERT_EQ(ds_->CreateSoundBuffer(&d, &primary, nullptr), DS_OK);
    WAVEFORMATEX f = PcmFormat(channels, 16, rate);
    ASSERT_EQ(primary->SetFormat(&f), DS_OK);
    primary->Release();
    channels_ = channels;
  }

  // A secondary buffer holding `bytes`, released by TearDown.
  LPDIRECTSOUNDBUFFER make(WORD channels, WORD bits, DWORD rate, const std::vector<uint8_t>& bytes,
                           DWORD flags = 0) {
    WAVEFORMATEX f = PcmFormat(channels, bits, rate);
    return make_as(&f, bytes, flags);
  }
  // The same in any format (extra bytes after the record included).
  LPDIRECTSOUNDBUFFER make_as(const WAVEFORMATEX* format, const std::vector<uint8_t>& bytes,
                              DWORD flags = 0) {
    DSBUFFERDESC d = description(const_cast<WAVEFORMATEX*>(format), static_cast<DWORD>(bytes.size()), flags);
    LPDIRECTSOUNDBUFFER b = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
    if (!b) return nullptr;
    owned_.push_back(b);
    write(b, 0, bytes);
    return b;
  }
  LPDIRECTSOUNDBUFFER make16(WORD channels, DWORD rate, const std::vector<int16_t>& samples,
                             DWORD flags = 0) {
    std::vector<uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return make(channels, 16, rate, bytes, flags);
  }

  static void write(LPDIRECTSOUNDBUFFER b, DWORD offset, const std::vector<uint8_t>& bytes) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(offset, static_cast<DWORD>(bytes.size()), &p1, &n1, &p2, &n2, 0), DS_OK);
    std::memcpy(p1, bytes.data(), n1);
    if (p2) std::memcpy(p2, bytes.data() + n1, n2);
    ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
  }

  // `frames` frames of output, interleaved.
  std::vector<int16_t> render(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * channels_);
    dsound::Mixer::instance().render(out.data(), frames);
    return out;
  }

  static DWORD status(LPDIRECTSOUNDBUFFER b) {
    DWORD s = 0xDEAD;
    EXPECT_EQ(b->GetStatus(&s), DS_OK);
    return s;
  }
  static DWORD cursor(LPDIRECTSOUNDBUFFER b) {
    DWORD play = 0xDEAD;
    EXPECT_EQ(b->GetCurrentPosition(&play, nullptr), DS_OK);
    return play;
  }

  LPDIRECTSOUND8 ds_ = nullptr;
  int channels_ = 2;
  std::vector<IUnknown*> owned_;
};

}  // namespace dsound_test
