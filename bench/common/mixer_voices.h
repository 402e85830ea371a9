// One second of 44100 Hz stereo output mixed from four 16-bit mono voices at
// other rates, two ways: by the DirectSound mixer (resampling, gains,
// clipping) and by a plain loop of SDL_MixAudioFormat over the same voices
// already converted to the output format. Both work in blocks of 512 frames,
// as the audio thread does.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include <dsound.h>

#include "platform/dsound/mixer.h"

namespace mixer_voices {

inline constexpr int kOutRate = 44100;
inline constexpr int kBlock = 512;
inline constexpr DWORD kRates[4] = {11025, 22050, 32000, 48000};

inline std::vector<int16_t> tone(DWORD rate, int frames, double hz) {
  std::vector<int16_t> v(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i)
    v[static_cast<size_t>(i)] = static_cast<int16_t>(12000 * std::sin(6.283185 * hz * i / rate));
  return v;
}

// Four looping voices playing on a DirectSound device. `ready` is false when
// the device could not be made.
class DeviceVoices {
 public:
  DeviceVoices() {
    if (DirectSoundCreate8(nullptr, &ds_, nullptr) != DS_OK) return;
    ds_->SetCooperativeLevel(reinterpret_cast<HWND>(static_cast<uintptr_t>(1)), DSSCL_PRIORITY);
    DSBUFFERDESC pd{};
    pd.dwSize = sizeof pd;
    pd.dwFlags = DSBCAPS_PRIMARYBUFFER;
    LPDIRECTSOUNDBUFFER primary = nullptr;
    if (ds_->CreateSoundBuffer(&pd, &primary, nullptr) != DS_OK) return;
    WAVEFORMATEX out{WAVE_FORMAT_PCM, 2, kOutRate, kOutRate * 4, 4, 16, 0};
    primary->SetFormat(&out);
    primary->Release();

    for (DWORD rate : kRates) {
      const std::vector<int16_t> samples = tone(rate, static_cast<int>(rate), 220.0 + rate / 100.0);
      WAVEFORMATEX f{WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
      DSBUFFERDESC d{};
      d.dwSize = sizeof d;
      d.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN;
      d.dwBufferBytes = rate * 2;
      d.lpwfxFormat = &f;
      LPDIRECTSOUNDBUFFER b = nullptr;
      if (ds_->CreateSoundBuffer(&d, &b, nullptr) != DS_OK) return;
      void* p = nullptr;
      DWORD n = 0;
      b->Lock(0, d.dwBufferBytes, &p, &n, nullptr, nullptr, 0);
      std::memcpy(p, samples.data(), n);
      b->Unlock(p, n, nullptr, 0);
      b->SetVolume(-300);
      b->SetPan(static_cast<LONG>(voices_.size()) * 500 - 750);
      b->Play(0, 0, DSBPLAY_LOOPING);
      voices_.push_back(b);
    }
    ready_ = true;
  }
  ~DeviceVoices() {
    for (LPDIRECTSOUNDBUFFER b : voices_) b->Release();
    if (ds_) ds_->Release();
  }
  DeviceVoices(const DeviceVoices&) = delete;
  DeviceVoices& operator=(const DeviceVoices&) = delete;

  bool ready() const { return ready_; }

  // Mixes one second; the last block's first sample.
  int16_t mix_one_second() {
    for (int done = 0; done < kOutRate; done += kBlock) {
      dsound::Mixer::instance().render(block_.data(), std::min(kBlock, kOutRate - done));
    }
    return block_[0];
  }

 private:
  bool ready_ = false;
  LPDIRECTSOUND8 ds_ = nullptr;
  std::vector<LPDIRECTSOUNDBUFFER> voices_;
  std::vector<int16_t> block_ = std::vector<int16_t>(kBlock * 2);
};

// The same voices, already at the output rate and in stereo, mixed with
// SDL_MixAudioFormat.
class SdlVoices {
 public:
  SdlVoices() {
    for (DWORD rate : kRates) {
      const std::vector<int16_t> mono = tone(kOutRate, kOutRate, 220.0 + rate / 100.0);
      std::vector<int16_t> stereo(mono.size() * 2);
      for (size_t i = 0; i < mono.size(); ++i) stereo[2 * i] = stereo[2 * i + 1] = mono[i];
      voices_.push_back(std::move(stereo));
    }
  }

  int16_t mix_one_second() {
    for (int done = 0; done < kOutRate; done += kBlock) {
      const int frames = std::min(kBlock, kOutRate - done);
      std::memset(block_.data(), 0, block_.size() * sizeof(int16_t));
      for (const auto& v : voices_)
        SDL_MixAudioFormat(reinterpret_cast<Uint8*>(block_.data()),
                           reinterpret_cast<const Uint8*>(v.data() + 2 * done), AUDIO_S16SYS,
                           static_cast<Uint32>(frames * 4), 96);
    }
    return block_[0];
  }

 private:
  std::vector<std::vector<int16_t>> voices_;
  std::vector<int16_t> block_ = std::vector<int16_t>(kBlock * 2);
};

}  // namespace mixer_voices
