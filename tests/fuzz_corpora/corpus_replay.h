// The seed corpus of the fuzz target linked into this test executable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CorpusFile {
  std::string name;
  std::vector<uint8_t> bytes;
};

// Every file of the target's corpus folder, sorted by name.
const std::vector<CorpusFile>& CorpusFiles();
