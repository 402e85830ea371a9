// The seam between the platform stand-in and the machine under it.
//
// The stand-in (win32, d3d9, dinput, dsound, mmio) asks the backend for a
// window, its events, a clock, frame presentation, audio output, debugger
// output and a message box, and nothing else. Each backend fills this table:
//   platform/sdl/       a real SDL2 window, keyboard, mouse and audio device;
//   platform/headless/  everything in memory for tests (platform/headless/
//                       headless.h is its control panel);
//   platform/web/       a browser page's canvas, events and Web Audio, in the
//                       browser build (Emscripten);
//   platform/template/  the one to copy for a new one (built and tested).
// The backend is chosen at link time; there is no runtime switch.
//
// What every backend does alike lives once in the core (backend_core.cpp):
// audio_open, audio_close and debug_output are written there, over a small
// table each backend fills (backend_driver.h). A backend implements every
// other function below.
//
// Adding a backend:
//   1. Copy platform/template/ to platform/<name>/ and rename its object
//      library in sources.cmake to quarrelo_platform_<name>; add <name> to
//      the list of backends in platform/CMakeLists.txt.
//   2. Fill in each function (its comment says what it must do) and the
//      driver table, and say at the top of the file what the backend needs
//      and where it falls short.
//   3. Build the backend contract test against it (tests/platform/
//      contract/: a harness file saying how a test drives the backend from
//      outside, and an entry in tests/platform/CMakeLists.txt) and make it
//      pass.
//   4. Link the program with it in place of quarrelo_platform_sdl.
//   Game controllers are optional: a backend that has them reports each one
//   by the Pad* events below (its arrival, its buttons and axes, its
//   going); the stand-in decides which player it plays and which keys it
//   presses (platform/pads/). A backend without them never sends those.
//
// Every function here is called from the program's thread, except the audio
// pull callback, which the backend runs on a thread of its own.
#pragma once

#include <cstdint>

namespace backend {

// ---- Window --------------------------------------------------------------

// Creates the one window, client area width x height, hidden until shown.
// False when no window can be had.
bool window_create(int width, int height, const char* title);
void window_show();
// Full screen means the desktop's own resolution with the picture scaled to
// fit, aspect kept and letter-boxed; the display mode is never changed.
void window_set_fullscreen(bool fullscreen);
void window_destroy();
bool window_exists();
// True while the window is the foreground window with keyboard focus.
bool window_focused();
// Hides the pointer and keeps all mouse motion for the window (relative
// mode) while captured; gives it back when released.
void window_capture_mouse(bool captured);

// ---- Events --------------------------------------------------------------

enum class EventKind : uint8_t {
  CloseRequest,  // the window manager's close button, Alt+F4
  FocusGained,
  FocusLost,
  KeyDown,          // code: the key's USB HID usage id (the numbering SDL_Scancode uses)
  KeyUp,            // code: as KeyDown
  MouseMotion,      // dx, dy: relative movement in pixels
  MouseButtonDown,  // code: 0 left, 1 right, 2 middle, 3 first side button
  MouseButtonUp,    // code: as MouseButtonDown
  MouseWheel,       // dy: wheel steps, positive away from the user
  // Game controllers. pad: the controller's id, the backend's own, unique
  // among the controllers connected and never reused within the run.
  PadAdded,       // a controller was connected (or was there at start)
  PadRemoved,     // it went; its buttons and axes count as let go
  PadButtonDown,  // code: a PadButton
  PadButtonUp,    // code: as PadButtonDown
  PadAxis,        // code: a PadAxis; value: its new position
};

// The controls of a game controller (the layout of the common pads with
// two sticks), named by place: South is the lower face button ("A").
enum PadButton : int {
  kPadSouth,
  kPadBack,
  kPadStart,
  kPadLeftShoulder,
  kPadRightShoulder,
  kPadDpadUp,
  kPadDpadDown,
  kPadDpadLeft,
  kPadDpadRight,
  kPadButtonCount
};
// Sticks from -32768 (left, up) to 32767 (right, down), 0 at rest; the
// trigger from 0 (let go) to 32767 (pulled all the way).
enum PadAxis : int { kPadLeftX, kPadLeftY, kPadRightTrigger, kPadAxisCount };

struct Event {
  EventKind kind;
  int code = 0;
  int dx = 0;
  int dy = 0;
  int pad = 0;    // Pad* events: the controller
  int value = 0;  // PadAxis: the position
};

// Takes the next pending event without waiting; false when none is pending.
bool poll_event(Event& event);

// ---- Frames --------------------------------------------------------------

// Shows one finished frame: width x height pixels, 0x00RRGGBB (XRGB8888),
// rows pitch_bytes apart. `same_as_last`: the frame is, pixel for pixel,
// the one presented last (the device knows when nothing was drawn that
// changed it, as on a still screen): the window shows it already.
void present(const uint32_t* pixels, int width, int height, int pitch_bytes, bool same_as_last);

// ---- Audio output --------------------------------------------------------

struct AudioFormat {
  int rate = 44100;  // sample frames per second
  int channels = 2;  // 1 or 2; samples are signed 16-bit, interleaved
};

// Fills `frames` sample frames of `out`. Runs on the backend's audio thread.
using AudioPull = void (*)(void* user, int16_t* out, int frames);

// Opens the output and starts pulling. When no device can be opened the
// output falls back to a silent one that still pulls at the real rate (and
// says so once on the debugger output). Only one output is open at a time;
// opening again closes the previous one first. After audio_close returns the
// callback is never called again.
bool audio_open(const AudioFormat& format, AudioPull pull, void* user);
void audio_close();

// ---- Time ----------------------------------------------------------------

// Microseconds since an arbitrary start; never goes back and, 64 bits wide,
// never wraps. Any thread. The stand-in's GetTickCount steps over it as the
// platform's system timer does (every 15,625 microseconds), and lets a
// program that keeps polling it sleep (platform/win32/kernel.cpp): a
// backend implements no rule of its own.
uint64_t clock_us();
// Returns once clock_us() has reached `when`, at once when it has already;
// the calling thread sleeps meanwhile, in one wait straight to the time.
void sleep_until_us(uint64_t when);

// ---- Debugger output and message box -------------------------------------

// Writes text as given (no newline added) to the debugger output, which here
// is the process's standard error file descriptor, written directly.
void debug_output(const char* text);
// Asks a Yes/No question; true for Yes.
bool message_box_yes_no(const char* caption, const char* text);

}  // namespace backend
