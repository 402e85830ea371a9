// What reaches the screen: the menu, the duel, every banner over the frozen
// duel, help and credits against the asset images composed by hand at their
// positions, pictures that did not load left out, no colour-key magenta on
// any screen, and a frame whose scene cannot begin.
#include "scenario.h"

#include "picture_file.h"

#include <filesystem>
#include <functional>
#include <set>
#include <string_view>

namespace {

using namespace keys;
const uint32_t MAGENTA = 0xFF00FF;

// An asset image as 0xAARRGGBB pixels.
Picture Load(const char* name) {
  const std::string path = std::string(QUARRELO_SOURCE_DIR) + "/assets/" + name;
  Picture picture = ReadPicture(path);
  if (picture.width == 0) ADD_FAILURE() << "cannot read " << path;
  return picture;
}

// The expected frame: -1 marks pixels not compared (partly transparent
// edges, whose blend rounding is the device's business).
struct Expected {
  std::vector<int64_t> pixels = std::vector<int64_t>(800 * 600, -1);

  void Fill(uint32_t rgb) { pixels.assign(800 * 600, rgb); }
  void Copy(const Picture& background) {
    ASSERT_EQ(background.width, 800);
    ASSERT_EQ(background.height, 600);
    for (int i = 0; i < 800 * 600; i++) pixels[i] = background.pixels[i] & 0xFFFFFF;
  }
  void Draw(const Picture& image, int x, int y, RECT source) {
    if (image.pixels.empty()) return;  // a picture the game has not got
    for (int sy = source.top; sy < source.bottom; sy++)
      for (int sx = source.left; sx < source.right; sx++) {
        int dx = x + sx - source.left, dy = y + sy - source.top;
        if (dx < 0 || dy < 0 || dx >= 800 || dy >= 600) continue;
        uint32_t pixel = image.at(sx, sy);
        uint32_t alpha = pixel >> 24;
        if ((pixel & 0xFFFFFF) == MAGENTA || alpha == 0) continue;
        pixels[dy * 800 + dx] = alpha == 255 ? (int64_t)(pixel & 0xFFFFFF) : -1;
      }
  }
  void Draw(const Picture& image, int x, int y) { Draw(image, x, y, RECT{0, 0, image.width, image.height}); }
};

// Number of compared pixels that differ, with the first one described.
int Mismatches(const Expected& expected, const headless::Image& frame, std::string* first) {
  int count = 0;
  for (int y = 0; y < 600; y++)
    for (int x = 0; x < 800; x++) {
      int64_t want = expected.pixels[y * 800 + x];
      uint32_t got = frame.pixels[y * 800 + x] & 0xFFFFFF;
      if (want < 0 || (uint32_t)want == got) continue;
      if (count++ == 0) {
        char text[96];
        snprintf(text, sizeof text, "at (%d, %d): want %06X, got %06X", x, y, (unsigned)want, got);
        *first = text;
      }
    }
  return count;
}

class Render : public Scenario {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
  }
};

TEST_F(Render, MenuFrameShowsTheMenuOverTheClassroomAndTheCursor) {
  headless::Image menu;
  AtFrame(2, [&] { menu = headless::last_frame(); });
  Tap(3, ESC);
  ASSERT_EQ(RunGame(), 0);
  ASSERT_EQ(menu.width, 800);
  ASSERT_EQ(menu.height, 600);

  Expected expected;
  expected.Copy(Load("ssfrontmenu.jpg"));
  expected.Draw(Load("airplanecursor.png"), 525, 173);
  std::string first;
  EXPECT_EQ(Mismatches(expected, menu, &first), 0) << first;
}

TEST_F(Render, DuelFrameShowsEverySpriteAtItsPlace) {
  headless::Image duel;
  StartDuel(0);
  Tap(3, F);  // the left airplane flies from (50, 300) to the right
  AtFrame(4, [&] { duel = headless::last_frame(); });
  QuitFrom(5);
  ASSERT_EQ(RunGame(), 0);
  ASSERT_EQ(duel.width, 800);

  Picture desk = Load("desk.bmp"), digits = Load("scores.bmp");
  Expected expected;
  expected.Copy(Load("classroom.bmp"));
  expected.Draw(Load("rightplayername.bmp"), 470, 18);
  expected.Draw(Load("leftplayername.bmp"), 130, 13);
  expected.Draw(digits, 660, 24, RECT{0, 0, 24, 60});
  expected.Draw(digits, 280, 24, RECT{0, 0, 24, 60});
  for (POINT at : {POINT{125, 300}, POINT{575, 300}, POINT{350, 200}, POINT{350, 425}})
    expected.Draw(desk, at.x, at.y, RECT{0, 0, 128, 64});
  expected.Draw(Load("KidRight.bmp"), 744, 300, RECT{0, 0, 56, 64});
  expected.Draw(Load("kidleft.bmp"), 50, 300, RECT{4 * 56, 0, 5 * 56, 64});
  expected.Draw(Load("airplane.bmp"), 50 + 2 * 8, 300, RECT{4 * 32, 0, 5 * 32, 32});
  std::string first;
  EXPECT_EQ(Mismatches(expected, duel, &first), 0) << first;
}

