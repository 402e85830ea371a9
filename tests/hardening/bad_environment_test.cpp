// The game in a bad environment: a run log that cannot be written, or that
// stops taking lines in the middle of a run, no audio device, the window
// losing the foreground (and so the full-screen device) in the middle of a
// duel, and the window manager closing the window on every screen, also
// while the game's own WM_DESTROY is still waiting in the queue.
#include "scenario.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace {

using namespace keys;

class Environment : public Scenario {
 protected:
  // Menu, a duel in which the left player scores, the next bout, back to
  // the menu and quit: 15 frames.
  void ScriptShortGame() {
    StartDuel(2);                                         // play from frame 4
    AtFrame(6, [] { AimAt(&leftPlane, rightFighter); });  // banner at 7
    Tap(9, ENTER);                                        // play again at 10
    QuitFrom(12);
  }
  void ExpectShortGamePlayed() {
    EXPECT_EQ(headless::frame_count(), 15u);
    EXPECT_EQ(leftScore, 1);
    ASSERT_GE(states.size(), 15u);
    EXPECT_EQ(states[7], STATE_LEFT_SCORES);
    EXPECT_EQ(states[10], STATE_PLAY);
    EXPECT_EQ(states[13], STATE_MENU);
  }
};

TEST_F(Environment, RunLogThatCannotBeCreatedIsLostAndTheGameRuns) {
  // A folder in the log's place: the file cannot be created, whoever runs.
  fs::create_directory(fs::path(folder) / "Log.txt");
  ScriptShortGame();
  EXPECT_EQ(RunGame(), 0);
  ExpectShortGamePlayed();
  EXPECT_TRUE(fs::is_directory(fs::path(folder) / "Log.txt"));
  EXPECT_TRUE(fs::is_empty(fs::path(folder) / "Log.txt"));
  // The standard error stream is usable again after the run.
  EXPECT_TRUE(std::cerr.good());
}

TEST_F(Environment, ReadOnlyWorkingFolderGivesNoLogAndTheGameRuns) {
  if (geteuid() == 0)
    GTEST_SKIP() << "running as root, which writes into a read-only folder all the same; "
                    "RunLogThatCannotBeCreatedIsLostAndTheGameRuns covers the lost log";
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  ScriptShortGame();
  const int code = RunGame();
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(code, 0);
  ExpectShortGamePlayed();
  EXPECT_FALSE(LogExists());
}

TEST_F(Environment, RunLogThatStopsTakingLinesStaysSilentAndTheGameRuns) {
  // From frame 5 every write to the log's file fails (a full disk); a state
  // the frame does not know makes each following frame write a line. From
  // frame 7 the file takes lines again, but the log has gone silent for the
  // rest of the run: only the line whose write failed, which the stream
  // still holds in its buffer, reaches the file when it is closed.
  std::vector<int> log;
  int saved = -1;
  AtFrame(5, [&] {
    log = LogDescriptors();
    ASSERT_EQ(log.size(), 1u);
    saved = dup(log[0]);
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    ASSERT_GE(dup2(full, log[0]), 0);
    close(full);
    gameState = 0;
  });
  AtFrame(7, [&] {
    ASSERT_GE(dup2(saved, log[0]), 0);
    close(saved);
  });
  QuitFrom(8);  // Esc sets the menu, Esc there quits
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(headless::frame_count(), 11u);
  EXPECT_EQ(Log(), StartupLog() + "Problem with Game State Switch\n");
  EXPECT_TRUE(LogDescriptors().empty());
}

TEST_F(Environment, RunLogOnAFullDeviceIsLostAndTheGameRuns) {
  fs::create_symlink("/dev/full", fs::path(folder) / "Log.txt");
  ScriptShortGame();
  EXPECT_EQ(RunGame(), 0);
  ExpectShortGamePlayed();
  EXPECT_EQ(fs::read_symlink(fs::path(folder) / "Log.txt"), "/dev/full");
}

TEST_F(Environment, NoAudioDeviceFallsBackToSilenceAndTheGameRuns) {
  headless::fail("backend::audio_open", -1);
  ScriptShortGame();
  bool silent = false;
  AtFrame(8, [&] { silent = headless::audio_open() && headless::audio_silent(); });
  EXPECT_EQ(RunGame(), 0);
  ExpectShortGamePlayed();
  EXPECT_GT(headless::fault_checks("backend::audio_open"), 0);
  EXPECT_TRUE(silent);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
}

