// libFuzzer target: arbitrary bytes walked as RIFF chunks from a memory
// block and from a file. Any out-of-bounds access, overflow or hang is a
// failure (the sanitizers and libFuzzer's timeout catch them), and so is a
// difference between the two walks.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "chunk_walk.h"
#include "scratch_folder.h"

namespace {

const std::string& temp_path() {
  static const std::string path = [] {
    static const ScratchFolder folder("quarrelo-mmio-fuzz");
    return folder.file("input.riff");
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string memory = chunk_walk::walk_memory(data, size);
  const std::string file = chunk_walk::walk_file(data, size, temp_path().c_str());
  if (memory != file) {
    std::fprintf(stderr, "memory walk: %s\nfile walk:   %s\n", memory.c_str(), file.c_str());
    std::abort();
  }
  return 0;
}
