// The real game binary on an X server of its own (Xvfb), driven with xdotool:
// a duel is started, an airplane thrown, the menu reached and the game quit;
// a duel that another window takes the focus from and gives it back; the
// player's switch between full screen and a window. And the game where
// there is no display. Checks the exit code, the whole run log and what the
// screen showed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "whole_run_log.h"
#include "files_and_tools.h"
#include "scratch_folder.h"

namespace fs = std::filesystem;

namespace {

// RGB bytes of an image file, through ImageMagick.
std::vector<uint8_t> Rgb(const fs::path& image, const fs::path& scratch, int* width, int* height) {
  std::string size_cmd =
      "identify -format '%w %h' '" + image.string() + "' > '" + scratch.string() + ".size'";
  if (std::system(size_cmd.c_str()) != 0) return {};
  std::istringstream(read_file(scratch.string() + ".size")) >> *width >> *height;
  std::string cmd = "convert '" + image.string() + "' -depth 8 'rgb:" + scratch.string() + "'";
  if (std::system(cmd.c_str()) != 0) return {};
  std::string bytes = read_file(scratch);
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A folder of the run's own holding the game and its assets, removed after
// a run that passed (kept, and named, after one that failed).
class GameRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(QUARRELO_BINARY, folder / "Quarrelo");
    for (const auto& entry : fs::directory_iterator(fs::path(QUARRELO_SOURCE_DIR) / "assets"))
      fs::copy_file(entry.path(), folder / entry.path().filename());
  }
  void TearDown() override {
    if (!HasFailure()) return;
    scratch.keep();
    std::cout << "session folder kept: " << folder << "\n"
              << "the session's output:\n"
              << read_file(folder / "session.out");
  }
  ScratchFolder scratch{"quarrelo-e2e"};
  const fs::path folder = scratch.path();
};

// Runs tests/e2e/<script> (with `arguments`) in the folder under xvfb-run on
// a screen of `screen` (WxH); the script writes the game's exit code to
// exit_code.
class PlayUnderXvfb : public GameRun {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "xdotool", "import", "convert", "identify", "compare"})
      if (!on_path(tool))
        GTEST_SKIP() << tool << " is missing (scripts/setup installs it): end-to-end run skipped";
    GameRun::SetUp();
  }
  void RunSession(const char* script, const char* screen, const std::string& arguments = "") {
    const std::string cmd = "cd '" + folder.string() + "' && '" + QUARRELO_SOURCE_DIR +
                            "/tests/support/xvfb_run' " + screen + " bash '" + QUARRELO_SOURCE_DIR +
                            "/tests/e2e/" + script + "' " + arguments + " > session.out 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << read_file(folder / "session.out");
    EXPECT_EQ(read_file(folder / "exit_code"), "0\n") << read_file(folder / "session.out");
  }
};

TEST_F(PlayUnderXvfb, DuelThrowMenuQuit) {
  // An 800x600 screen: the full-screen picture is shown at its own size.
  RunSession("play_session.sh", "800x600");
  if (HasFatalFailure()) return;
  EXPECT_EQ(read_file(folder / "Log.txt"), WholeRunLog());

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
}

// A person alone starts the game against the computer from the command line
// and stands still: the computer plays the right kid, loads its name plate
// and wins the bout, and the right player's point banner shows.
TEST_F(PlayUnderXvfb, APersonAloneLosesABoutToTheComputer) {
  RunSession("computer_session.sh", "800x600");
  if (HasFatalFailure()) return;
  std::string log = WholeRunLog();
  log.insert(log.find("LoadSound() Successful"), "LoadTexture() Successful\n");
  EXPECT_EQ(read_file(folder / "Log.txt"), log);

  int shot_w = 0, shot_h = 0, banner_w = 0, banner_h = 0;
  const std::vector<uint8_t> shot = Rgb(folder / "banner.png", folder / "shot.rgb", &shot_w, &shot_h);
  const std::vector<uint8_t> banner =
      Rgb(folder / "Rightplayerscores.bmp", folder / "banner.rgb", &banner_w, &banner_h);
  ASSERT_EQ(shot_w, 800);
  ASSERT_EQ(banner_w, 280);
  // The banner's drawn pixels (not its magenta key) at its place, (290, 250).
  size_t drawn = 0, alike = 0;
  for (int y = 0; y < banner_h; y++)
    for (int x = 0; x < banner_w; x++) {
      const size_t b = (size_t(y) * banner_w + x) * 3, s = (size_t(250 + y) * 800 + 290 + x) * 3;
      if (banner[b] == 255 && banner[b + 1] == 0 && banner[b + 2] == 255) continue;
      drawn++;
      alike += banner[b] == shot[s] && banner[b + 1] == shot[s + 1] && banner[b + 2] == shot[s + 2];
    }
  EXPECT_GT(double(alike) / drawn, 0.99) << "the right player's point banner is not on the screen";
}

