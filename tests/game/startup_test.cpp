// Start-up, the main loop and shutdown of whole runs: the run log line by
// line, each start-up failure, what the device and the input devices are
// asked for, messages against frames and the exit code, and the shutdown
// sequence guarded against a second run.
#include "scenario.h"

#include "game/game.h"
#include "input/input.h"
#include "platform/d3d9/test_queries.h"
#include "platform/dinput/test_queries.h"
#include "platform/win32/test_queries.h"
#include "platform/win32/windows_internal.h"

namespace {

using namespace keys;

class Startup : public Scenario {};

TEST_F(Startup, QuitFromTheMenuWritesTheCompleteRunLog) {
  Tap(3, ESC);  // Esc on the menu
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
  EXPECT_EQ(headless::frame_count(), 4u);
  for (int state : states) EXPECT_EQ(state, STATE_MENU);
}

TEST_F(Startup, QuitEntryOfTheMenuEndsTheProgram) {
  Tap(0, DOWN);  // Down x3 to the quit entry, then Enter
  Tap(2, DOWN);
  Tap(4, DOWN);
  Tap(6, ENTER);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(menuChoice, 4);
  EXPECT_EQ(headless::frame_count(), 7u);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
}

TEST_F(Startup, ARunLogFromAnEarlierRunIsReplaced) {
  WriteFile("Log.txt", "an earlier run\nwith more lines than this one\n");
  Tap(0, ESC);
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

void PrintTo(const StartupFailure& failure, std::ostream* out) { *out << failure.name; }

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
  EXPECT_TRUE(LogDescriptors().empty()) << "the run log is closed";
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
        StartupFailure{"MouseDevice", "IDirectInput8A::CreateDevice.mouse",
                       "DirectInput CreateDevice Mouse failed\nError Initializing DirectInput\n", 2},
        StartupFailure{"KeyboardDevice", "IDirectInput8A::CreateDevice.keyboard",
                       "DirectInput CreateDevice Keyboard failed\nError Initializing DirectInput\n", 2},
        StartupFailure{"MouseFormat", "IDirectInputDevice8A::SetDataFormat.mouse",
                       "Init_mouse SetDataFormat failed\nError Initializing Mouse\n", 3},
        StartupFailure{"MouseLevel", "IDirectInputDevice8A::SetCooperativeLevel.mouse",
                       "Init_Mouse SetCooperativeLevel failed\nError Initializing Mouse\n", 3},
        StartupFailure{"MouseAcquire", "IDirectInputDevice8A::Acquire.mouse",
                       "Init_mouse Acquire failed\nError Initializing Mouse\n", 3},
        StartupFailure{"KeyboardFormat", "IDirectInputDevice8A::SetDataFormat.keyboard",
                       "Init_Keyboard SetDataFormat failed\nError Initializing Keyboard\n", 4},
        StartupFailure{"KeyboardLevel", "IDirectInputDevice8A::SetCooperativeLevel.keyboard",
                       "Init_Keyboard SetCooperativeLevel failed\nError Initializing Keyboard\n", 4},
        StartupFailure{"KeyboardAcquire", "IDirectInputDevice8A::Acquire.keyboard",
                       "Init_Keyboard Acquire failed\nError Initializing Keyboard\n", 4}),
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
  Tap(2, ESC);
  headless::close_at(3);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
}

TEST_F(Startup, ASecondReleaseOfKeyboardAndMouseWritesItsLineAndReleasesNothing) {
  // The test releases both devices first, holding a reference of its own on
  // each; the shutdown sequence's release is then the second.
  IDirectInputDevice8A* held[2] = {};
  Tap(2, ESC);  // Esc on the menu: WM_DESTROY is posted in frame 2
  AtFrame(2, [&] {
    held[0] = keyboard_device;
    held[1] = mouse_device;
    for (IDirectInputDevice8A* device : held) device->AddRef();
    Release_Keyboard();
    Release_Mouse();
    EXPECT_EQ(keyboard_device, nullptr);
    EXPECT_EQ(mouse_device, nullptr);
  });
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + "Keyboard objects released\nMouse Object Released\n" + ShutdownLog());
  ASSERT_EQ(dinput_test::live_devices(), 2) << "a device was released twice";
  for (IDirectInputDevice8A* device : held) EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(dinput_test::live_devices(), 0);
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
  Tap(1, ESC);
  EXPECT_EQ(RunGame(), 0);
}

