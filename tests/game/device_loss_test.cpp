// The full-screen device lost and the game coming back: the player switches
// away, the game pauses, and once the window is back the device is reset,
// the images are loaded again and play goes on where it was.
#include "scenario.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>

namespace fs = std::filesystem;

namespace {

using namespace keys;

// The picture last shown, as one number.
uint64_t ShownHash() {
  uint64_t hash = 1469598103934665603ull;
  for (uint32_t pixel : headless::last_frame().pixels) hash = (hash ^ pixel) * 1099511628211ull;
  return hash;
}

class DeviceLoss : public Scenario {
 protected:
  // A duel at 2 to 1 with the left airplane in flight from frame 2, up and
  // down between the walls clear of the desks; nobody moves. Its flight
  // count tells how far the game has got, pause or no pause: each frame
  // shown in the duel is recorded by it. Esc at frame 50 ends the duel.
  void ScriptDuel() {
    StartDuel(0);  // play from frame 2
    AtFrame(2, [] {
      leftScore = 2;
      rightScore = 1;
      leftPlane.visible = true;
      leftPlane.life = 1;
      leftPlane.heading = 2;  // up
      leftPlane.x = 300;
      leftPlane.y = 550;
    });
    EachFrame([this](uint64_t) {
      if (gameState == STATE_PLAY && leftPlane.visible) by_flight[leftPlane.life] = ShownHash();
      ticks.push_back(lastFrameTick);
    });
    QuitFrom(50);
  }

  // The frames of ScriptDuel without a loss, by flight count, from a run in
  // a process and folder of its own (the game's state is static).
  std::map<int, uint64_t> RunWithoutTheLoss() {
    int channel[2];
    if (pipe(channel) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
      close(channel[0]);
      {
        const ScratchFolder reference("quarrelo-reference");
        for (const auto& entry : fs::directory_iterator(folder))
          fs::copy_file(entry.path(), fs::path(reference.path()) / entry.path().filename());
        fs::current_path(reference.path());
        ScriptDuel();
        RunGame();
      }
      for (const auto& [life, hash] : by_flight) {
        const uint64_t pair[2] = {uint64_t(life), hash};
        if (write(channel[1], pair, sizeof pair) != sizeof pair) _exit(1);
      }
      _exit(0);
    }
    close(channel[1]);
    std::map<int, uint64_t> reference;
    uint64_t pair[2];
    while (read(channel[0], pair, sizeof pair) == sizeof pair) reference[int(pair[0])] = pair[1];
    close(channel[0]);
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run without the loss";
    return reference;
  }

  std::map<int, uint64_t> by_flight;
  std::vector<DWORD> ticks;  // lastFrameTick of each frame shown
};

TEST_F(DeviceLoss, DuelComesBackWhereItWasWhenTheWindowIsChosenAgain) {
  const std::map<int, uint64_t> reference = RunWithoutTheLoss();
  ASSERT_EQ(reference.size(), 49u);  // flight counts 1 to 49, frames 2 to 50

  ScriptDuel();
  // Frame 10 (flight count 9) is drawn but never shown; the game pauses.
  headless::focus_at(10, false);
  AtFrame(9, [] { FocusAtTicks(TicksIn(400), true); });
  EXPECT_EQ(RunGame(), 0);

  EXPECT_GE(ticks[10] - ticks[9], 400u) << "paused";
  EXPECT_EQ(by_flight.count(9), 0u);
  int compared = 0;
  for (int life = 10; life <= 49; life++) {
    ASSERT_EQ(by_flight.count(life), 1u) << life;
    EXPECT_EQ(by_flight[life], reference.at(life)) << "flight count " << life;
    compared++;
  }
  EXPECT_EQ(compared, 40);
  EXPECT_EQ(leftScore, 2);
  EXPECT_EQ(rightScore, 1);
  EXPECT_TRUE(leftPlane.visible) << "still in flight";
  EXPECT_EQ(Log(), StartupLog() + DeviceLossLog() + ShutdownLog());
}

// Every screen: brought up at `shown`, the focus lost at shown + 2 and back
// after a pause; the screen and its picture are as they were.
struct Screen {
  const char* name;
  std::function<void()> go;
  uint64_t shown;
  int state;
};

void PrintTo(const Screen& screen, std::ostream* out) { *out << screen.name; }

const Screen kScreens[] = {
    {"Menu", [] {}, 2, STATE_MENU},
    {"Help",
     [] {
       dik_tap(1, DOWN);
       dik_tap(3, ENTER);
     },
     5, STATE_HELP},
    {"Credits",
     [] {
       dik_tap(1, DOWN);
       dik_tap(3, DOWN);
       dik_tap(5, ENTER);
     },
     7, STATE_CREDITS},
    {"Duel", [] { dik_tap(1, ENTER); }, 5, STATE_PLAY},
    {"ScoreBanner", [] { dik_tap(1, ENTER); }, 6, STATE_LEFT_SCORES},
    {"WinBanner", [] { dik_tap(1, ENTER); }, 6, STATE_LEFT_WINS},
};

class LossOnScreen : public Scenario, public ::testing::WithParamInterface<Screen> {};

TEST_P(LossOnScreen, KeepsTheScreenAndItsPicture) {
  const Screen& screen = GetParam();
  screen.go();
  if (screen.state == STATE_LEFT_SCORES || screen.state == STATE_LEFT_WINS) {
    AtFrame(3, [won = screen.state == STATE_LEFT_WINS] {
      if (won) leftScore = 4;
      AimAt(&leftPlane, rightFighter);
    });
  }
  uint64_t before = 0;
  AtFrame(screen.shown + 1, [&] {
    before = ShownHash();
    FocusAtTicks(TicksIn(300), true);
  });
  headless::focus_at(screen.shown + 2, false);
  AtFrame(screen.shown + 2, [&] {
    EXPECT_EQ(gameState, screen.state);
    EXPECT_EQ(ShownHash(), before);
  });
  QuitFrom(screen.shown + 4);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + DeviceLossLog() + ShutdownLog());
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, LossOnScreen, ::testing::ValuesIn(kScreens),
                         [](const auto& info) { return std::string(info.param.name); });

