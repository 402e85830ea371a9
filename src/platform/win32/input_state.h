// The keyboard, mouse and focus state of the one window, fed from the
// backend's events. The win32 family pumps the events (inside PeekMessageA)
// and the dinput family reads the state, pumping first itself so it works
// without a message loop too. Platform-internal; program thread only, but
// for focused().
#pragma once

#include <cstdint>

namespace input_state {

// Takes every pending backend event: close requests become WM_CLOSE in the
// message queue, focus changes update the focus state, keys, mouse and game
// controllers update the tables below. Keys, mouse and controller controls
// are dropped while the window does not have the focus; controllers coming
// and going are always taken.
void pump();

// Whether the window had the focus at the last pump. Safe to call from any
// thread (the sound mixer asks it).
bool focused();
// How many times the focus was lost so far; a foreground device acquired
// before the latest loss is lost.
uint64_t focus_losses();

// One read of the keyboard: 256 bytes by DirectInput scan code, 0x80 for a
// key that is down on the keyboard or held by a game controller (a key is
// down while either holds it), or that a controller tapped since the last
// read (platform/pads/pad_keys.h). Cleared when the focus is lost. Valid
// until the next call.
const uint8_t* keys();

// Mouse movement since the previous take (wheel in DirectInput units, 120
// per step), then zero.
void take_mouse_motion(int32_t& dx, int32_t& dy, int32_t& wheel);
void discard_mouse_motion();
// Buttons 0 left, 1 right, 2 middle, 3 side: 0x80 while down.
const uint8_t* mouse_buttons();

// An exclusive foreground mouse captures the pointer while acquired; the
// capture ends by itself when the focus is lost.
void capture_mouse(bool captured);
bool mouse_captured();

// Forgets everything (tests that run several scenarios in one process).
void reset();

}  // namespace input_state
