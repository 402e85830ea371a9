// The real game binary on an X server of its own (Xvfb), driven with xdotool:
// a duel is started, an airplane thrown, the menu reached and the game quit.
// Checks the exit code, the whole run log and that the screen showed the
// classroom.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool OnPath(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// RGB bytes of an image file, through ImageMagick.
std::vector<uint8_t> Rgb(const fs::path& image, const fs::path& scratch, int* width, int* height) {
  std::string size_cmd =
      "identify -format '%w %h' '" + image.string() + "' > '" + scratch.string() + ".size'";
  if (std::system(size_cmd.c_str()) != 0) return {};
  std::istringstream(ReadAll(scratch.string() + ".size")) >> *width >> *height;
  std::string cmd = "convert '" + image.string() + "' -depth 8 'rgb:" + scratch.string() + "'";
  if (std::system(cmd.c_str()) != 0) return {};
  std::string bytes = ReadAll(scratch);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::string ExpectedLog() {
  std::string log =
      "Log file created successfully!\n\nSprite Handler Created\nDirect3D objects initialized\n"
      "DirectSound Initialized\nDirectInput Initialized\nMouse Initialized\nKeyboard Initialized\n"
      "LoadSurface() successful\nLoadSurface() successful\n";
  for (int i = 0; i < 19; i++) log += "LoadTexture() Successful\n";
  for (int i = 0; i < 3; i++) log += "LoadSound() Successful\n";
  log +=
      "Game Specific Objects Initialized\n"
      "Direct3D Device Released\nDirect3D Object Released\nSprite Handler Released\n"
      "Keyboard objects released\nMouse Object Released\nDirectInput Object Released\n"
      "Surfaces Released\nTextures Released\nSounds Deleted\n\nGame shut down!\n";
  return log;
}

TEST(PlayUnderXvfb, DuelThrowMenuQuit) {
  for (const char* tool : {"xvfb-run", "xdotool", "import", "convert", "identify"})
    if (!OnPath(tool))
      GTEST_SKIP() << tool << " is missing (scripts/setup installs it): end-to-end run skipped";

  char pattern[] = "/tmp/quarrelo-e2e-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  fs::path folder = pattern;
  fs::copy_file(QUARRELO_BINARY, folder / "Quarrelo");
  for (const auto& entry : fs::directory_iterator(fs::path(QUARRELO_SOURCE_DIR) / "assets"))
    fs::copy_file(entry.path(), folder / entry.path().filename());

  // An 800x600 screen: the full-screen picture is shown at its own size.
  std::string cmd = "cd '" + folder.string() + "' && xvfb-run -a -s '-screen 0 800x600x24' bash '" +
                    std::string(QUARRELO_SOURCE_DIR) + "/tests/e2e/play_session.sh' > session.out 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << ReadAll(folder / "session.out");

  EXPECT_EQ(ReadAll(folder / "exit_code"), "0\n") << ReadAll(folder / "session.out");
  EXPECT_EQ(ReadAll(folder / "Log.txt"), ExpectedLog());

  int shot_w = 0, shot_h = 0, room_w = 0, room_h = 0;
  std::vector<uint8_t> shot = Rgb(folder / "shot.png", folder / "shot.rgb", &shot_w, &shot_h);
  std::vector<uint8_t> room = Rgb(folder / "classroom.bmp", folder / "room.rgb", &room_w, &room_h);
  ASSERT_EQ(shot_w, 800);
  ASSERT_EQ(shot_h, 600);
  ASSERT_EQ(room_w, 800);
  ASSERT_EQ(room_h, 600);
  ASSERT_EQ(shot.size(), room.size());
  // Most of the screen is the classroom; sprites cover the rest.
  size_t same = 0;
  for (size_t i = 0; i < shot.size(); i += 3) {
    int diff = std::abs(shot[i] - room[i]) + std::abs(shot[i + 1] - room[i + 1]) +
               std::abs(shot[i + 2] - room[i + 2]);
    if (diff <= 6) same++;
  }
  double share = double(same) / (shot.size() / 3);
  EXPECT_GT(share, 0.75) << "share of screen pixels that match the classroom";

  if (!HasFailure())
    fs::remove_all(folder);
  else
    std::cout << "session folder kept: " << folder << "\n";
}

}  // namespace
