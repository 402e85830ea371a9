// Game controllers as their players' keys, read through the DirectInput
// keyboard as the game reads it, on the headless backend: every control of
// both players' controllers, sticks and trigger with their hysteresis, the
// shoulder buttons' taps, which controller plays whom as they come and go,
// letting go on unplugging and on focus loss, and the merge with the
// keyboard's own keys.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dinput.h"
#include "fixture.h"
#include "platform/pads/pad_keys.h"

using namespace platform_test;
using backend::Event;
using backend::EventKind;

namespace {

Event Added(int pad) {
  Event e{EventKind::PadAdded};
  e.pad = pad;
  return e;
}
Event Removed(int pad) {
  Event e{EventKind::PadRemoved};
  e.pad = pad;
  return e;
}
Event Button(int pad, int button, bool down) {
  Event e{down ? EventKind::PadButtonDown : EventKind::PadButtonUp, button};
  e.pad = pad;
  return e;
}
Event Axis(int pad, int axis, int value) {
  Event e{EventKind::PadAxis, axis};
  e.pad = pad;
  e.value = value;
  return e;
}
Event Key(int hid_usage, bool down) { return Event{down ? EventKind::KeyDown : EventKind::KeyUp, hid_usage}; }

using Keys = std::set<int>;  // DirectInput codes down

// The game's keyboard on a headless window with the focus.
class PadKeys : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    register_class();
    window = create_window();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(DirectInput8Create(GetModuleHandleA(NULL), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                 (void**)&dinput, NULL),
              DI_OK);
    ASSERT_EQ(dinput->CreateDevice(GUID_SysKeyboard, &keyboard, NULL), DI_OK);
    ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    ASSERT_EQ(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
  }
  void TearDown() override {
    if (keyboard) keyboard->Release();
    if (dinput) dinput->Release();
    PlatformTest::TearDown();
  }

  // The events happen, then the game reads the keyboard once.
  Keys Read(const std::vector<Event>& events = {}) {
    for (const Event& e : events) headless::push_event(e);
    uint8_t state[256];
    if (keyboard->GetDeviceState(sizeof state, state) != DI_OK) {
      keyboard->Acquire();
      keyboard->GetDeviceState(sizeof state, state);
    }
    Keys down;
    for (int key = 0; key < 256; ++key)
      if (state[key] == 0x80) down.insert(key);
    return down;
  }

  HWND window = nullptr;
  IDirectInput8A* dinput = nullptr;
  IDirectInputDevice8A* keyboard = nullptr;
};

// One control of a controller, and the key it gives the left and the
// right player. A tap gives its key for one read only.
struct Control {
  const char* name;
  Event press, release;  // pad 0 is filled in with the player's controller
  int left_key, right_key;
  bool tap;
};

