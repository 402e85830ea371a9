// The mmio fuzz target's seed corpus, and deterministic mutations of it,
// walked from memory and from a file: both walks end and agree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "chunk_walk.h"
#include "mmio_test_files.h"

using namespace mmio_test;

namespace {

std::vector<std::pair<std::string, Bytes>> corpus() {
  std::vector<std::pair<std::string, Bytes>> out;
  const std::filesystem::path dir = std::filesystem::path(QUARRELO_SOURCE_DIR) / "fuzz/mmio_chunks/corpus";
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    out.emplace_back(entry.path().filename().string(),
                     Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  return out;
}

TEST(ChunkCorpus, SeedsWalkAlikeFromMemoryAndFile) {
  const auto seeds = corpus();
  ASSERT_GE(seeds.size(), 10u);
  TempFile file;
  bool found_wave_data = false;
  for (const auto& [name, bytes] : seeds) {
    const std::string memory = chunk_walk::walk_memory(bytes.data(), bytes.size());
    EXPECT_EQ(memory, chunk_walk::walk_file(bytes.data(), bytes.size(), file.path().c_str())) << name;
    if (name == "wave_pcm") found_wave_data = memory.find("f0 id61746164 sz14 ") != std::string::npos;
  }
  EXPECT_TRUE(found_wave_data);
}

TEST(ChunkCorpus, MutatedSeedsWalkAlikeFromMemoryAndFile) {
  TempFile file;
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (const auto& [name, original] : corpus()) {
    for (int round = 0; round < 40 && !original.empty(); ++round) {
      Bytes bytes = original;
      const size_t at = next() % bytes.size();
      switch (next() % 4) {
        case 0:
          bytes[at] ^= static_cast<uint8_t>(1u << (next() % 8));
          break;
        case 1:  // a hostile size field
          for (size_t i = at; i < std::min(at + 4, bytes.size()); ++i) bytes[i] = 0xFF;
          break;
        case 2:
          bytes.resize(at);
          break;
        default: {  // the seed again inside itself: nested nonsense
          Bytes nested(original.begin(), original.begin() + static_cast<long>(at));
          for (uint8_t b : original) nested.push_back(b);
          for (size_t i = at; i < original.size(); ++i) nested.push_back(original[i]);
          bytes.swap(nested);
          break;
        }
      }
      EXPECT_EQ(chunk_walk::walk_memory(bytes.data(), bytes.size()),
                chunk_walk::walk_file(bytes.data(), bytes.size(), file.path().c_str()))
          << name << " round " << round;
    }
  }
}

}  // namespace
