// Game controllers as their players' keys (see pad_keys.h).
#include "platform/pads/pad_keys.h"

#include <algorithm>
#include <deque>

#include "dinput.h"

namespace {

constexpr int kPlayers = 2;
constexpr int kNoPad = -1;

// Half and a third of an axis's travel (32767).
constexpr int kPressedFrom = 16384;
constexpr int kLetGoBelow = 10923;

// What a controller does, whichever of its controls does it.
enum Control { kTurnLeft, kTurnRight, kForward, kBackward, kThrow, kConfirm, kBack, kControlCount };

// The key of each control, for the left and the right player.
constexpr uint8_t kKeys[kControlCount][kPlayers] = {
    {DIK_A, DIK_LEFT},     {DIK_D, DIK_RIGHT},       {DIK_W, DIK_UP},          {DIK_S, DIK_DOWN},
    {DIK_F, DIK_RCONTROL}, {DIK_RETURN, DIK_RETURN}, {DIK_ESCAPE, DIK_ESCAPE},
};

// The buttons that tap a key instead of holding it, for either player.
struct Tap {
  int button;
  uint8_t key;
};
constexpr Tap kTaps[] = {{backend::kPadLeftShoulder, DIK_UP}, {backend::kPadRightShoulder, DIK_DOWN}};

// What one player's controller holds now.
struct Pad {
  int id = kNoPad;
  bool buttons[backend::kPadButtonCount] = {};
  bool stick_left = false, stick_right = false, stick_up = false, stick_down = false;
  bool trigger = false;

  bool holds(Control control) const {
    switch (control) {
      case kTurnLeft:
        return buttons[backend::kPadDpadLeft] || stick_left;
      case kTurnRight:
        return buttons[backend::kPadDpadRight] || stick_right;
      case kForward:
        return buttons[backend::kPadDpadUp] || stick_up;
      case kBackward:
        return buttons[backend::kPadDpadDown] || stick_down;
      case kThrow:
        return buttons[backend::kPadSouth] || trigger;
      case kConfirm:
        return buttons[backend::kPadStart];
      case kBack:
        return buttons[backend::kPadBack];
      default:
        return false;
    }
  }
};

Pad g_players[kPlayers];
std::deque<int> g_waiting;  // connected controllers that play nobody, oldest first
bool g_tapped[256] = {};    // taps not yet read

int player_of(int id) {
  for (int p = 0; p < kPlayers; ++p)
    if (g_players[p].id == id) return p;
  return -1;
}

// Whether one direction of an axis counts as pressed, `travel` being how
// far the axis is out in that direction.
bool pressed(bool was_pressed, int travel) {
  return was_pressed ? travel >= kLetGoBelow : travel >= kPressedFrom;
}

void connect(int id) {
  if (player_of(id) >= 0 || std::find(g_waiting.begin(), g_waiting.end(), id) != g_waiting.end()) return;
  for (Pad& pad : g_players) {
    if (pad.id == kNoPad) {
      pad = Pad{};
      pad.id = id;
      return;
    }
  }
  g_waiting.push_back(id);
}

void disconnect(int id) {
  const int player = player_of(id);
  if (player < 0) {
    g_waiting.erase(std::remove(g_waiting.begin(), g_waiting.end(), id), g_waiting.end());
    return;
  }
  g_players[player] = Pad{};
  if (!g_waiting.empty()) {
    g_players[player].id = g_waiting.front();
    g_waiting.pop_front();
  }
}

void button(Pad& pad, int which, bool down) {
  if (which < 0 || which >= backend::kPadButtonCount) return;
  if (down && !pad.buttons[which])
    for (const Tap& tap : kTaps)
      if (tap.button == which) g_tapped[tap.key] = true;
  pad.buttons[which] = down;
}

void axis(Pad& pad, int which, int value) {
  switch (which) {
    case backend::kPadLeftX:
      pad.stick_left = pressed(pad.stick_left, -value);
      pad.stick_right = pressed(pad.stick_right, value);
      break;
    case backend::kPadLeftY:
      pad.stick_up = pressed(pad.stick_up, -value);
      pad.stick_down = pressed(pad.stick_down, value);
      break;
    case backend::kPadRightTrigger:
      pad.trigger = pressed(pad.trigger, value);
      break;
    default:
      break;
  }
}

}  // namespace

namespace pad_keys {

void handle(const backend::Event& event) {
  using backend::EventKind;
  switch (event.kind) {
    case EventKind::PadAdded:
      connect(event.pad);
      return;
    case EventKind::PadRemoved:
      disconnect(event.pad);
      return;
    case EventKind::PadButtonDown:
    case EventKind::PadButtonUp:
    case EventKind::PadAxis:
      break;
    default:
      return;
  }
  const int player = player_of(event.pad);
  if (player < 0) return;
  if (event.kind == EventKind::PadAxis)
    axis(g_players[player], event.code, event.value);
  else
    button(g_players[player], event.code, event.kind == EventKind::PadButtonDown);
}

void let_go() {
  for (Pad& pad : g_players) {
    const int id = pad.id;
    pad = Pad{};
    pad.id = id;
  }
  std::fill(std::begin(g_tapped), std::end(g_tapped), false);
}

void read(uint8_t* keys) {
  for (int p = 0; p < kPlayers; ++p) {
    if (g_players[p].id == kNoPad) continue;
    for (int c = 0; c < kControlCount; ++c)
      if (g_players[p].holds(static_cast<Control>(c))) keys[kKeys[c][p]] = 0x80;
  }
  for (int key = 0; key < 256; ++key) {
    if (g_tapped[key]) keys[key] = 0x80;
    g_tapped[key] = false;
  }
}

int pad_of_player(int player) { return player >= 0 && player < kPlayers ? g_players[player].id : kNoPad; }

void reset() {
  for (Pad& pad : g_players) pad = Pad{};
  g_waiting.clear();
  std::fill(std::begin(g_tapped), std::end(g_tapped), false);
}

}  // namespace pad_keys