TEST_F(Render, NoColourKeyPixelReachesAnyScreen) {
  int magenta_frames = 0;
  EachFrame([&](uint64_t) {
    const headless::Image& frame = headless::last_frame();
    for (uint32_t pixel : frame.pixels)
      if ((pixel & 0xFFFFFF) == MAGENTA) {
        magenta_frames++;
        break;
      }
  });
  Tap(1, DOWN);
  Tap(3, ENTER);  // help
  Tap(5, ENTER);
  Tap(7, DOWN);
  Tap(9, ENTER);  // credits
  Tap(11, ESC);
  Tap(13, UP);
  Tap(15, UP);
  Tap(17, ENTER);  // the duel
  Hold(20, W);
  Hold(20, UP);
  Tap(22, F);
  Tap(22, RCTRL);
  Let(40, W);
  Let(40, UP);
  AtFrame(42, [] {
    rightScore = 4;
    AimAt(&leftPlane, rightFighter);
  });
  Tap(46, ENTER);  // point banner, then a new bout
  AtFrame(50, [] { AimAt(&rightPlane, leftFighter); });
  Tap(55, ESC);  // from the win banner
  Tap(57, ESC);
  ASSERT_EQ(RunGame(), 0);
  std::set<int> seen(states.begin(), states.end());
  EXPECT_EQ(seen, (std::set<int>{STATE_PLAY, STATE_MENU, STATE_LEFT_SCORES, STATE_NEW_BOUT, STATE_RIGHT_WINS,
                                 STATE_CREDITS, STATE_HELP}));
  EXPECT_EQ(magenta_frames, 0);
}

// Each screen's frame, with every picture or with one file missing from the
// game's folder: a picture the game could not load is simply not there.
enum class Screen { Duel, LeftScores, RightScores, LeftWins, RightWins, Help, Credits };

struct ScreenCase {
  const char* name;
  Screen screen;
  const char* missing;  // a file removed before the run, or null
};

void PrintTo(const ScreenCase& c, std::ostream* out) { *out << c.name; }

class RenderScreen : public Render, public ::testing::WithParamInterface<ScreenCase> {
 protected:
  // Schedules the way to the screen; gives the frame that shows it.
  uint64_t GoTo(Screen screen) {
    switch (screen) {
      case Screen::Help:
        Tap(1, DOWN);
        Tap(3, ENTER);
        return 5;
      case Screen::Credits:
        Tap(1, DOWN);
        Tap(3, DOWN);
        Tap(5, ENTER);
        return 7;
      default:
        break;
    }
    StartDuel(0);  // the duel from frame 2; the hit of a banner screen in frame 4
    AtFrame(3, [screen] {
      if (screen == Screen::LeftWins) leftScore = 4;
      if (screen == Screen::RightWins) rightScore = 4;
      if (screen == Screen::LeftScores || screen == Screen::LeftWins) AimAt(&leftPlane, rightFighter);
      if (screen == Screen::RightScores || screen == Screen::RightWins) AimAt(&rightPlane, leftFighter);
    });
    return screen == Screen::Duel ? 3 : 6;
  }

  Picture Asset(const char* name) const {
    const char* missing = GetParam().missing;
    return missing && std::string(missing) == name ? Picture{} : Load(name);
  }