// An RGB screenshot of the 800x600 screen.
struct Shot {
  std::vector<uint8_t> rgb;
  int width = 0, height = 0;
  bool Same(const Shot& other, int x, int y) const {
    const size_t i = (size_t(y) * width + x) * 3;
    return rgb[i] == other.rgb[i] && rgb[i + 1] == other.rgb[i + 1] && rgb[i + 2] == other.rgb[i + 2];
  }
};

Shot Screenshot(const fs::path& folder, const char* name) {
  Shot shot;
  shot.rgb = Rgb(folder / (std::string(name) + ".png"), folder / (std::string(name) + ".rgb"), &shot.width,
                 &shot.height);
  return shot;
}

// The share of pixels inside (or, with `outside`, outside) the rectangle
// [0, w) x [0, h) that two screenshots have alike.
double ShareAlike(const Shot& a, const Shot& b, int w, int h, bool outside) {
  size_t alike = 0, all = 0;
  for (int y = 0; y < a.height; y++)
    for (int x = 0; x < a.width; x++) {
      if ((x < w && y < h) == outside) continue;
      all++;
      if (a.Same(b, x, y)) alike++;
    }
  return all ? double(alike) / all : 0;
}

// Another program's window (200x150 at the top-left corner) takes the focus
// in the middle of a duel: the full-screen device is lost, the game pauses
// and its window keeps its last picture, painting it again where the other
// window was; chosen again, the game resets the device, reloads its images
// and shows the duel.
TEST_F(PlayUnderXvfb, FocusTakenAwayAndGivenBackShowsTheDuelAgain) {
  RunSession("focus_session.sh", "800x600", std::string("'") + OTHER_WINDOW_BINARY + "'");
  if (HasFatalFailure()) return;
  const std::string whole = WholeRunLog();
  const size_t shutdown = whole.find("Direct3D Device Released");
  std::string loss = "Direct3D device lost\nLoadSurface() successful\nLoadSurface() successful\n";
  for (int i = 0; i < 19; i++) loss += "LoadTexture() Successful\n";
  loss += "Direct3D device reset\n";
  EXPECT_EQ(read_file(folder / "Log.txt"),
            whole.substr(0, shutdown) + loss + loss + loss + whole.substr(shutdown));

  const Shot before = Screenshot(folder, "before"), away = Screenshot(folder, "away");
  const Shot uncovered = Screenshot(folder, "uncovered"), after = Screenshot(folder, "after");
  const Shot after2 = Screenshot(folder, "after2"), after3 = Screenshot(folder, "after3");
  for (const Shot* shot : {&before, &away, &uncovered, &after, &after2, &after3}) {
    ASSERT_EQ(shot->width, 800);
    ASSERT_EQ(shot->height, 600);
  }
  const size_t middle = (75 * 800 + 100) * 3;
  EXPECT_EQ(away.rgb[middle], 128) << "the other window is there";
  // Paused: nothing moved while the other window had the focus, and where it
  // was the game's last picture is back.
  EXPECT_EQ(ShareAlike(away, uncovered, 200, 150, true), 1.0);
  EXPECT_GT(ShareAlike(before, uncovered, 200, 150, false), 0.9);
  // Chosen again, each time: the duel, its airplane flown on.
  EXPECT_GT(ShareAlike(before, after, 0, 0, true), 0.97);
  EXPECT_NE(before.rgb, after.rgb);
  EXPECT_GT(ShareAlike(before, after2, 0, 0, true), 0.97);
  EXPECT_GT(ShareAlike(before, after3, 0, 0, true), 0.97);
}

