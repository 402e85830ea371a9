// The real game (its WinMain, on the SDL backend) under Xvfb, played with
// three virtual game controllers (SDL's virtual joysticks): two play, the
// third waits; the menu is worked and a duel started, walked, turned and
// thrown in with the controllers alone; the left player's controller is
// unplugged mid-walk, the waiting one takes its place, and Back twice ends
// the game. Run by CTest under xvfb-run.
//
// A look at the game's state is taken on the game's own thread: a
// controller button the game does not use (Y) is pressed, and an SDL event
// watch copies the state when SDL makes the button's event, inside the
// game's own poll of its input.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>

#include "game/game_state.h"
#include "scratch_folder.h"
#include "whole_run_log.h"
#include "files_and_tools.h"

namespace fs = std::filesystem;

namespace {

struct Fighter {
  int x = 0, y = 0, heading = 0;
  bool operator==(const Fighter&) const = default;
};

// The game's state at one look.
struct Look {
  int state = 0, menu_choice = 0;
  Fighter left, right;
  bool left_plane = false, right_plane = false;
};

std::ostream& operator<<(std::ostream& out, const Fighter& f) {
  return out << "(" << f.x << ", " << f.y << ") heading " << f.heading;
}

// Looks taken by the event watch, on the game's thread.
struct Looks {
  std::mutex mutex;
  std::condition_variable taken;
  Look last;
  int count = 0;         // looks taken so far
  bool probe_up = true;  // the last probe's release was seen
};
Looks g_looks;

int WatchForProbe(void*, SDL_Event* event) {
  if ((event->type != SDL_CONTROLLERBUTTONDOWN && event->type != SDL_CONTROLLERBUTTONUP) ||
      event->cbutton.button != SDL_CONTROLLER_BUTTON_Y)
    return 1;
  std::lock_guard lock(g_looks.mutex);
  if (event->type == SDL_CONTROLLERBUTTONUP) {
    g_looks.probe_up = true;
  } else {
    Look& look = g_looks.last;
    look.state = gameState;
    look.menu_choice = menuChoice;
    look.left = {leftFighter.x, leftFighter.y, leftFighter.heading};
    look.right = {rightFighter.x, rightFighter.y, rightFighter.heading};
    look.left_plane = leftPlane.visible;
    look.right_plane = rightPlane.visible;
    ++g_looks.count;
  }
  g_looks.taken.notify_all();
  return 1;
}

using namespace std::chrono_literals;

// One virtual controller with the standard buttons and axes.
class Pad {
 public:
  Pad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "Quarrelo test controller";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index >= 0) joystick_ = SDL_JoystickOpen(index);
    if (joystick_ != nullptr) id_ = SDL_JoystickInstanceID(joystick_);
  }
  ~Pad() { Unplug(); }
  bool ok() const { return joystick_ != nullptr; }
  // Whether the game's backend opened it (within 5 s): until then SDL makes
  // no controller events of its buttons.
  bool OpenedByTheGame() const {
    for (int i = 0; i < 500; ++i) {
      if (SDL_GameControllerFromInstanceID(id_) != nullptr) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  void Set(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
  }
  void Move(SDL_GameControllerAxis axis, int value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value));
  }
  // A press long enough for the game's frames to see it, then a pause.
  void Tap(SDL_GameControllerButton button) {
    Set(button, true);
    std::this_thread::sleep_for(120ms);
    Set(button, false);
    std::this_thread::sleep_for(120ms);
  }
  void Push(SDL_GameControllerAxis axis, int value) {
    Move(axis, value);
    std::this_thread::sleep_for(120ms);
    Move(axis, 0);
    std::this_thread::sleep_for(120ms);
  }
  void Unplug() {
    if (joystick_ == nullptr) return;
    SDL_LockJoysticks();
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
      if (SDL_JoystickGetDeviceInstanceID(i) == id_) SDL_JoystickDetachVirtual(i);
    SDL_JoystickClose(joystick_);
    SDL_UnlockJoysticks();
    joystick_ = nullptr;
  }

  // A look at the game's state, taken on its thread at its next poll of its
  // input after `before` runs (under the joystick lock, so nothing of it
  // reaches the game before the probe's press). False after 5 s without.
  bool Probe(Look& look, const std::function<void()>& before = {}) {
    std::unique_lock lock(g_looks.mutex);
    if (!g_looks.taken.wait_for(lock, 5s, [] { return g_looks.probe_up; })) return false;
    g_looks.probe_up = false;
    const int count = g_looks.count;
    lock.unlock();
    SDL_LockJoysticks();
    Set(SDL_CONTROLLER_BUTTON_Y, true);
    if (before) before();
    SDL_UnlockJoysticks();
    lock.lock();
    const bool taken = g_looks.taken.wait_for(lock, 5s, [count] { return g_looks.count > count; });
    look = g_looks.last;
    lock.unlock();
    Set(SDL_CONTROLLER_BUTTON_Y, false);
    return taken;
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID id_ = -1;
};

// Ends a game that a failed step left running: the window manager's close
// button on every window.
void CloseTheGame() {
  for (Uint32 id = 1; id < 64; ++id) {
    if (SDL_GetWindowFromID(id) == nullptr) continue;
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = id;
    SDL_PushEvent(&close);
  }
}

