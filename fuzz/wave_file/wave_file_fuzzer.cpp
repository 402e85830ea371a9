// Opens arbitrary bytes as a wave file, once as a file on disk and once as an
// embedded "WAVE" block, and reads whatever sample data it declares, in
// pieces, twice (with a rewind between). Raw bytes are also read as a memory
// wave. Nothing may crash, leak or read out of bounds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/win32/resources.h"
#include "scratch_folder.h"
#include "sound/dsutil.h"

namespace {

std::string g_path;
const char* const kBlockName = "quarrelo-fuzz-block.wav";

void ReadWhole(WaveFile& w, DWORD piece) {
  std::vector<BYTE> buf(piece);
  for (int pass = 0; pass < 2; ++pass) {
    DWORD got = 0;
    // A declared size far beyond the bytes present fails once they run out.
    while (SUCCEEDED(w.Read(buf.data(), piece, &got)) && got > 0) {
    }
    w.ResetFile();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  headless::echo_debug_output(false);
  static const ScratchFolder folder("quarrelo-wave-fuzz");
  g_path = folder.file("input.wav");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte picks the piece size, so reads cross buffer refills at
  // every alignment.
  const DWORD piece = size > 0 ? 1 + data[0] * 97u : 4096u;

  if (FILE* f = std::fopen(g_path.c_str(), "wb")) {
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
    WaveFile w;
    if (SUCCEEDED(w.Open(g_path.c_str(), nullptr, WAVE_OPEN_READ))) ReadWhole(w, piece);
  }

  win32_resources::add("WAVE", kBlockName, std::vector<uint8_t>(data, data + size));
  {
    WaveFile w;
    if (SUCCEEDED(w.Open(kBlockName, nullptr, WAVE_OPEN_READ))) ReadWhole(w, piece);
  }

  {
    std::vector<BYTE> copy(data, data + size);
    WAVEFORMATEX fmt{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
    WaveFile w;
    w.OpenFromMemory(copy.data(), static_cast<DWORD>(copy.size()), &fmt, WAVE_OPEN_READ);
    ReadWhole(w, piece);
  }

  headless::clear_debug_output();
  return 0;
}