// The player switches the look on the title menu: Alt+Enter from full
// screen to a window the picture's size, F11 back, Alt+Enter again and the
// window resized. Full screen is the same picture before and after; the
// window shows it at its own size, and resized keeps its aspect with bars;
// neither the Enter of Alt+Enter nor anything else reached the game (the
// menu stayed, so one Esc ends it), and its device was never lost.
TEST_F(PlayUnderXvfb, AltEnterAndF11SwitchBetweenFullScreenAndAWindow) {
  RunSession("window_session.sh", "1280x720");
  if (HasFatalFailure()) return;
  EXPECT_EQ(read_file(folder / "Log.txt"), WholeRunLog());

  const Shot full = Screenshot(folder, "full"), window = Screenshot(folder, "window");
  const Shot full_again = Screenshot(folder, "full_again"), resized = Screenshot(folder, "resized");
  Shot menu;
  menu.rgb = Rgb(folder / "ssfrontmenu.jpg", folder / "menu.rgb", &menu.width, &menu.height);
  ASSERT_EQ(menu.width, 800);
  for (const Shot* shot : {&full, &window, &full_again, &resized}) {
    ASSERT_EQ(shot->width, 1280) << "the display mode is never changed";
    ASSERT_EQ(shot->height, 720);
  }
  // The menu's picture, less the cursor, at (left, top) of a screenshot
  // at its own size: the share of its pixels that match.
  auto menu_at = [&](const Shot& shot, int left, int top) {
    size_t alike = 0;
    for (int y = 0; y < 600; y++)
      for (int x = 0; x < 800; x++) {
        const size_t s = (size_t(top + y) * shot.width + left + x) * 3, m = (size_t(y) * 800 + x) * 3;
        if (std::abs(shot.rgb[s] - menu.rgb[m]) + std::abs(shot.rgb[s + 1] - menu.rgb[m + 1]) +
                std::abs(shot.rgb[s + 2] - menu.rgb[m + 2]) <=
            6)
          alike++;
      }
    return double(alike) / (800 * 600);
  };
  auto black = [](const Shot& shot, int x, int y) {
    const size_t i = (size_t(y) * shot.width + x) * 3;
    return shot.rgb[i] == 0 && shot.rgb[i + 1] == 0 && shot.rgb[i + 2] == 0;
  };

  // Full screen: 800x600 scaled to 960x720 between two bars of 160.
  EXPECT_TRUE(black(full, 80, 360) && black(full, 1200, 360)) << "bars";
  EXPECT_FALSE(black(full, 170, 360)) << "the picture's frame";
  EXPECT_TRUE(full.rgb == full_again.rgb) << "back to the same full-screen picture";
  // A window: the picture at its own size, in the middle of the screen.
  EXPECT_GT(menu_at(window, 240, 60), 0.9) << "the menu, unscaled, in the window";
  EXPECT_LT(menu_at(full, 240, 60), 0.5) << "full screen shows it scaled";
  // Resized to 1000x500 at the same place: 667x500 between bars of 166.
  int first = -1, last = -1;
  for (int x = 240; x < 1240; x++)
    if (!black(resized, x, 310)) {
      if (first < 0) first = x;
      last = x;
    }
  EXPECT_NEAR(first, 240 + 167, 2) << "left bar";
  EXPECT_NEAR(last, 240 + 833, 2) << "right bar";
}

// Where there is no display at all the game makes no window: it ends at
// once with exit code 0 and no run log, as when a window cannot be made,
// and the terminal gets one line saying why (nothing from SDL's video
// drivers, nothing blaming the mouse).
TEST_F(GameRun, WithoutADisplayNoWindowNoRunLogAndOneLine) {
  const std::string cmd = "cd '" + folder.string() +
                          "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 60 ./Quarrelo "
                          ">out.txt 2>err.txt; echo $? > exit_code";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(read_file(folder / "exit_code"), "0\n");
  EXPECT_FALSE(fs::exists(folder / "Log.txt"));
  EXPECT_EQ(read_file(folder / "err.txt"),
            "SDL: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): the game has nowhere to show its "
            "window\n");
  EXPECT_EQ(read_file(folder / "out.txt"), "");
}

}  // namespace
