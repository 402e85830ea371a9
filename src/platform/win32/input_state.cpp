// Keyboard, mouse and focus state from the backend's events (see input_state.h).
#include "platform/win32/input_state.h"

#include <atomic>
#include <cstring>

#include "platform/backend.h"
#include "platform/keys/scancodes.h"
#include "platform/pads/pad_keys.h"
#include "platform/win32/windows_internal.h"

namespace {

std::atomic<bool> g_focused{false};  // also read by the sound mixer's thread
uint64_t g_losses = 0;
uint8_t g_keys[256] = {};  // the keyboard's own
uint8_t g_read[256] = {};  // the last read: the keyboard's and the controllers' keys
uint8_t g_buttons[4] = {};
int32_t g_dx = 0, g_dy = 0, g_wheel = 0;
bool g_captured = false;

constexpr int32_t kWheelDelta = 120;

void clear_input() {
  std::memset(g_keys, 0, sizeof g_keys);
  pad_keys::let_go();
  std::memset(g_buttons, 0, sizeof g_buttons);
  g_dx = g_dy = g_wheel = 0;
}

void set_focus(bool focused) {
  if (focused == g_focused) return;
  g_focused = focused;
  if (focused) return;
  ++g_losses;
  clear_input();
  if (g_captured) {
    g_captured = false;
    backend::window_capture_mouse(false);
  }
}

void handle(const backend::Event& e) {
  using backend::EventKind;
  switch (e.kind) {
    case EventKind::CloseRequest:
      win32_internal::close_requested();
      return;
    case EventKind::FocusGained:
      set_focus(backend::window_exists());
      return;
    case EventKind::FocusLost:
      set_focus(false);
      return;
    case EventKind::PadAdded:
    case EventKind::PadRemoved:  // lets go of the controller's keys, focus or not
      pad_keys::handle(e);
      return;
    default:
      break;
  }
  if (!g_focused) return;
  switch (e.kind) {
    case EventKind::KeyDown:
    case EventKind::KeyUp: {
      const int dik = scancodes::dik_from_hid(e.code);
      if (dik != 0) g_keys[dik] = e.kind == EventKind::KeyDown ? 0x80 : 0;
      break;
    }
    case EventKind::MouseMotion:
      g_dx += e.dx;
      g_dy += e.dy;
      break;
    case EventKind::MouseButtonDown:
    case EventKind::MouseButtonUp:
      if (e.code >= 0 && e.code < 4) g_buttons[e.code] = e.kind == EventKind::MouseButtonDown ? 0x80 : 0;
      break;
    case EventKind::MouseWheel:
      g_wheel += e.dy * kWheelDelta;
      break;
    case EventKind::PadButtonDown:
    case EventKind::PadButtonUp:
    case EventKind::PadAxis:
      pad_keys::handle(e);
      break;
    default:
      break;
  }
}

}  // namespace

namespace input_state {

void pump() {
  backend::Event e;
  while (backend::poll_event(e)) handle(e);
  set_focus(backend::window_focused());
}

bool focused() { return g_focused; }
uint64_t focus_losses() { return g_losses; }
const uint8_t* keys() {
  std::memcpy(g_read, g_keys, sizeof g_read);
  pad_keys::read(g_read);
  return g_read;
}

void take_mouse_motion(int32_t& dx, int32_t& dy, int32_t& wheel) {
  dx = g_dx;
  dy = g_dy;
  wheel = g_wheel;
  g_dx = g_dy = g_wheel = 0;
}

void discard_mouse_motion() { g_dx = g_dy = g_wheel = 0; }
const uint8_t* mouse_buttons() { return g_buttons; }

void capture_mouse(bool captured) {
  if (captured == g_captured) return;
  g_captured = captured;
  backend::window_capture_mouse(captured);
}

bool mouse_captured() { return g_captured; }

void reset() {
  g_focused = false;
  g_losses = 0;
  g_captured = false;
  clear_input();
  pad_keys::reset();
}

}  // namespace input_state