// What can go wrong on the way back, on the menu: the focus is lost at
// frame 3 and comes back (when it does) 200 ms later.
enum class End { Esc, CloseRequest, DeviceFails };
struct Recovery {
  const char* name;
  std::function<void()> arrange;  // at frame 2
  bool focus_back;
  End end;          // Esc on the menu at frame 5, a close request 500 ms after the loss, or none
  std::string log;  // between the start-up and the shutdown
  int resets;       // Reset calls; -1: more than one
};

void PrintTo(const Recovery& recovery, std::ostream* out) { *out << recovery.name; }

const std::string kLostAndFailed = "Direct3D device lost\nDirect3D device Reset failed\n";

const Recovery kRecoveries[] = {
    {"ResetFailsThreeTimes", [] { headless::fail("IDirect3DDevice9::Reset", 3); }, true, End::Esc,
     kLostAndFailed + ImagesLog() + "Direct3D device reset\n", 4},
    // The reset itself succeeds but the back buffer or the sprite handler's
    // objects cannot be had: the whole reset again on the next frame.
    {"BackBufferNotHadAfterTheReset", [] { headless::fail("IDirect3DDevice9::GetBackBuffer"); }, true,
     End::Esc, kLostAndFailed + ImagesLog() + "Direct3D device reset\n", 2},
    {"SpriteObjectsNotMadeAfterTheReset", [] { headless::fail("ID3DXSprite::OnResetDevice"); }, true,
     End::Esc, kLostAndFailed + ImagesLog() + "Direct3D device reset\n", 2},
    // Another program takes the display while the sixth image is made.
    {"LostAgainWhileTheImagesLoad", [] { headless::fail("IDirect3DDevice9::Lost", 1, 5); }, true, End::Esc,
     "Direct3D device lost\n" + ImagesLog() + ImagesLog() + "Direct3D device reset\n", 2},
    {"CloseRequestInTheBackground", [] {}, false, End::CloseRequest, "Direct3D device lost\n", 0},
    {"CloseRequestWhileTheResetKeepsFailing", [] { headless::fail("IDirect3DDevice9::Reset", -1); }, true,
     End::CloseRequest, kLostAndFailed, -1},
    // A fault of the driver's: no way back, the game ends as from the menu.
    {"DriverFault", [] { headless::fail("IDirect3DDevice9::TestCooperativeLevel"); }, false, End::DeviceFails,
     "Direct3D device failed\n", 0},
};

class LossRecovery : public Scenario, public ::testing::WithParamInterface<Recovery> {};

TEST_P(LossRecovery, EndsAsItShouldAndLogsOnce) {
  const Recovery& recovery = GetParam();
  uint64_t before = 0;
  AtFrame(2, [&] {
    recovery.arrange();
    before = ShownHash();
    if (recovery.focus_back) FocusAtTicks(TicksIn(200), true);
    if (recovery.end == End::CloseRequest) CloseAtTicks(TicksIn(500));
  });
  headless::focus_at(3, false);
  if (recovery.end == End::Esc) {
    AtFrame(3, [&] { EXPECT_EQ(ShownHash(), before); });
    Tap(5, ESC);  // on the menu: the end
  }
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(headless::frame_count(), recovery.end == End::Esc ? 6u : 3u);
  EXPECT_EQ(Log(), StartupLog() + recovery.log + ShutdownLog());
  const int resets = headless::fault_checks("IDirect3DDevice9::Reset");
  if (recovery.resets < 0) {
    EXPECT_GT(resets, 1) << "tried again on later frames";
  } else {
    EXPECT_EQ(resets, recovery.resets);
  }
  EXPECT_EQ(headless::window_exists(), recovery.end != End::CloseRequest)
      << "a close request destroys the window";
}

// Switching away twice in a row: each time the device is reset with the
// parameters it was made with, although a Reset leaves the size of the back
// buffer in the structure it was given at zero.
TEST_F(DeviceLoss, ComesBackFromEveryLossInARow) {
  ScriptDuel();
  for (uint64_t frame : {10, 20, 30}) {
    headless::focus_at(frame, false);
    AtFrame(frame - 1, [] { FocusAtTicks(TicksIn(100), true); });
  }
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + DeviceLossLog() + DeviceLossLog() + DeviceLossLog() + ShutdownLog());
}

INSTANTIATE_TEST_SUITE_P(WaysBack, LossRecovery, ::testing::ValuesIn(kRecoveries),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