TEST_F(PadKeys, EveryControlOfBothPlayers) {
  using namespace backend;
  const Control controls[] = {
      {"D-pad left", Button(0, kPadDpadLeft, true), Button(0, kPadDpadLeft, false), DIK_A, DIK_LEFT, false},
      {"D-pad right", Button(0, kPadDpadRight, true), Button(0, kPadDpadRight, false), DIK_D, DIK_RIGHT,
       false},
      {"D-pad up", Button(0, kPadDpadUp, true), Button(0, kPadDpadUp, false), DIK_W, DIK_UP, false},
      {"D-pad down", Button(0, kPadDpadDown, true), Button(0, kPadDpadDown, false), DIK_S, DIK_DOWN, false},
      {"stick left", Axis(0, kPadLeftX, -32768), Axis(0, kPadLeftX, 0), DIK_A, DIK_LEFT, false},
      {"stick right", Axis(0, kPadLeftX, 32767), Axis(0, kPadLeftX, 0), DIK_D, DIK_RIGHT, false},
      {"stick up", Axis(0, kPadLeftY, -32768), Axis(0, kPadLeftY, 0), DIK_W, DIK_UP, false},
      {"stick down", Axis(0, kPadLeftY, 32767), Axis(0, kPadLeftY, 0), DIK_S, DIK_DOWN, false},
      {"south button", Button(0, kPadSouth, true), Button(0, kPadSouth, false), DIK_F, DIK_RCONTROL, false},
      {"right trigger", Axis(0, kPadRightTrigger, 32767), Axis(0, kPadRightTrigger, 0), DIK_F, DIK_RCONTROL,
       false},
      {"Start", Button(0, kPadStart, true), Button(0, kPadStart, false), DIK_RETURN, DIK_RETURN, false},
      {"Back", Button(0, kPadBack, true), Button(0, kPadBack, false), DIK_ESCAPE, DIK_ESCAPE, false},
      {"left shoulder", Button(0, kPadLeftShoulder, true), Button(0, kPadLeftShoulder, false), DIK_UP, DIK_UP,
       true},
      {"right shoulder", Button(0, kPadRightShoulder, true), Button(0, kPadRightShoulder, false), DIK_DOWN,
       DIK_DOWN, true},
  };
  const int pads[2] = {41, 7};  // ids in any order: the first connected plays left
  EXPECT_EQ(Read({Added(pads[0]), Added(pads[1])}), Keys{});
  for (const Control& c : controls) {
    for (int player = 0; player < 2; ++player) {
      SCOPED_TRACE(std::string(c.name) + (player == 0 ? ", left player" : ", right player"));
      Event press = c.press, release = c.release;
      press.pad = release.pad = pads[player];
      const Keys key{player == 0 ? c.left_key : c.right_key};
      EXPECT_EQ(Read({press}), key);
      EXPECT_EQ(Read(), c.tap ? Keys{} : key) << "held on";
      EXPECT_EQ(Read({release}), Keys{});
      EXPECT_EQ(Read({press, release}), c.tap ? key : Keys{}) << "pushed between two reads: only a tap shows";
      EXPECT_EQ(Read(), Keys{});
    }
  }
}

// A stick direction and the trigger press past half their travel and let
// go only under a third, so a stick wobbling near half turns once.
TEST_F(PadKeys, SticksAndTriggerPressPastHalfAndLetGoUnderAThird) {
  using namespace backend;
  struct Step {
    int axis, value;
    Keys keys;
  };
  const Step steps[] = {
      {kPadLeftX, 16383, {}},
      {kPadLeftX, 16384, {DIK_D}},
      {kPadLeftX, 12000, {DIK_D}},
      {kPadLeftX, 16500, {DIK_D}},
      {kPadLeftX, 10923, {DIK_D}},
      {kPadLeftX, 10922, {}},
      {kPadLeftX, 16000, {}},
      {kPadLeftX, -16384, {DIK_A}},
      {kPadLeftX, -10923, {DIK_A}},
      {kPadLeftX, 20000, {DIK_D}},
      {kPadLeftX, 0, {}},
      {kPadLeftY, -16383, {}},
      {kPadLeftY, -20000, {DIK_W}},
      {kPadLeftY, -11000, {DIK_W}},
      {kPadLeftY, -9000, {}},
      {kPadLeftY, 32767, {DIK_S}},
      {kPadLeftY, 0, {}},
      {kPadRightTrigger, 16383, {}},
      {kPadRightTrigger, 16384, {DIK_F}},
      {kPadRightTrigger, 11000, {DIK_F}},
      {kPadRightTrigger, 10000, {}},
  };
  Read({Added(3)});
  for (const Step& step : steps)
    EXPECT_EQ(Read({Axis(3, step.axis, step.value)}), step.keys)
        << "axis " << step.axis << " at " << step.value;
  // Both axes of one stick at once: a diagonal holds two keys.
  EXPECT_EQ(Read({Axis(3, kPadLeftX, -30000), Axis(3, kPadLeftY, 30000)}), (Keys{DIK_A, DIK_S}));
}

