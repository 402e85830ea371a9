// Web backend: platform/backend.h in a browser page, built with Emscripten
// into WebAssembly. This file is the program's side; the page's side (the
// canvas, the browser's events, Web Audio, the timers) is browser.js, an
// Emscripten JavaScript library linked into quarrelo.js. The page around it
// is page/index.html (cmake/web_page.cmake builds build/web/).
//
//   Window    the page's 800x600 canvas, scaled to fit the browser window
//             with its aspect kept and letter-boxed. Alt+Enter, F11 and the
//             page's button switch the canvas to the browser's full screen
//             (the Fullscreen API) and back; as on the desktop the switch is
//             the player's, so the program's full-screen device is not lost
//             by it and its keys never reach the program. In full screen the
//             keyboard is taken with the Keyboard Lock API where the browser
//             has it, so Esc and Ctrl+W reach the game.
//   Focus     the window has the focus while the canvas has it, the page is
//             visible and the browser window is in front: a hidden tab
//             (visibilitychange), another window (blur) or a click beside
//             the canvas takes it away, so the full-screen device is lost and
//             the game pauses as on the desktop. Closing the tab (pagehide)
//             is a close request.
//   Frames    each XRGB frame becomes RGBA here and goes to the canvas's 2D
//             context (putImageData); a frame the device says is the last
//             again is not drawn again. Measured in headless Chromium: 0.21 ms of the page's
//             thread a frame, against 0.27 ms for a WebGL texture upload and
//             draw, so the simpler 2D context it is.
//   Input     KeyboardEvent.code mapped to USB HID usage ids; auto-repeat
//             dropped; while the game has the focus every key's default
//             action the page may cancel is cancelled (arrows and Space do
//             not scroll, Ctrl+S, Ctrl+F, Ctrl+D, F-keys do nothing). Alt is
//             held back until another key comes with it, as on the desktop.
//             Mouse motion from movementX/Y; a captured mouse hides the
//             pointer over the canvas. Game controllers through the Gamepad
//             API, those with the standard mapping, hot-plug included.
//   Audio     Web Audio, a ScriptProcessorNode pulling the mixer on the
//             page's thread, at the program's own rate (the browser
//             resamples). Browsers start sound only after a key press or a
//             click: until then, and whenever the browser suspends the
//             output, it pulls silently at the real rate from a timer
//             (said once on the console). Without Web Audio the same silent
//             output stands in for the core's silent thread.
//   Time      performance.now(); a sleep yields to the browser (Asyncify)
//             with one timer to the wake-up time, set from a message task so
//             that nested timers are not held to 4 ms. The stand-in's tick
//             count steps over it and sleeps a poll to its next step, as on
//             the desktop (about 64 wake-ups a second on a still screen).
//   Debugger  the browser console (console.info), a line at a time.
//   Box       window.confirm: OK is Yes.
//
// Where it falls short of the SDL backend:
//   - the program's own full-screen request cannot take the screen (browsers
//     allow that only in answer to a key press or click): the picture fills
//     the page instead, and the player takes the screen with the keys or the
//     button;
//   - outside full screen the browser keeps shortcuts no page can cancel.
//     Of the game's keys and their combinations only Ctrl+W is one (the
//     right player's throw while the left player walks forward, in either
//     order, as the held W repeats): the page never sees the W and the tab
//     closes. A leave-page question guards the page while the game runs
//     (the backend cannot tell a duel from the menu), and the page says that
//     full screen is the way to play on one keyboard. Tried in Chromium
//     with a window, real keys through X: Ctrl with A, S, D, F, Enter, Esc
//     or an arrow, F11 and Alt+Enter all reach the page and are cancelled;
//     in full screen with the keyboard locked Ctrl+W and Esc reach the game
//     too (holding Esc leaves full screen), without the lock Esc leaves it.
//     The system keeps its own keys (Alt+Tab; Ctrl+Esc on Windows; Ctrl
//     with the arrows on macOS);
//   - a captured mouse is not locked to the canvas (the Pointer Lock API
//     needs a click and gives Esc to the browser): the pointer is only
//     hidden over it; the game never reads the mouse;
//   - a hidden tab's timers run once a second: the game, paused by the lost
//     focus, runs one frame a second until it is shown again;
//   - controllers without the standard mapping are not reported;
//   - the run log lives in the page's memory (and on the console); it is
//     gone when the page is.
//
// Depends on Emscripten (its JavaScript library mechanism and Asyncify) and
// on the browser's canvas 2D context, Web Audio, Gamepad, Fullscreen and
// Keyboard Lock APIs where they exist.
#include <emscripten.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/backend_driver.h"

// The page's side, in browser.js.
extern "C" {
int quarrelo_web_window_create(int width, int height, const char* title);
void quarrelo_web_window_show();
void quarrelo_web_window_destroy();
int quarrelo_web_window_focused();
void quarrelo_web_window_fullscreen(int fullscreen);
void quarrelo_web_window_capture_mouse(int captured);
int quarrelo_web_next_event(int* fields);
void quarrelo_web_present(const uint8_t* rgba, int width, int height);
int quarrelo_web_audio_open(int rate, int channels, int silent);
void quarrelo_web_audio_close();
void quarrelo_web_sleep_until(double when_ms);
void quarrelo_web_console_line(const char* text);
int quarrelo_web_confirm(const char* caption, const char* text);
}

