// Start-up and shutdown of whole runs: the run log line by line, each
// start-up failure, and the shutdown sequence guarded against a second run.
#include "scenario.h"

#include "game/game.h"

namespace {

class Startup : public Scenario {};

TEST_F(Startup, QuitFromTheMenuWritesTheCompleteRunLog) {
  Tap(3, 0x01);  // Esc on the menu
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
  EXPECT_EQ(headless::frame_count(), 4u);
  for (int state : states) EXPECT_EQ(state, STATE_MENU);
}

TEST_F(Startup, QuitEntryOfTheMenuEndsTheProgram) {
  Tap(0, 0xD0);  // Down x3 to the quit entry, then Enter
  Tap(2, 0xD0);
  Tap(4, 0xD0);
  Tap(6, 0x1C);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(menuChoice, 4);
  EXPECT_EQ(headless::frame_count(), 7u);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
}

TEST_F(Startup, ARunLogFromAnEarlierRunIsReplaced) {
  WriteFile("Log.txt", "an earlier run\nwith more lines than this one\n");
  Tap(0, 0x01);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
}

TEST_F(Startup, WindowFailureLeavesTheRunLogUntouched) {
  WriteFile("Log.txt", "kept\n");
  headless::fail("CreateWindowExA");
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), "kept\n");
  EXPECT_EQ(headless::frame_count(), 0u);

  // And no file appears where there was none.
  RemoveAsset("Log.txt");
  headless::fail("CreateWindowExA");
  EXPECT_EQ(RunGame(), 0);
  EXPECT_FALSE(LogExists());
}

// Each start-up step that fails writes its own line, then the shell's line,
// and the program ends with exit code 0 without running a frame.
struct StartupFailure {
  const char* name;
  const char* point;
  const char* lines;  // after the lines of the steps that succeeded
  int steps_before;   // 0 graphics, 1 sound, 2 input, 3 mouse, 4 keyboard
};

class StartupFails : public Scenario, public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFails, WithItsLinesAndExitCodeZero) {
  const StartupFailure& failure = GetParam();
  headless::fail(failure.point);
  EXPECT_EQ(RunGame(), 0);
  const char* step_lines[] = {"Sprite Handler Created\nDirect3D objects initialized\n",
                              "DirectSound Initialized\n", "DirectInput Initialized\n",
                              "Mouse Initialized\n"};
  std::string expected = "Log file created successfully!\n\n";
  for (int i = 0; i < failure.steps_before; i++) expected += step_lines[i];
  expected += failure.lines;
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(headless::frame_count(), 0u);
  EXPECT_EQ(gameState, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, StartupFails,
    ::testing::Values(
        StartupFailure{"Direct3DObject", "Direct3DCreate9",
                       "Error creating Direct3D object\nError Initializing Direct3D\n", 0},
        StartupFailure{"Direct3DDevice", "IDirect3D9::CreateDevice",
                       "Error creating Direct3D device\nError Initializing Direct3D\n", 0},
        StartupFailure{"SpriteHandler", "D3DXCreateSprite",
                       "Error Creating sprite handler\nError Initializing Direct3D\n", 0},
        StartupFailure{"Sound", "DirectSoundCreate8",
                       "DirectSound Initialize failed\nError Initializing DirectSound\n", 1},
        StartupFailure{"DirectInput", "DirectInput8Create",
                       "DirectInput8Create failed \nError Initializing DirectInput\n", 2},
        StartupFailure{"KeyboardDevice", "IDirectInput8A::CreateDevice.keyboard",
                       "DirectInput CreateDevice Keyboard failed\nError Initializing DirectInput\n", 2},
        StartupFailure{"MouseAcquire", "IDirectInputDevice8A::Acquire.mouse",
                       "Init_mouse Acquire failed\nError Initializing Mouse\n", 3},
        StartupFailure{"KeyboardLevel", "IDirectInputDevice8A::SetCooperativeLevel.keyboard",
                       "Init_Keyboard SetCooperativeLevel failed\nError Initializing Keyboard\n", 4}),
    [](const ::testing::TestParamInfo<StartupFailure>& info) { return std::string(info.param.name); });

TEST_F(Startup, MissingHitSoundFailsGameInitAfterLoadingEverythingElse) {
  RemoveAsset("hit2.wav");
  EXPECT_EQ(RunGame(), 0);
  std::string expected = StartupLog();
  expected.erase(expected.find("LoadSound() Successful\n"));
  expected += "LoadSound() Successful\nLoadSound() Create failed\nLoadSound() Successful\n";
  expected += "Error running Game_Init\n";
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(headless::frame_count(), 0u);
  EXPECT_EQ(gameState, 0);
  EXPECT_NE(helpScreen.tex, nullptr);  // loaded before the sounds
  EXPECT_NE(hitSound3, nullptr);
}

TEST_F(Startup, MissingImageIsLoggedAndTheGameRunsWithoutIt) {
  RemoveAsset("ssfrontmenu.jpg");
  RemoveAsset("airplanecursor.png");
  StartDuel(2);
  QuitFrom(6);
  EXPECT_EQ(RunGame(), 0);
  std::string expected = StartupLog();
  expected.replace(expected.find("LoadSurface() successful\nLoadSurface() successful\n"), 50,
                   "LoadSurface() successful\nD3DXGetImageInfoFromFile Failed\n");
  size_t last_texture = expected.rfind("LoadTexture() Successful\n");
  // The cursor is the 17th texture: two more follow it.
  size_t cursor = last_texture - 2 * 25;
  expected.replace(cursor, 25, "D3DXGetImageInfoFromFile failed\n");
  EXPECT_EQ(Log(), expected + ShutdownLog());
  EXPECT_EQ(menuSurface, nullptr);
  EXPECT_EQ(menuCursor.tex, nullptr);
}

TEST_F(Startup, ASecondDestroyReleasesNothingTwice) {
  // The game posts WM_DESTROY; the window manager's close request comes
  // before WM_QUIT is taken and destroys the window, a second WM_DESTROY.
  Tap(2, 0x01);
  headless::close_at(3);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
}

TEST_F(Startup, CloseButtonEndsTheRunThroughTheShutdownSequence) {
  headless::close_at(5);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
  EXPECT_EQ(headless::frame_count(), 5u);
}

TEST_F(Startup, WindowIsAShownPopUpOfTheGamesSize) {
  AtFrame(0, [] {
    EXPECT_TRUE(headless::window_exists());
    EXPECT_TRUE(headless::window_shown());
    EXPECT_EQ(headless::window_width(), 800);
    EXPECT_EQ(headless::window_height(), 600);
    EXPECT_EQ(headless::window_title(), "Quarrelo");
    EXPECT_TRUE(headless::mouse_captured());  // exclusive foreground mouse
  });
  Tap(1, 0x01);
  EXPECT_EQ(RunGame(), 0);
}

}  // namespace
