// Replays the seed corpus through the linked fuzz target's entry point, one
// test per file. The targets abort on any failed check of their own.
#include "corpus_replay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Not every target has one.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

const std::vector<CorpusFile>& CorpusFiles() {
  static const std::vector<CorpusFile> files = [] {
    std::vector<CorpusFile> out;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FUZZ_CORPUS_DIR, error)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      out.push_back(
          {entry.path().filename().string(),
           std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())});
    }
    std::sort(out.begin(), out.end(),
              [](const CorpusFile& a, const CorpusFile& b) { return a.name < b.name; });
    return out;
  }();
  return files;
}

namespace {

std::vector<std::string> CorpusNames() {
  std::vector<std::string> names;
  for (const CorpusFile& file : CorpusFiles()) names.push_back(file.name);
  return names;
}

class CorpusReplay : public testing::TestWithParam<std::string> {};

TEST_P(CorpusReplay, TargetTakesTheSeed) {
  const auto& files = CorpusFiles();
  const auto file =
      std::find_if(files.begin(), files.end(), [](const CorpusFile& f) { return f.name == GetParam(); });
  ASSERT_NE(file, files.end());
  if (LLVMFuzzerInitialize != nullptr) {
    int argc = 0;
    char** argv = nullptr;
    LLVMFuzzerInitialize(&argc, &argv);
  }
  // A copy of exactly the file's size, so a read past the end is one past
  // the allocation (the address sanitizer build sees it).
  const std::unique_ptr<uint8_t[]> copy(new uint8_t[file->bytes.size()]);
  std::copy(file->bytes.begin(), file->bytes.end(), copy.get());
  EXPECT_EQ(LLVMFuzzerTestOneInput(copy.get(), file->bytes.size()), 0);
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

// The suite's name comes from the build; these pass it through expanded.
#define INSTANTIATE_SEEDS(suite, ...) INSTANTIATE_TEST_SUITE_P(suite, __VA_ARGS__)
#define CORPUS_TEST(suite, name) TEST(suite, name)

INSTANTIATE_SEEDS(FUZZ_CORPUS_SUITE, CorpusReplay, testing::ValuesIn(CorpusNames()), TestName);

CORPUS_TEST(FUZZ_CORPUS_SUITE, IsThereAndSmall) {
  const auto& files = CorpusFiles();
  EXPECT_GE(files.size(), 5u) << FUZZ_CORPUS_DIR;
  for (const CorpusFile& file : files) EXPECT_LE(file.bytes.size(), 16u * 1024u) << file.name;
}

}  // namespace
