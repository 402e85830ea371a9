// Game controllers as their players' keys (see pad_keys.h).
#include "platform/pads/pad_keys.h"

#include <algorithm>
#include <deque>

#include "platform/pads/key_table.h"

namespace {

using key_table::Control;

constexpr int kPlayers = 2;
constexpr int kNoPad = -1;

// Half and a third of an axis's travel (32767).
constexpr int kPressedFrom = 16384;
constexpr int kLetGoBelow = 10923;

// The control each button is.
constexpr Control kButtonControls[backend::kPadButtonCount] = {
    key_table::kSouth,        key_table::kBack,          key_table::kStart,
    key_table::kLeftShoulder, key_table::kRightShoulder, key_table::kDpadUp,
    key_table::kDpadDown,     key_table::kDpadLeft,      key_table::kDpadRight};

key_table::Table g_table = key_table::built_in();  // which key each control presses
bool g_table_loaded = false;                       // g_table is the file's (or fell back)

// What one player's controller holds now.
struct Pad {
  int id = kNoPad;
  bool held[key_table::kControlCount] = {};
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

// A control of the player's controller goes down or up; a push of a tap
// control taps its key.
void set_control(int player, Control control, bool down) {
  Pad& pad = g_players[player];
  const key_table::Entry& entry = g_table.controls[control];
  if (down && !pad.held[control] && entry.tap && entry.keys[player] != 0) g_tapped[entry.keys[player]] = true;
  pad.held[control] = down;
}

void button(int player, int which, bool down) {
  if (which < 0 || which >= backend::kPadButtonCount) return;
  set_control(player, kButtonControls[which], down);
}

// One direction of an axis, `travel` being how far the axis is out in it.
void axis_direction(int player, Control control, int travel) {
  set_control(player, control, pressed(g_players[player].held[control], travel));
}

void axis(int player, int which, int value) {
  switch (which) {
    case backend::kPadLeftX:
      axis_direction(player, key_table::kStickLeft, -value);
      axis_direction(player, key_table::kStickRight, value);
      break;
    case backend::kPadLeftY:
      axis_direction(player, key_table::kStickUp, -value);
      axis_direction(player, key_table::kStickDown, value);
      break;
    case backend::kPadRightTrigger:
      axis_direction(player, key_table::kRightTrigger, value);
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
    axis(player, event.code, event.value);
  else
    button(player, event.code, event.kind == EventKind::PadButtonDown);
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
    for (int c = 0; c < key_table::kControlCount; ++c) {
      const key_table::Entry& entry = g_table.controls[c];
      if (g_players[p].held[c] && !entry.tap && entry.keys[p] != 0) keys[entry.keys[p]] = 0x80;
    }
  }
  for (int key = 0; key < 256; ++key) {
    if (g_tapped[key]) keys[key] = 0x80;
    g_tapped[key] = false;
  }
}

int pad_of_player(int player) { return player >= 0 && player < kPlayers ? g_players[player].id : kNoPad; }

void load_table(const char* path) {
  if (g_table_loaded) return;
  g_table = key_table::load(path);
  g_table_loaded = true;
}

void reset() {
  g_table_loaded = false;
  g_table = key_table::built_in();
  for (Pad& pad : g_players) pad = Pad{};
  g_waiting.clear();
  std::fill(std::begin(g_tapped), std::end(g_tapped), false);
}

}  // namespace pad_keys
