// The game's keys by name, and keys scheduled on the headless backend by
// their DirectInput code (the backend itself takes USB HID usage ids).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <dinput.h>

#include "platform/headless/headless.h"
#include "platform/keys/scancodes.h"

// The twelve keys the game reads.
namespace keys {
constexpr int kEsc = DIK_ESCAPE;
constexpr int kEnter = DIK_RETURN;
constexpr int kUp = DIK_UP;  // the right player's walk and turn keys; the menu's cursor
constexpr int kDown = DIK_DOWN;
constexpr int kLeft = DIK_LEFT;
constexpr int kRight = DIK_RIGHT;
constexpr int kRightThrow = DIK_RCONTROL;
constexpr int kW = DIK_W;  // the left player's
constexpr int kS = DIK_S;
constexpr int kA = DIK_A;
constexpr int kD = DIK_D;
constexpr int kLeftThrow = DIK_F;

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