TEST_F(PadKeys, ControllersComeAndGo) {
  using namespace backend;
  // A third controller waits, ignored, while two play.
  EXPECT_EQ(Read({Added(1), Added(2), Added(3), Added(2)}), Keys{});
  EXPECT_EQ(pad_keys::pad_of_player(0), 1);
  EXPECT_EQ(pad_keys::pad_of_player(1), 2);
  EXPECT_EQ(Read({Button(3, kPadStart, true), Button(1, kPadDpadUp, true), Button(2, kPadSouth, true)}),
            (Keys{DIK_W, DIK_RCONTROL}));
  // The left player's controller goes mid-walk: its keys go at once, the
  // right player keeps his, and the waiting one takes the left player with
  // nothing held (its Start went down while it played nobody).
  EXPECT_EQ(Read({Removed(1)}), Keys{DIK_RCONTROL});
  EXPECT_EQ(pad_keys::pad_of_player(0), 3);
  EXPECT_EQ(Read({Button(3, kPadStart, false), Button(3, kPadDpadLeft, true)}), (Keys{DIK_A, DIK_RCONTROL}));
  EXPECT_EQ(Read({Button(1, kPadDpadUp, false), Button(1, kPadBack, true)}), (Keys{DIK_A, DIK_RCONTROL}))
      << "a controller gone is not heard";
  // Both go; the next to come plays the left player, the one after the right.
  EXPECT_EQ(Read({Removed(2), Removed(3)}), Keys{});
  EXPECT_EQ(pad_keys::pad_of_player(0), -1);
  EXPECT_EQ(Read({Added(5), Added(4), Button(4, kPadDpadRight, true), Button(5, kPadDpadRight, true)}),
            (Keys{DIK_D, DIK_RIGHT}));
  EXPECT_EQ(Read({Removed(99)}), (Keys{DIK_D, DIK_RIGHT})) << "one never seen";
}

TEST_F(PadKeys, KeyboardAndControllersHoldKeysTogether) {
  using namespace backend;
  constexpr int kHidW = 26, kHidReturn = 40;
  Read({Added(1), Added(2)});
  EXPECT_EQ(Read({Key(kHidW, true), Button(1, kPadDpadUp, true)}), Keys{DIK_W});
  EXPECT_EQ(Read({Button(1, kPadDpadUp, false)}), Keys{DIK_W}) << "the keyboard still holds W";
  EXPECT_EQ(Read({Axis(1, kPadLeftY, -30000), Key(kHidW, false)}), Keys{DIK_W}) << "the stick still holds W";
  EXPECT_EQ(Read({Axis(1, kPadLeftY, 0)}), Keys{});
  // Start on both controllers and Enter on the keyboard: one Enter, down
  // until the last lets go.
  EXPECT_EQ(Read({Button(1, kPadStart, true), Button(2, kPadStart, true), Key(kHidReturn, true)}),
            Keys{DIK_RETURN});
  EXPECT_EQ(Read({Button(1, kPadStart, false), Key(kHidReturn, false)}), Keys{DIK_RETURN});
  EXPECT_EQ(Read({Button(2, kPadStart, false)}), Keys{});
}

TEST_F(PadKeys, FocusLossLetsGoAndControllersStillComeAndGo) {
  using namespace backend;
  Read({Added(1)});
  EXPECT_EQ(Read({Button(1, kPadSouth, true), Button(1, kPadLeftShoulder, true)}), (Keys{DIK_F, DIK_UP}));
  Read({Button(1, kPadRightShoulder, true), Event{EventKind::FocusLost}});
  // Unfocused: controls are not heard, controllers coming and going are.
  Read({Button(1, kPadDpadUp, true), Button(1, kPadStart, true), Added(2), Removed(1)});
  headless::set_focus(true);
  EXPECT_EQ(pad_keys::pad_of_player(0), -1);
  EXPECT_EQ(pad_keys::pad_of_player(1), 2);
  // Back: nothing that was held or tapped before the loss.
  EXPECT_EQ(Read(), Keys{});
  EXPECT_EQ(Read({Button(2, kPadSouth, true)}), Keys{DIK_RCONTROL});
}

}  // namespace