namespace {

bool g_window = false;
std::vector<uint8_t> g_rgba;  // the frame as the canvas takes it
bool g_drawn = false;         // the canvas holds a frame of g_width x g_height
int g_width = 0;
int g_height = 0;

// ---- Audio -----------------------------------------------------------------------

// The output open now; browser.js pulls it through quarrelo_web_audio_pull.
struct Audio {
  backend::AudioPull pull = nullptr;
  void* user = nullptr;
  int channels = 2;
  std::vector<int16_t> block;
};
Audio g_audio;

constexpr int kMaxPullFrames = 16384;

bool start_audio(const backend::AudioFormat& format, backend::AudioPull pull, void* user, bool silent) {
  g_audio.pull = pull;
  g_audio.user = user;
  g_audio.channels = format.channels;
  g_audio.block.assign(static_cast<size_t>(kMaxPullFrames) * static_cast<size_t>(format.channels), 0);
  if (quarrelo_web_audio_open(format.rate, format.channels, silent ? 1 : 0)) return true;
  g_audio = Audio{};
  return false;
}

bool open_audio_device(const backend::AudioFormat& format, backend::AudioPull pull, void* user,
                       std::string& why) {
  if (start_audio(format, pull, user, false)) return true;
  why = "this browser gives the page no Web Audio output at this rate";
  return false;
}

bool open_silent_audio(const backend::AudioFormat& format, backend::AudioPull pull, void* user) {
  return start_audio(format, pull, user, true);
}

void close_audio() {
  quarrelo_web_audio_close();  // no pull comes after this
  g_audio = Audio{};
}

// ---- Debugger output -------------------------------------------------------------

std::string g_debug_line;  // debugger text not yet ended by a newline

bool see_debug_text(const char* text, size_t length) {
  g_debug_line.append(text, length);
  for (size_t end; (end = g_debug_line.find('\n')) != std::string::npos;) {
    const std::string line = g_debug_line.substr(0, end);
    g_debug_line.erase(0, end + 1);
    quarrelo_web_console_line(line.c_str());
  }
  return false;  // the console is the debugger output here
}

}  // namespace

// Called by browser.js: fills `frames` sample frames (at most 16384) from
// the output's pull and gives where they are; null when no output is open.
extern "C" EMSCRIPTEN_KEEPALIVE int16_t* quarrelo_web_audio_pull(int frames) {
  if (g_audio.pull == nullptr || frames <= 0) return nullptr;
  frames = std::min(frames, kMaxPullFrames);
  std::fill_n(g_audio.block.begin(), static_cast<size_t>(frames) * static_cast<size_t>(g_audio.channels), 0);
  g_audio.pull(g_audio.user, g_audio.block.data(), frames);
  return g_audio.block.data();
}

namespace backend {

// ---- Window --------------------------------------------------------------

bool window_create(int width, int height, const char* title) {
  if (g_window || width <= 0 || height <= 0) return false;
  if (!quarrelo_web_window_create(width, height, title ? title : "")) return false;
  g_window = true;
  return true;
}

void window_show() {
  if (g_window) quarrelo_web_window_show();
}

void window_set_fullscreen(bool fullscreen) {
  if (g_window) quarrelo_web_window_fullscreen(fullscreen ? 1 : 0);
}

void window_destroy() {
  if (!g_window) return;
  quarrelo_web_window_destroy();
  g_window = false;
  g_drawn = false;
}

bool window_exists() { return g_window; }

bool window_focused() { return g_window && quarrelo_web_window_focused() != 0; }

void window_capture_mouse(bool captured) {
  if (g_window) quarrelo_web_window_capture_mouse(captured ? 1 : 0);
}

// ---- Events --------------------------------------------------------------

bool poll_event(Event& event) {
  int fields[6] = {};
  if (!quarrelo_web_next_event(fields)) return false;
  event = Event{static_cast<EventKind>(fields[0]), fields[1], fields[2], fields[3], fields[4], fields[5]};
  return true;
}

// ---- Frames --------------------------------------------------------------

void present(const uint32_t* pixels, int width, int height, int pitch_bytes, bool same_as_last) {
  if (!g_window || pixels == nullptr || width <= 0 || height <= 0) return;
  // A still screen (the menu) is on the canvas already.
  if (same_as_last && g_drawn && width == g_width && height == g_height) return;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  const auto* rows = reinterpret_cast<const uint8_t*>(pixels);
  g_rgba.resize(count * 4);
  uint8_t* out = g_rgba.data();
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(rows + y * pitch_bytes);
    for (int x = 0; x < width; ++x, out += 4) {
      const uint32_t p = row[x];
      out[0] = static_cast<uint8_t>(p >> 16);
      out[1] = static_cast<uint8_t>(p >> 8);
      out[2] = static_cast<uint8_t>(p);
      out[3] = 0xFF;
    }
  }
  quarrelo_web_present(g_rgba.data(), width, height);
  g_drawn = true;
  g_width = width;
  g_height = height;
}

// ---- Time ----------------------------------------------------------------

// The page's clock, performance.now(), in microseconds since the page
// began: monotonic, and far from wrapping in 64 bits.
uint64_t clock_us() { return static_cast<uint64_t>(emscripten_get_now() * 1000.0); }

// Sleeps until the clock reads `when`; returns at once when it is past.
// The browser runs meanwhile: its events, timers and the audio pulls.
void sleep_until_us(uint64_t when) {
  const double at = static_cast<double>(when) / 1000.0;
  if (at > emscripten_get_now()) quarrelo_web_sleep_until(at);
}

// ---- Message box -------------------------------------------------------------

bool message_box_yes_no(const char* caption, const char* text) {
  return quarrelo_web_confirm(caption ? caption : "", text ? text : "") != 0;
}

const Driver kDriver = {"Web",       open_audio_device, close_audio, open_silent_audio,
                        close_audio, see_debug_text};

}  // namespace backend