// The controllers' side of the run, on a thread of its own while the
// game's WinMain runs on the test's.
void PlayWithControllers(const fs::path& folder) {
  for (int i = 0; i < 300 && read_file(folder / "Log.txt").find("Game Specific Objects Initialized") ==
                                 std::string::npos;
       ++i)
    std::this_thread::sleep_for(100ms);
  ASSERT_NE(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u) << read_file(folder / "Log.txt");
  SDL_AddEventWatch(WatchForProbe, nullptr);

  Pad left, right, third;
  ASSERT_TRUE(left.ok() && right.ok() && third.ok()) << SDL_GetError();
  for (Pad* pad : {&left, &right, &third}) pad->Move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
  std::this_thread::sleep_for(500ms);
  Look look;
  auto probe = [&](Pad& pad) {
    const bool taken = pad.Probe(look);
    EXPECT_TRUE(taken) << "no look at the game";
    return taken;
  };

  // The menu: the shoulder buttons of either playing controller move the
  // cursor, and so do the right player's D-pad and stick (his Up and Down);
  // the third controller is not heard; Start confirms.
  ASSERT_TRUE(probe(right));
  EXPECT_EQ(look.state, STATE_MENU);
  EXPECT_EQ(look.menu_choice, 1);
  left.Tap(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
  right.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  third.Tap(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
  ASSERT_TRUE(probe(right));
  EXPECT_EQ(look.menu_choice, 3);
  left.Tap(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
  right.Push(SDL_CONTROLLER_AXIS_LEFTY, -32768);
  ASSERT_TRUE(probe(right));
  EXPECT_EQ(look.menu_choice, 1);
  left.Tap(SDL_CONTROLLER_BUTTON_START);
  ASSERT_TRUE(probe(right));
  ASSERT_EQ(look.state, STATE_PLAY) << "Start began the duel";
  const Fighter left_start = look.left, right_start = look.right;

  // Turning: one step per press of the D-pad and per push of the stick,
  // held past half its travel or not; the third controller does nothing.
  left.Tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  left.Move(SDL_CONTROLLER_AXIS_LEFTX, 30000);
  std::this_thread::sleep_for(120ms);
  left.Move(SDL_CONTROLLER_AXIS_LEFTX, 12000);  // still held: no second turn
  left.Push(SDL_CONTROLLER_AXIS_LEFTX, 12000);
  right.Tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  right.Push(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  third.Tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  ASSERT_TRUE(probe(right));
  EXPECT_EQ(look.left.heading, 6) << "right from 4, twice";
  EXPECT_EQ(look.right.heading, 6) << "left from 0, twice";
  EXPECT_EQ(look.left.x, left_start.x);
  EXPECT_EQ(look.right.x, right_start.x);

  // Throwing, both facing down: the south button and the right trigger.
  left.Tap(SDL_CONTROLLER_BUTTON_A);
  right.Move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  std::this_thread::sleep_for(120ms);
  right.Move(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
  ASSERT_TRUE(probe(right));
  EXPECT_TRUE(look.left_plane && look.right_plane) << "both thrown";

  // The left player walks forward (down) on the stick; his controller is
  // unplugged mid-walk. From the game's first look at its input after
  // that, his kid does not move again.
  left.Move(SDL_CONTROLLER_AXIS_LEFTY, -32768);
  std::this_thread::sleep_for(300ms);
  Look unplugged;
  ASSERT_TRUE(right.Probe(unplugged, [&] { left.Unplug(); }));
  EXPECT_GT(unplugged.left.y, left_start.y) << "walked";
  std::this_thread::sleep_for(500ms);
  ASSERT_TRUE(probe(right));
  EXPECT_EQ(look.left, unplugged.left) << "stopped at once";

  // The right player keeps his kid and walks it; the third controller now
  // plays the left kid.
  right.Set(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  std::this_thread::sleep_for(300ms);
  right.Set(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
  third.Tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  ASSERT_TRUE(probe(right));
  EXPECT_GT(look.right.y, right_start.y) << "the right kid walked";
  EXPECT_EQ(look.left.heading, 5) << "the third controller turned the left kid";
  EXPECT_EQ(look.left.y, unplugged.left.y);

  // Back to the menu, the cursor one down with the new left controller's
  // shoulder button, and Back again ends the game.
  right.Tap(SDL_CONTROLLER_BUTTON_BACK);
  third.Tap(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
  ASSERT_TRUE(probe(right));
  EXPECT_EQ(look.state, STATE_MENU);
  EXPECT_EQ(look.menu_choice, 2);
  third.Tap(SDL_CONTROLLER_BUTTON_BACK);
}

TEST(ControllersUnderXvfb, TwoPlayADuelOneIsUnpluggedAndTheThirdTakesOver) {
  const ScratchFolder scratch("quarrelo-controllers");
  const fs::path folder = scratch.path();
  for (const auto& entry : fs::directory_iterator(fs::path(QUARRELO_SOURCE_DIR) / "assets"))
    fs::copy_file(entry.path(), folder / entry.path().filename());
  const fs::path former = fs::current_path();
  fs::current_path(folder);
  unsetenv("SDL_VIDEODRIVER");
  setenv("SDL_AUDIODRIVER", "dummy", 1);

  std::thread controllers([&] {
    PlayWithControllers(folder);
    if (::testing::Test::HasFailure()) CloseTheGame();
  });
  char command_line[] = "";
  const int code = WinMain(GetModuleHandleA(NULL), NULL, command_line, SW_SHOWDEFAULT);
  controllers.join();
  fs::current_path(former);

  EXPECT_EQ(code, 0);
  EXPECT_EQ(read_file(folder / "Log.txt"), WholeRunLog()) << "the device was never lost";
}

}  // namespace
