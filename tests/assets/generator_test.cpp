// The asset generator: it writes every file the game loads, two runs write
// the same bytes, and those are the bytes committed in assets/ (a change to
// the generator must come with `make assets`).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "asset_pictures.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

class Generator : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"))
      GTEST_SKIP() << "the DejaVu fonts (fonts-dejavu-core) are not installed";
    char pattern[] = "/tmp/quarrelo-assets-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    if (!root_.empty()) fs::remove_all(root_);
  }
  // Runs the generator into a fresh folder under the test's own; its exit code.
  int Run(const std::string& folder) {
    const std::string command = std::string("'") + MAKE_ASSETS + "' '" + (root_ / folder).string() + "'";
    return std::system(command.c_str());
  }
  fs::path root_;
};

}  // namespace

TEST_F(Generator, WritesEveryAssetTheSameWayTwiceAndAsCommitted) {
  ASSERT_EQ(Run("first"), 0);
  ASSERT_EQ(Run("second"), 0);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(root_ / "first")) {
    ++files;
    const fs::path name = entry.path().filename();
    EXPECT_TRUE(std::find(kAssetNames.begin(), kAssetNames.end(), name.string()) != kAssetNames.end())
        << "unexpected file " << name;
    const std::string bytes = Slurp(entry.path());
    EXPECT_TRUE(bytes == Slurp(root_ / "second" / name)) << name << " differs between runs";
    EXPECT_TRUE(bytes == Slurp(AssetPath(name.string())))
        << "assets/" << name << " is stale: run make assets";
  }
  EXPECT_EQ(files, int(kAssetNames.size()));
}

TEST_F(Generator, RefusesAMissingArgumentAndAnUnwritableFolder) {
  EXPECT_NE(std::system((std::string("'") + MAKE_ASSETS + "' 2>/dev/null").c_str()), 0);
  std::ofstream(root_ / "file") << "x";
  EXPECT_NE(std::system(
                (std::string("'") + MAKE_ASSETS + "' '" + (root_ / "file" / "sub").string() + "' 2>/dev/null")
                    .c_str()),
            0);
}
