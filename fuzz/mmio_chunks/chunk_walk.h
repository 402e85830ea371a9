// Walks every RIFF chunk of a byte string through the mmio calls (plain
// descend, the three searches, body reads through mmioRead and through the
// handle's buffer, ascend) and records what each call gave. The same bytes
// walked from a file and from a memory block must give the same record.
// Shared by the fuzz target and the test that replays its seed corpus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace chunk_walk {

// The record of a walk over `size` bytes opened as a memory file.
std::string walk_memory(const uint8_t* data, size_t size);
// The same bytes written to the file at `path` (replaced), then opened as a
// file with a small buffer so the window moves often.
std::string walk_file(const uint8_t* data, size_t size, const char* path);

}  // namespace chunk_walk