TEST_F(Environment, FocusLostInADuelIgnoresKeysUntilItComesBack) {
  std::vector<int> left_x;
  std::vector<bool> left_plane;
  EachFrame([&](uint64_t) {
    left_x.push_back(leftFighter.x);
    left_plane.push_back(leftPlane.visible);
  });
  StartDuel(0);  // play from frame 2
  Hold(3, W);    // the left fighter walks right
  // The full-screen device is lost with the focus: frame 8 is never shown
  // and the game pauses, counting no frames, until the focus is back.
  headless::focus_at(8, false);
  AtFrame(7, [] {
    KeyAtTicks(TicksIn(50), F, true);  // in the background: no throw
    KeyAtTicks(TicksIn(70), F, false);
    KeyAtTicks(TicksIn(90), W, false);  // let go in the background
    KeyAtTicks(TicksIn(110), D, true);  // in the background: no turn
    KeyAtTicks(TicksIn(130), D, false);
    FocusAtTicks(TicksIn(300), true);
  });
  Hold(12, W);
  Tap(12, F);
  Tap(14, D);
  Let(17, W);
  QuitFrom(21);
  EXPECT_EQ(RunGame(), 0);
  ASSERT_EQ(left_x.size(), 24u);
  for (int frame = 4; frame <= 7; frame++) EXPECT_EQ(left_x[frame], left_x[frame - 1] + 3) << frame;
  for (int frame = 8; frame <= 11; frame++) {
    EXPECT_EQ(left_x[frame], left_x[7]) << frame;
    EXPECT_FALSE(left_plane[frame]) << frame;
  }
  EXPECT_GT(left_x[13], left_x[11]);
  EXPECT_TRUE(left_plane[12]);
  EXPECT_EQ(leftFighter.heading, 5);  // one turn, after the focus came back
  EXPECT_EQ(Log(), StartupLog() + DeviceLossLog() + ShutdownLog());
}

enum class Screen { Menu, Help, Credits, Duel, ScoreBanner, WinBanner };

struct Closing {
  const char* name;
  Screen screen;
  bool destroy_pending;
};

void PrintTo(const Closing& closing, std::ostream* out) { *out << closing.name; }

class CloseRequest : public Scenario, public ::testing::WithParamInterface<Closing> {
 protected:
  // Brings the game to `screen`: the frame by which it shows, and its
  // gameState.
  std::pair<uint64_t, int> GoTo(Screen screen) {
    switch (screen) {
      case Screen::Menu:
        return {2, STATE_MENU};
      case Screen::Help:
        Tap(1, DOWN);
        Tap(3, ENTER);
        return {5, STATE_HELP};
      case Screen::Credits:
        Tap(1, DOWN);
        Tap(3, DOWN);
        Tap(5, ENTER);
        return {7, STATE_CREDITS};
      case Screen::Duel:
        StartDuel(1);
        return {5, STATE_PLAY};
      case Screen::ScoreBanner:
        StartDuel(1);
        AtFrame(3, [] { AimAt(&leftPlane, rightFighter); });
        return {6, STATE_LEFT_SCORES};
      case Screen::WinBanner:
        StartDuel(1);
        AtFrame(3, [] {
          leftScore = 4;
          AimAt(&leftPlane, rightFighter);
        });
        return {6, STATE_LEFT_WINS};
    }
    return {0, 0};
  }
};

TEST_P(CloseRequest, EndsWithTheWholeShutdownOnce) {
  const Closing closing = GetParam();
  const auto [at, state] = GoTo(closing.screen);
  AtFrame(at, [&, state = state] {
    EXPECT_EQ(gameState, state);
    if (closing.destroy_pending) {
      // What the game's quit does: a WM_DESTROY posted to its window, with
      // the close request coming in behind it.
      ASSERT_TRUE(PostMessageA(GetForegroundWindow(), WM_DESTROY, 0, 0));
      headless::request_close();
    }
  });
  if (!closing.destroy_pending) headless::close_at(at + 1);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(headless::frame_count(), at + 1);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
  EXPECT_FALSE(headless::window_exists());
}

INSTANTIATE_TEST_SUITE_P(
    EveryScreen, CloseRequest,
    ::testing::Values(Closing{"Menu", Screen::Menu, false}, Closing{"Help", Screen::Help, false},
                      Closing{"Credits", Screen::Credits, false}, Closing{"Duel", Screen::Duel, false},
                      Closing{"ScoreBanner", Screen::ScoreBanner, false},
                      Closing{"WinBanner", Screen::WinBanner, false},
                      Closing{"MenuDestroyPending", Screen::Menu, true},
                      Closing{"HelpDestroyPending", Screen::Help, true},
                      Closing{"CreditsDestroyPending", Screen::Credits, true},
                      Closing{"DuelDestroyPending", Screen::Duel, true},
                      Closing{"ScoreBannerDestroyPending", Screen::ScoreBanner, true},
                      Closing{"WinBannerDestroyPending", Screen::WinBanner, true}),
    [](const ::testing::TestParamInfo<Closing>& info) { return std::string(info.param.name); });

}  // namespace