TEST_F(Startup, DeviceAndInputDevicesAreSetUpAsTheGameAsksForThem) {
  HWND window = nullptr;
  AtFrame(0, [&] { window = win32_internal::current_window(); });
  Tap(1, ESC);
  EXPECT_EQ(RunGame(), 0);
  ASSERT_NE(window, nullptr);
  d3d9_test::DeviceRequest device;
  ASSERT_TRUE(d3d9_test::last_device_request(&device));
  const D3DPRESENT_PARAMETERS& pp = device.parameters;
  const dinput_test::CooperativeLevel keyboard = dinput_test::keyboard_cooperative_level();
  const dinput_test::CooperativeLevel mouse = dinput_test::mouse_cooperative_level();
  const struct {
    const char* what;
    uint64_t got, want;
  } settings[] = {
      {"adapter", device.adapter, D3DADAPTER_DEFAULT},
      {"device type", uint64_t(device.device_type), D3DDEVTYPE_HAL},
      {"focus window", uint64_t(device.focus_window), uint64_t(window)},
      {"behaviour flags", device.behavior_flags, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
      {"back buffer width", pp.BackBufferWidth, 800},
      {"back buffer height", pp.BackBufferHeight, 600},
      {"back buffer format", uint64_t(pp.BackBufferFormat), D3DFMT_X8R8G8B8},
      {"back buffer count", pp.BackBufferCount, 1},
      {"multisampling", uint64_t(pp.MultiSampleType), D3DMULTISAMPLE_NONE},
      {"multisample quality", pp.MultiSampleQuality, 0},
      {"swap effect", uint64_t(pp.SwapEffect), D3DSWAPEFFECT_COPY},
      {"device window", uint64_t(pp.hDeviceWindow), uint64_t(window)},
      {"windowed", uint64_t(pp.Windowed), FALSE},
      {"depth buffer", uint64_t(pp.EnableAutoDepthStencil), TRUE},
      {"depth format", uint64_t(pp.AutoDepthStencilFormat), D3DFMT_D16},
      {"flags", pp.Flags, 0},
      {"refresh rate", pp.FullScreen_RefreshRateInHz, 0},
      {"presentation interval", pp.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE},
      {"keyboard level", keyboard.flags, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND},
      {"keyboard window", uint64_t(keyboard.window), uint64_t(window)},
      {"mouse level", mouse.flags, DISCL_EXCLUSIVE | DISCL_FOREGROUND},
      {"mouse window", uint64_t(mouse.window), uint64_t(window)},
  };
  for (const auto& setting : settings) EXPECT_EQ(setting.got, setting.want) << setting.what;
}

// The main loop hands out every waiting message before the next frame, a
// stream in which each message brings the next one as well, and ends on
// WM_QUIT, which it dispatches too, with its wParam as the exit code.
struct QuitMessage {
  const char* name;
  bool posted;  // PostMessageA(window, WM_QUIT, code, 0) instead of PostQuitMessage(code)
  int code;
};

void PrintTo(const QuitMessage& quit, std::ostream* out) { *out << quit.name; }

class MainLoop : public Scenario, public ::testing::WithParamInterface<QuitMessage> {
 protected:
  void TearDown() override {
    win32_test::on_dispatch(nullptr);
    Scenario::TearDown();
  }
};

TEST_P(MainLoop, MessagesGoBeforeFramesAndTheQuitMessageGivesTheExitCode) {
  const QuitMessage quit = GetParam();
  const size_t kStream = 1000;
  uint64_t frame = 0;  // the last frame made
  std::vector<uint64_t> batch, stream;
  int quits = 0;
  EachFrame([&](uint64_t index) { frame = index; });
  win32_test::on_dispatch([&](const MSG& msg) {
    if (msg.message == WM_USER) batch.push_back(frame);
    if (msg.message == WM_USER + 1) {
      stream.push_back(frame);
      if (stream.size() < kStream) PostMessageA(msg.hwnd, WM_USER + 1, 0, 0);
    }
    if (msg.message == WM_QUIT) {
      quits++;
      EXPECT_EQ(msg.wParam, WPARAM(quit.code));
    }
  });
  AtFrame(3, [] {
    HWND window = win32_internal::current_window();
    for (int i = 0; i < 5; i++) PostMessageA(window, WM_USER, i, 0);
    PostMessageA(window, WM_USER + 1, 0, 0);
  });
  AtFrame(5, [quit] {
    if (quit.posted)
      PostMessageA(win32_internal::current_window(), WM_QUIT, quit.code, 0);
    else
      PostQuitMessage(quit.code);
  });
  EXPECT_EQ(RunGame(), quit.code);
  EXPECT_EQ(batch, std::vector<uint64_t>(5, 3));
  EXPECT_EQ(stream, std::vector<uint64_t>(kStream, 3));
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(headless::frame_count(), 6u) << "no frame after the quit message";
  EXPECT_EQ(Log(), StartupLog()) << "the program was not asked to shut down";
}

INSTANTIATE_TEST_SUITE_P(ExitCodes, MainLoop,
                         ::testing::Values(QuitMessage{"PostQuitMessage", false, 7},
                                           QuitMessage{"PostedQuitMessage", true, 42}),
                         [](const ::testing::TestParamInfo<QuitMessage>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
