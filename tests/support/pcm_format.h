// The format record of plain PCM sound, as the tests hand it to the sound
// device, its buffers and the wave file.
#pragma once

#include <windows.h>
#include <mmsystem.h>

// `channels` of `bits`-bit samples, `rate` frames a second.
inline WAVEFORMATEX PcmFormat(WORD channels, WORD bits, DWORD rate) {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = channels;
  f.wBitsPerSample = bits;
  f.nSamplesPerSec = rate;
  f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  f.nAvgBytesPerSec = rate * f.nBlockAlign;
  return f;
}
