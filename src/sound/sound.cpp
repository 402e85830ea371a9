#include "sound/sound.h"

#include <iostream>
#include <new>

SoundDevice* g_pSoundDevice = nullptr;

namespace {

void Log(const char* line) { std::cerr << line << std::flush; }

}  // namespace

int Init_Sound(HWND hwnd) {
  // The pointer is kept even when the set-up below fails.
  g_pSoundDevice = new (std::nothrow) SoundDevice();
  if (g_pSoundDevice == nullptr || g_pSoundDevice->Initialize(hwnd, DSSCL_PRIORITY) != DS_OK) {
    Log("DirectSound Initialize failed\n");
    return 0;
  }
  if (g_pSoundDevice->SetPrimaryBufferFormat(2, 22050, 16) != DS_OK) {
    Log("SetPrimaryBufferFormat Failed\n");
    return 0;
  }
  Log("DirectSound Initialized\n");
  return 1;
}

SoundClip* LoadSound(const char* filename) {
  SoundClip* wave = nullptr;
  const HRESULT result = g_pSoundDevice != nullptr ? g_pSoundDevice->Create(&wave, filename, 0, GUID_NULL, 1)
                                                   : CO_E_NOTINITIALIZED;
  if (result != DS_OK) {
    Log("LoadSound() Create failed\n");
    return nullptr;
  }
  Log("LoadSound() Successful\n");
  return wave;
}

void PlaySoundOnce(SoundClip* sound) { sound->Start(0, 0, 0, -1, 0); }

void PlaySoundLooping(SoundClip* sound) { sound->Start(0, DSBPLAY_LOOPING, 0, -1, 0); }

void StopSoundClip(SoundClip* sound) { sound->StopAll(); }
