// A large 16-bit stereo wave file in the temporary folder (made once per
// process, removed at exit) and two ways of reading its sample bytes from
// opening the file to the last byte: WaveFile::Read and plain fread.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scratch_folder.h"
#include "sound/dsutil.h"

namespace large_wave {

inline constexpr uint32_t kDataBytes = 32u << 20;  // 32 MiB of samples
inline constexpr long kDataOffset = 44;            // RIFF, fmt (16), data headers

inline const std::string& path() {
  static const ScratchFolder folder("quarrelo-wave-bench");
  static const std::string made = [] {
    std::string p = folder.file("large.wav");
    uint8_t header[kDataOffset] = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A', 'V',
                                   'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                                   2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1, 0x02, 0,   4,
                                   0,   16,  0,    'd',  'a', 't', 'a',  0,    0,    0,   0};
    auto put32 = [&header](int at, uint32_t v) {
      for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(4, 36 + kDataBytes);
    put32(40, kDataBytes);
    std::vector<uint8_t> samples(kDataBytes);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 31);
    FILE* f = std::fopen(p.c_str(), "wb");
    if (f != nullptr) {
      std::fwrite(header, 1, sizeof(header), f);
      std::fwrite(samples.data(), 1, samples.size(), f);
      std::fclose(f);
    }
    return p;
  }();
  return made;
}

// Reads every sample byte through WaveFile in pieces of `out.size()` bytes;
// the byte count read (kDataBytes when all went well).
inline uint32_t read_with_wave_file(std::vector<uint8_t>& out) {
  WaveFile w;
  if (FAILED(w.Open(path().c_str(), nullptr, WAVE_OPEN_READ))) return 0;
  DWORD got = 0;
  uint32_t total = 0;
  while (SUCCEEDED(w.Read(out.data(), static_cast<DWORD>(out.size()), &got)) && got > 0) total += got;
  return total;
}

// The same bytes with fopen, fseek and fread.
inline uint32_t read_with_fread(std::vector<uint8_t>& out) {
  FILE* f = std::fopen(path().c_str(), "rb");
  if (f == nullptr) return 0;
  std::fseek(f, kDataOffset, SEEK_SET);
  size_t got = 0, total = 0;
  while (total < kDataBytes &&
         (got = std::fread(out.data(), 1, std::min(out.size(), kDataBytes - total), f)) > 0)
    total += got;
  std::fclose(f);
  return static_cast<uint32_t>(total);
}

}  // namespace large_wave
