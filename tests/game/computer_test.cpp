// The computer opponent in whole runs of the game: it wins a bout against a
// player who stands still, steps out of an airplane's path, presses nothing
// on the menu, banners and help, and C on the menu switches the right player
// and its name plate. And the command line's options, good and bad.
#include <windows.h>

#include "capture_fd2.h"
#include "game/computer/opponent.h"
#include "scenario.h"
#include "shell/command_line.h"

namespace {

using namespace keys;

class Computer : public Scenario {};

// The right name plate's pixels in the last frame.
std::vector<uint32_t> RightPlate() {
  const headless::Image frame = headless::last_frame();
  std::vector<uint32_t> pixels;
  for (int y = 18; y < 18 + 64; y++)
    for (int x = 470; x < 470 + 160; x++) pixels.push_back(frame.pixels[size_t(y) * frame.width + x]);
  return pixels;
}

TEST_F(Computer, WinsABoutAgainstAPlayerStandingStillAndLeavesTheBannerToThePerson) {
  StartDuel(2);
  uint64_t scored = 0;
  EachFrame([&](uint64_t frame) {
    if (scored == 0 && gameState == STATE_RIGHT_SCORES) {
      scored = frame;
      QuitFrom(frame + 60);
    }
    // Nothing the person did moved the left kid; the computer presses no Enter.
    if (frame > 4 && scored == 0) {
      EXPECT_EQ(leftFighter.x, 50);
    }
    if (scored != 0 && frame > scored && frame < scored + 60) {
      EXPECT_EQ(gameState, STATE_RIGHT_SCORES);
    }
  });
  EXPECT_EQ(RunGame(3000, "--computer right --level 3"), 0);
  EXPECT_GT(scored, 0u) << "the computer scored no point in 3000 frames";
  EXPECT_EQ(rightScore, 1);
  EXPECT_EQ(leftScore, 0);
}

TEST_F(Computer, StepsOutOfAnAirplanesPath) {
  StartDuel(2);
  // The right kid faces the left kid on an open line, its own airplane still
  // in flight far off, so it would stand and wait; the left kid's airplane
  // comes along the line and, were the right kid to stay, would strike it
  // in about 36 frames.
  AtFrame(10, [] {
    rightFighter.x = 600;
    rightFighter.y = 100;
    rightFighter.heading = 0;
    leftFighter.x = 480;
    leftFighter.y = 100;
    leftFighter.heading = 4;
    leftPlane.x = 300;
    leftPlane.y = 100;
    leftPlane.heading = 4;
    leftPlane.visible = true;
    leftPlane.life = 1;
    rightPlane.x = 40;
    rightPlane.y = 540;
    rightPlane.heading = 6;
    rightPlane.visible = true;
    rightPlane.life = 1;
  });
  int lowest = 100, highest = 100;
  EachFrame([&](uint64_t frame) {
    if (frame <= 10 || frame > 70) return;
    lowest = std::min(lowest, rightFighter.y);
    highest = std::max(highest, rightFighter.y);
  });
  QuitFrom(72);
  EXPECT_EQ(RunGame(3000, "--computer right --level 3"), 0);
  EXPECT_EQ(leftScore, 0) << "the airplane struck the computer's kid";
  // Its hit box (24 to 40 pixels below its top) clear of the airplane's
  // 32-pixel row: 9 pixels down or 17 up.
  EXPECT_GE(highest - lowest, 9) << "the kid did not leave the airplane's row";
}

// With the computer on the left, the left player's keys (and so the first
// controller's) walk the person's kid on the right.
TEST_F(Computer, TheKeysOfItsSideWalkThePersonsKid) {
  StartDuel(2);
  int before = 0;
  AtFrame(5, [&] { before = rightFighter.x; });
  Hold(6, W);
  Let(16, W);
  AtFrame(17, [&] { EXPECT_EQ(rightFighter.x, before - 30); });
  QuitFrom(18);
  EXPECT_EQ(RunGame(3000, "--computer left --level 1"), 0);
}

TEST_F(Computer, PressesNothingOnTheMenuOrTheHelpScreen) {
  std::vector<int> seen;
  EachFrame([&](uint64_t) { seen.push_back(menuChoice); });
  Tap(100, DOWN);
  Tap(102, ENTER);  // help
  QuitFrom(250);
  EXPECT_EQ(RunGame(3000, "--computer right"), 0);
  ASSERT_EQ(states.size(), 253u);
  for (size_t frame = 0; frame < 250; frame++) {
    EXPECT_EQ(states[frame], frame < 102 ? STATE_MENU : STATE_HELP) << "frame " << frame;
    EXPECT_EQ(seen[frame], frame < 100 ? 1 : 2) << "frame " << frame;
  }
}

TEST_F(Computer, CSwitchesTheRightPlayerAndItsNamePlate) {
  std::vector<uint32_t> person, computer, personAgain;
  Tap(2, ENTER);
  AtFrame(6, [&] { person = RightPlate(); });
  Tap(8, ESC);
  Tap(10, C);
  AtFrame(11, [] { EXPECT_EQ(Computer_Side(), SIDE_RIGHT); });
  Tap(12, ENTER);
  AtFrame(16, [&] { computer = RightPlate(); });
  Tap(18, ESC);
  Tap(20, C, 3);  // held: one switch
  AtFrame(23, [] { EXPECT_EQ(Computer_Side(), NO_COMPUTER); });
  Tap(24, ENTER);
  AtFrame(28, [&] { personAgain = RightPlate(); });
  QuitFrom(30);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_NE(person, computer);
  EXPECT_EQ(person, personAgain);
  // The plate was loaded once, when the computer first played.
  EXPECT_EQ(Log(), StartupLog() + "LoadTexture() Successful\n" + ShutdownLog());
}

TEST_F(Computer, ABadOptionIsNamedAndNothingStarts) {
  int code = 0;
  const std::string said = CaptureFd2([&] { code = RunGame(3000, "--computer up"); });
  EXPECT_EQ(code, 2);
  EXPECT_EQ(said, "Quarrelo: --computer \"up\" is not a side: left or right\n");
  EXPECT_FALSE(LogExists());
  EXPECT_FALSE(headless::window_exists());
  EXPECT_TRUE(states.empty());
}

struct CommandLine {
  const char* line;
  int side, level;    // when good
  const char* error;  // when bad, without "Quarrelo: "
};

TEST(CommandLine, ReadsTheOptionsOrNamesTheWrongOne) {
  const CommandLine lines[] = {
      {"", NO_COMPUTER, 2, nullptr},
      {"--computer left", SIDE_LEFT, 2, nullptr},
      {"  --computer   right  ", SIDE_RIGHT, 2, nullptr},
      {"--level 3 --computer=right", SIDE_RIGHT, 3, nullptr},
      {"--computer=left --level=1", SIDE_LEFT, 1, nullptr},
      {"\"--computer\" \"right\"", SIDE_RIGHT, 2, nullptr},
      {"--level 1", NO_COMPUTER, 1, nullptr},
      {"--computre left", 0, 0,
       "unknown option \"--computre\"; the options are --computer left|right and --level 1|2|3"},
      {"left", 0, 0, "unknown option \"left\"; the options are --computer left|right and --level 1|2|3"},
      {"--help", 0, 0, "unknown option \"--help\"; the options are --computer left|right and --level 1|2|3"},
      {"--computer", 0, 0, "--computer needs a side: left or right"},
      {"--computer --level 2", 0, 0, "--computer needs a side: left or right"},
      {"--computer Left", 0, 0, "--computer \"Left\" is not a side: left or right"},
      {"--computer=", 0, 0, "--computer \"\" is not a side: left or right"},
      {"--computer right --level", 0, 0, "--level needs a level: 1, 2 or 3"},
      {"--computer right --level 4", 0, 0, "--level \"4\" is not a level: 1, 2 or 3"},
      {"--level 02", 0, 0, "--level \"02\" is not a level: 1, 2 or 3"},
      {"--computer left --computer right", 0, 0, "--computer is given twice"},
      {"--level=2 --level 2", 0, 0, "--level is given twice"},
  };
  for (const CommandLine& c : lines) {
    SCOPED_TRACE(c.line);
    Options options{};
    std::string error;
    const bool good = Read_Options(c.line, &options, &error);
    ASSERT_EQ(good, c.error == nullptr) << error;
    if (good) {
      EXPECT_EQ(options.computerSide, c.side);
      EXPECT_EQ(options.computerLevel, c.level);
    } else {
      EXPECT_EQ(error, std::string("Quarrelo: ") + c.error);
    }
  }
}

}  // namespace