  Expected ExpectedFrame(Screen screen) const {
    Expected expected;
    if (std::string("classroom.bmp") == (GetParam().missing ? GetParam().missing : ""))
      expected.Fill(0x0000FF);  // the frame's clear colour
    else
      expected.Copy(Asset("classroom.bmp"));
    if (screen == Screen::Help || screen == Screen::Credits) {
      const bool help = screen == Screen::Help;
      expected.Draw(Asset(help ? "helpmenu.jpg" : "credits.jpg"), 0, 0);
      expected.Draw(Asset("airplanecursor.png"), help ? 505 : 525, help ? 408 : 400);
      return expected;
    }
    // The duel, frozen where it stood when the airplane hit.
    const int left_score = screen == Screen::LeftScores ? 1 : screen == Screen::LeftWins ? 5 : 0;
    const int right_score = screen == Screen::RightScores ? 1 : screen == Screen::RightWins ? 5 : 0;
    const Picture digits = Asset("scores.bmp"), desk = Asset("desk.bmp");
    expected.Draw(Asset("rightplayername.bmp"), 470, 18);
    expected.Draw(Asset("leftplayername.bmp"), 130, 13);
    expected.Draw(digits, 660, 24, RECT{right_score * 24, 0, right_score * 24 + 24, 60});
    expected.Draw(digits, 280, 24, RECT{left_score * 24, 0, left_score * 24 + 24, 60});
    for (POINT at : {POINT{125, 300}, POINT{575, 300}, POINT{350, 200}, POINT{350, 425}})
      expected.Draw(desk, at.x, at.y, RECT{0, 0, 128, 64});
    expected.Draw(Asset("KidRight.bmp"), 744, 300, RECT{0, 0, 56, 64});
    expected.Draw(Asset("kidleft.bmp"), 50, 300, RECT{4 * 56, 0, 5 * 56, 64});
    switch (screen) {
      case Screen::LeftScores:
        expected.Draw(Asset("Leftplayerscores.bmp"), 285, 250);
        break;
      case Screen::RightScores:
        expected.Draw(Asset("Rightplayerscores.bmp"), 290, 250);
        break;
      case Screen::LeftWins:
        expected.Draw(Asset("LeftPlayerWins.bmp"), 285, 250);
        break;
      case Screen::RightWins:
        expected.Draw(Asset("RightPlayerWins.bmp"), 285, 250);
        break;
      default:
        break;
    }
    return expected;
  }
};

TEST_P(RenderScreen, ShowsItsPicturesAtTheirPlacesAndNothingElse) {
  const ScreenCase c = GetParam();
  if (c.missing) RemoveAsset(c.missing);
  const uint64_t at = GoTo(c.screen);
  headless::Image frame;
  AtFrame(at, [&] { frame = headless::last_frame(); });
  QuitFrom(at + 1);
  ASSERT_EQ(RunGame(), 0);
  ASSERT_EQ(frame.width, 800);
  ASSERT_EQ(frame.height, 600);
  std::string first;
  EXPECT_EQ(Mismatches(ExpectedFrame(c.screen), frame, &first), 0) << first;
}

INSTANTIATE_TEST_SUITE_P(
    Screens, RenderScreen,
    ::testing::Values(ScreenCase{"LeftScoreBanner", Screen::LeftScores, nullptr},
                      ScreenCase{"RightScoreBanner", Screen::RightScores, nullptr},
                      ScreenCase{"LeftWinBanner", Screen::LeftWins, nullptr},
                      ScreenCase{"RightWinBanner", Screen::RightWins, nullptr},
                      ScreenCase{"HelpWithTheCursorOnTop", Screen::Help, nullptr},
                      ScreenCase{"CreditsWithTheCursorOnTop", Screen::Credits, nullptr},
                      ScreenCase{"DuelWithoutClassroom", Screen::Duel, "classroom.bmp"},
                      ScreenCase{"DuelWithoutRightFighter", Screen::Duel, "KidRight.bmp"},
                      ScreenCase{"RightScoreWithoutBanner", Screen::RightScores, "Rightplayerscores.bmp"},
                      ScreenCase{"HelpWithoutHelpPicture", Screen::Help, "helpmenu.jpg"}),
    [](const ::testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

uint64_t Hash(const headless::Image& frame) {
  return std::hash<std::string_view>()(
      std::string_view((const char*)frame.pixels.data(), frame.pixels.size() * sizeof(uint32_t)));
}

TEST_F(Render, AFrameWhoseSceneCannotBeginShowsNothingNewButTheGameGoesOn) {
  std::vector<uint64_t> hashes;
  std::vector<DWORD> frame_end;
  EachFrame([&](uint64_t) {
    hashes.push_back(Hash(headless::last_frame()));
    frame_end.push_back(lastFrameTick);
  });
  headless::fail("IDirect3DDevice9::BeginScene", 1, 5);  // frame 5
  Tap(4, DOWN);                                          // the cursor moves in frame 5
  Tap(8, ESC);
  ASSERT_EQ(RunGame(), 0);
  ASSERT_EQ(hashes.size(), 9u);
  EXPECT_EQ(hashes[5], hashes[4]);
  EXPECT_NE(hashes[6], hashes[4]);
  EXPECT_EQ(hashes[7], hashes[6]);
  EXPECT_EQ(menuChoice, 2);
  EXPECT_GE(frame_end[6] - frame_end[5], 15u);
}

}  // namespace
