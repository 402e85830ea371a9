// Template backend: the file to copy when adding a backend (see "Adding a
// backend" in platform/backend.h). Every function of the seam that a backend
// implements is here with a line saying what it must do and the simplest
// body that builds: one window kept in memory that has the focus once it is
// shown, no input, frames dropped, no audio device (so the core's silent
// output pulls at the real rate), the system's monotonic clock. It is built
// and linked by a test, so it cannot go stale.
//
// Depends on the C++ standard library only.
#include <chrono>
#include <string>
#include <thread>

#include "platform/backend.h"
#include "platform/backend_driver.h"

namespace {

bool g_window = false;  // window_create made the window
bool g_shown = false;   // window_show showed it (and gave it the focus)
int g_width = 0;
int g_height = 0;

// Opens the machine's audio output; false with a reason when there is none
// (the core then starts its silent output and says so once).
bool open_audio_device(const backend::AudioFormat&, backend::AudioPull, void*, std::string& why) {
  why = "the template backend has no audio output";
  return false;
}

// Stops the output open_audio_device opened; never called when it failed.
void close_audio_device() {}

}  // namespace

namespace backend {

// ---- Window --------------------------------------------------------------

// Makes the one window of width x height pixels, hidden; false when it
// cannot (or one exists already).
bool window_create(int width, int height, const char*) {
  if (g_window) return false;
  g_window = true;
  g_width = width;
  g_height = height;
  return true;
}

// Shows the window and gives it the focus (queue a FocusGained event when
// the machine reports focus by event).
void window_show() { g_shown = g_window; }

// Full screen: the desktop's resolution, the picture scaled to fit with its
// aspect kept and bars; the display mode is never changed. Windowed: the
// window at its own size.
void window_set_fullscreen(bool) {}

// Destroys the window; nothing of it remains (capture, focus, kept frame).
void window_destroy() { g_window = g_shown = false; }

// Whether the window exists.
bool window_exists() { return g_window; }

// Whether the window has the keyboard focus.
bool window_focused() { return g_window && g_shown; }

// Hides the pointer and keeps all mouse motion for the window while
// captured; gives it back when released.
void window_capture_mouse(bool) {}

// ---- Events --------------------------------------------------------------

// Takes the next event without waiting: the close button, focus changes,
// keys by USB HID usage id, mouse motion, buttons and wheel, and game
// controllers (Pad* events) where the machine has them. False when none is
// pending.
bool poll_event(Event&) { return false; }

// ---- Frames --------------------------------------------------------------

// Shows one 0x00RRGGBB frame, rows pitch_bytes apart, scaled into the
// window; the window keeps showing it until the next one. A frame the same
// as the last needs no work.
void present(const uint32_t*, int, int, int, bool) {}

// ---- Time ----------------------------------------------------------------

// Microseconds since an arbitrary start, never going back, 64 bits wide.
uint64_t clock_us() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

// Sleeps until clock_us() reaches `when`, in one wait (never a loop of
// short sleeps or a spin); returns at once when it is past.
void sleep_until_us(uint64_t when) {
  std::this_thread::sleep_until(std::chrono::steady_clock::time_point(std::chrono::microseconds(when)));
}

// ---- Message box -------------------------------------------------------------

// Asks the user a Yes/No question; true for Yes. No way to ask: No.
bool message_box_yes_no(const char*, const char*) { return false; }

// Audio and debugger output go through the core (backend_core.cpp): fill
// in the device's open and close; leave the silent output and the debugger
// text to the core unless the backend must see them.
const Driver kDriver = {"template", open_audio_device, close_audio_device, nullptr, nullptr, nullptr};

}  // namespace backend
