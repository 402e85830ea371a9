// The game's keys by name, and keys scheduled on the headless backend by
// their DirectInput code (the backend itself takes USB HID usage ids).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <dinput.h>

#include "platform/headless/headless.h"
#include "platform/keys/scancodes.h"

// The keys the game reads, by the names the tests give them; a test takes
// them with `using namespace keys;`.
namespace keys {
inline constexpr int ESC = DIK_ESCAPE;
inline constexpr int ENTER = DIK_RETURN;
inline constexpr int UP = DIK_UP;  // the right player: walk, turn, throw; the menu's cursor
inline constexpr int DOWN = DIK_DOWN;
inline constexpr int LEFT = DIK_LEFT;
inline constexpr int RIGHT = DIK_RIGHT;
inline constexpr int RCTRL = DIK_RCONTROL;
inline constexpr int W = DIK_W;  // the left player
inline constexpr int S = DIK_S;
inline constexpr int A = DIK_A;
inline constexpr int D = DIK_D;
inline constexpr int F = DIK_F;
inline constexpr int C = DIK_C;  // the menu's switch of the right player to the computer

// The USB HID usage id that gives DirectInput code `dik`; a code no key
// gives ends the test process with a message.
inline int hid_of(int dik) {
  const int hid = scancodes::hid_from_dik(dik);
  if (hid == 0) {
    std::fprintf(stderr, "keys: no key gives DirectInput code 0x%02X\n", dik);
    std::abort();
  }
  return hid;
}
}  // namespace keys

// The key of DirectInput code `dik` down or up at `frame`.
inline void dik_at(uint64_t frame, int dik, bool down) { headless::key_at(frame, keys::hid_of(dik), down); }
// Down at `frame`, up at frame + held_frames.
inline void dik_tap(uint64_t frame, int dik, uint64_t held_frames = 1) {
  dik_at(frame, dik, true);
  dik_at(frame + held_frames, dik, false);
}
