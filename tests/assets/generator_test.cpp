// The asset generator: it writes every file the game loads and the installed
// game's icons, two runs write the same bytes, and those are the bytes
// committed in assets/ and packaging/icons/ (a change to the generator must
// come with `make assets`).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "asset_pictures.h"
#include "files_and_tools.h"
#include "scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class Generator : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"))
      GTEST_SKIP() << "the DejaVu fonts (fonts-dejavu-core) are not installed";
  }
  // Runs the generator into fresh folders under the test's own, the assets
  // into `folder` and the icons into `folder`-icons; its exit code.
  int Run(const std::string& folder) {
    const std::string command = std::string("'") + MAKE_ASSETS + "' '" + (root_ / folder).string() + "' '" +
                                (root_ / (folder + "-icons")).string() + "'";
    return std::system(command.c_str());
  }
  const ScratchFolder scratch_{"quarrelo-assets"};
  const fs::path root_ = scratch_.path();
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
    const std::string bytes = read_file(entry.path());
    EXPECT_TRUE(bytes == read_file(root_ / "second" / name)) << name << " differs between runs";
    EXPECT_TRUE(bytes == read_file(AssetPath(name.string())))
        << "assets/" << name << " is stale: run make assets";
  }
  EXPECT_EQ(files, int(kAssetNames.size()));

  // The icons: PNG files of their own size each (width and height are the
  // big-endian words at bytes 16 and 20).
  const fs::path committed = fs::path(QUARRELO_SOURCE_DIR) / "packaging" / "icons";
  int icons = 0;
  for (const auto& entry : fs::directory_iterator(root_ / "first-icons")) {
    ++icons;
    const fs::path name = entry.path().filename();
    const std::string bytes = read_file(entry.path());
    int size = 0;
    ASSERT_EQ(std::sscanf(name.c_str(), "quarrelo-%d.png", &size), 1) << "unexpected file " << name;
    ASSERT_GT(bytes.size(), 24u) << name;
    auto word = [&](size_t at) {
      return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
             (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
    };
    EXPECT_EQ(bytes.substr(1, 3), "PNG") << name;
    EXPECT_EQ(word(16), uint32_t(size)) << name;
    EXPECT_EQ(word(20), uint32_t(size)) << name;
    EXPECT_TRUE(bytes == read_file(root_ / "second-icons" / name)) << name << " differs between runs";
    EXPECT_TRUE(bytes == read_file(committed / name))
        << "packaging/icons/" << name << " is stale: run make assets";
  }
  EXPECT_EQ(icons, 3);
  EXPECT_EQ(std::distance(fs::directory_iterator(committed), fs::directory_iterator()), 3)
      << "packaging/icons/ holds files the generator does not write";
}

TEST_F(Generator, RefusesAMissingArgumentAndAnUnwritableFolder) {
  EXPECT_NE(std::system((std::string("'") + MAKE_ASSETS + "' 2>/dev/null").c_str()), 0);
  std::ofstream(root_ / "file") << "x";
  EXPECT_NE(std::system(
                (std::string("'") + MAKE_ASSETS + "' '" + (root_ / "file" / "sub").string() + "' 2>/dev/null")
                    .c_str()),
            0);
}
