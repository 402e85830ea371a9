// SDL2 backend: platform/backend.h on a real machine.
//
//   Window    one SDL window; full screen is SDL's "desktop" full screen (the
//             display mode is never changed) with the picture scaled to fit,
//             aspect kept and letter-boxed by the renderer's logical size.
//             Alt+Enter and F11 switch between that and a window of the
//             picture's size that the player can resize (the picture keeps
//             its aspect there too); the switch is the player's, not the
//             program's, so the program's full-screen device is not lost by
//             it, and its keys never reach the program. Nothing of it is
//             remembered between runs.
//             Only drivers that show a window are used: where SDL would fall
//             back to its off-screen or dummy driver (no display), no window
//             is made and one line says why; SDL_VIDEODRIVER still chooses
//             any driver when set.
//   Frames    a streaming XRGB8888 texture; presents without vsync. The
//             texture keeps the last frame, shown again whenever the window
//             needs painting (exposed, resized), so a window whose program
//             presents nothing (its device lost) still shows its picture; a
//             renderer that loses its textures shows black until the next
//             frame. A frame the device says is the last again is not
//             drawn again. The window is not minimised when it loses the
//             focus: a player with two displays may keep looking at it.
//   Input     SDL scancodes are USB HID usage ids and go out unchanged;
//             Alt+F4 also gives a close request; relative mouse mode while
//             the mouse is captured (pointer hidden and grabbed where the
//             X server has no relative mode). An Alt key reaches the
//             program only once another key is pressed with it, so Alt+Enter
//             and Alt+Tab leave nothing behind. Game controllers through
//             SDL's game controller interface, every one connected opened
//             and reported (which player each plays is the stand-in's
//             choice, platform/pads/).
//   Audio     an SDL audio device pulling the callback on SDL's audio thread;
//             without a device the core's silent output takes over
//             (backend_core.cpp), and one line says so on the debugger output.
//             ALSA's own error lines (libasound writes them to standard
//             error while SDL looks for a device) are silenced through its
//             error handler, reached in the library SDL loads.
//   Time      CLOCK_MONOTONIC in microseconds (usable before SDL starts); a
//             sleep is one absolute wait on it.
//   Debugger  written to fd 2 by the core.
//   Box       SDL_ShowMessageBox with Yes and No buttons.
//   Display   an X server that goes away while the game runs ends the
//             process from inside Xlib (its fatal I/O error handler prints
//             "X connection to ... broken" and exits with code 1): no
//             shutdown line is written, as the shutdown would touch the
//             dead display, but the run log is complete up to that moment
//             (every line is flushed as it is written).
// Depends on SDL2 (video, events, game controllers, audio) and POSIX
// (dlopen for libasound's error handler, when the library is there).
#include <SDL.h>
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/backend.h"
#include "platform/backend_driver.h"

namespace {

SDL_Window* g_window = nullptr;
SDL_Renderer* g_renderer = nullptr;
SDL_Texture* g_texture = nullptr;
int g_width = 0;
int g_height = 0;
bool g_video_started = false;
std::deque<backend::Event> g_pending;  // events made from one SDL event
bool g_texture_holds_frame = false;    // the texture holds the last frame presented

// The frame texture at the size of the frames presented.
bool make_texture(int width, int height) {
  if (g_texture) SDL_DestroyTexture(g_texture);
  g_texture =
      SDL_CreateTexture(g_renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  SDL_RenderSetLogicalSize(g_renderer, width, height);
  g_width = width;
  g_height = height;
  g_texture_holds_frame = false;
  return g_texture != nullptr;
}

// Paints the window with the last frame, which the frame texture keeps
// (black before the first, and after the renderer lost its textures until
// the next frame comes).
void show_kept_frame() {
  if (!g_window || !g_renderer) return;
  SDL_SetRenderDrawColor(g_renderer, 0, 0, 0, 255);
  SDL_RenderClear(g_renderer);
  if (g_texture && g_texture_holds_frame) SDL_RenderCopy(g_renderer, g_texture, nullptr, nullptr);
  SDL_RenderPresent(g_renderer);
}

bool set_in_environment(const char* name) {
  const char* value = SDL_getenv(name);
  return value != nullptr && value[0] != '\0';
}

// SDL's drivers that show nothing anyone can see; SDL falls back to the
// off-screen one where no display is reachable, which would leave the
// program a window that never gets the focus.
bool shows_nothing(const char* driver) {
  for (const char* name : {"offscreen", "dummy", "evdev"})
    if (SDL_strcasecmp(driver, name) == 0) return true;
  return false;
}

// The video drivers worth trying, in SDL's order, comma-separated: none
// that shows nothing, and no X11 or Wayland without its display named (so
// the Wayland client library has no reason to complain on the terminal).
std::string drivers_that_show() {
  std::string list;
  const bool x11 = set_in_environment("DISPLAY"), wayland = set_in_environment("WAYLAND_DISPLAY");
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* name = SDL_GetVideoDriver(i);
    if (name == nullptr || shows_nothing(name)) continue;
    if ((SDL_strcasecmp(name, "x11") == 0 && !x11) || (SDL_strcasecmp(name, "wayland") == 0 && !wayland))
      continue;
    if (!list.empty()) list += ',';
    list += name;
  }
  return list;
}

void say_no_display() {
  backend::debug_output(
      "SDL: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): the game has nowhere to show its "
      "window\n");
}

bool start_video() {
  if (g_video_started) return true;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  // A driver asked for by name is taken as asked, even one that shows
  // nothing (a test may want that).
  const bool asked = set_in_environment("SDL_VIDEODRIVER");
  const bool display_named = set_in_environment("DISPLAY") || set_in_environment("WAYLAND_DISPLAY");
  if (!asked) {
    const std::string drivers = drivers_that_show();
    if (drivers.empty()) {
      say_no_display();
      return false;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    if (!asked && !display_named) {
      say_no_display();  // what was left to try (a console's DRM) is not there either
    } else {
      std::string line = std::string("SDL: video does not start: ") + SDL_GetError() + "\n";
      backend::debug_output(line.c_str());
    }
    return false;
  }
  g_video_started = true;
  // Controllers are a convenience: without them the game plays on the
  // keyboard, and one line says why they are missing.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    std::string line = std::string("SDL: no game controllers: ") + SDL_GetError() + "\n";
    backend::debug_output(line.c_str());
  }
  return true;
}

// ---- Game controllers ------------------------------------------------------------

// The controllers open now, by SDL's instance id (the seam's pad id).
std::vector<std::pair<int, SDL_GameController*>> g_pads;

bool pad_open(int id) {
  for (const auto& pad : g_pads)
    if (pad.first == id) return true;
  return false;
}

// A controller connected (or there at start): opened, and reported once.
bool add_pad(int device_index, backend::Event& event) {
  SDL_GameController* controller = SDL_GameControllerOpen(device_index);
  if (controller == nullptr) return false;
  const int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  if (id < 0 || pad_open(id)) {
    SDL_GameControllerClose(controller);  // the reference this call took
    return false;
  }
  g_pads.emplace_back(id, controller);
  event = backend::Event{backend::EventKind::PadAdded};
  event.pad = id;
  return true;
}

bool remove_pad(int id, backend::Event& event) {
  for (auto it = g_pads.begin(); it != g_pads.end(); ++it) {
    if (it->first != id) continue;
    SDL_GameControllerClose(it->second);
    g_pads.erase(it);
    event = backend::Event{backend::EventKind::PadRemoved};
    event.pad = id;
    return true;
  }
  return false;
}

// The seam's name of an SDL controller button; -1 for one the seam has not.
int pad_button(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
      return backend::kPadSouth;
    case SDL_CONTROLLER_BUTTON_BACK:
      return backend::kPadBack;
    case SDL_CONTROLLER_BUTTON_START:
      return backend::kPadStart;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      return backend::kPadLeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
      return backend::kPadRightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return backend::kPadDpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return backend::kPadDpadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return backend::kPadDpadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return backend::kPadDpadRight;
    default:
      return -1;
  }
}

int pad_axis(Uint8 axis) {
  switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
      return backend::kPadLeftX;
    case SDL_CONTROLLER_AXIS_LEFTY:
      return backend::kPadLeftY;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
      return backend::kPadRightTrigger;
    default:
      return -1;
  }
}

// ---- Full screen or a window ------------------------------------------------------

bool g_fullscreen = false;  // what the window shows now

void show_fullscreen(bool fullscreen) {
  g_fullscreen = fullscreen;
  if (fullscreen) {
    // Cover the display with a borderless window first, so the picture is
    // right also where no window manager honours the full-screen request
    // (a bare X server), then ask for the desktop full-screen state.
    SDL_SetWindowResizable(g_window, SDL_FALSE);
    SDL_Rect bounds;
    const int display = SDL_GetWindowDisplayIndex(g_window);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) == 0) {
      SDL_SetWindowBordered(g_window, SDL_FALSE);
      SDL_SetWindowPosition(g_window, bounds.x, bounds.y);
      SDL_SetWindowSize(g_window, bounds.w, bounds.h);
    }
    SDL_SetWindowFullscreen(g_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(g_window, 0);
    SDL_SetWindowBordered(g_window, SDL_TRUE);
    SDL_SetWindowResizable(g_window, SDL_TRUE);
    SDL_SetWindowSize(g_window, g_width, g_height);
    SDL_SetWindowPosition(g_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  show_kept_frame();
}

// ---- Keys the window system keeps --------------------------------------------------

// An Alt key is held back from the program until another key is pressed
// with it: Alt+Enter switches the look, Alt+Tab leaves the window, and
// the program sees neither Alt. `Given`: its down went to the program, so
// its up goes too.
enum class AltKey : uint8_t { Up, HeldBack, Given };
AltKey g_alt[2];  // left, right
// An Enter whose down switched the look (Alt+Enter): its up is kept too,
// Alt let go first or not. Main and keypad Enter.
bool g_enter_kept[2];

void forget_held_keys() {
  g_alt[0] = g_alt[1] = AltKey::Up;
  g_enter_kept[0] = g_enter_kept[1] = false;
}

// Queues for the program what one key event gives it: nothing for the
// switch's keys, an Alt held back and the key for the others.
void take_key(const SDL_KeyboardEvent& key) {
  const SDL_Scancode code = key.keysym.scancode;
  const bool down = key.type == SDL_KEYDOWN;
  if (code == SDL_SCANCODE_F11) {
    if (down && g_window) show_fullscreen(!g_fullscreen);
    return;
  }
  const int alt = code == SDL_SCANCODE_LALT ? 0 : code == SDL_SCANCODE_RALT ? 1 : -1;
  if (alt >= 0) {
    if (down) {
      if (g_alt[alt] == AltKey::Up) g_alt[alt] = AltKey::HeldBack;
      return;
    }
    const bool given = g_alt[alt] == AltKey::Given;
    g_alt[alt] = AltKey::Up;
    if (given) g_pending.push_back(backend::Event{backend::EventKind::KeyUp, static_cast<int>(code)});
    return;
  }
  const int enter = code == SDL_SCANCODE_RETURN ? 0 : code == SDL_SCANCODE_KP_ENTER ? 1 : -1;
  if (enter >= 0 && down && (key.keysym.mod & KMOD_ALT)) {
    g_enter_kept[enter] = true;
    if (g_window) show_fullscreen(!g_fullscreen);
    return;
  }
  if (enter >= 0 && !down && g_enter_kept[enter]) {
    g_enter_kept[enter] = false;
    return;
  }
  for (int i = 0; i < 2; ++i) {
    if (g_alt[i] != AltKey::HeldBack) continue;
    g_alt[i] = AltKey::Given;
    g_pending.push_back(backend::Event{backend::EventKind::KeyDown,
                                       static_cast<int>(i == 0 ? SDL_SCANCODE_LALT : SDL_SCANCODE_RALT)});
  }
  g_pending.push_back(
      backend::Event{down ? backend::EventKind::KeyDown : backend::EventKind::KeyUp, static_cast<int>(code)});
  // Alt+F4 asks to close the window, as the platform's default processing
  // of the key does (a window manager may do the same; a second request
  // finds the window gone).
  if (down && code == SDL_SCANCODE_F4 && (key.keysym.mod & KMOD_ALT))
    g_pending.push_back(backend::Event{backend::EventKind::CloseRequest});
}

// ---- Audio ---------------------------------------------------------------------

// The audio device: SDL pulls on its own audio thread.
struct Audio {
  SDL_AudioDeviceID device = 0;
  backend::AudioFormat format;
  backend::AudioPull pull = nullptr;
  void* user = nullptr;
};
Audio g_audio;

void sdl_audio_callback(void* userdata, Uint8* stream, int len) {
  Audio* audio = static_cast<Audio*>(userdata);
  const int frame_bytes = 2 * audio->format.channels;
  std::memset(stream, 0, static_cast<size_t>(len));
  audio->pull(audio->user, reinterpret_cast<int16_t*>(stream), len / frame_bytes);
}

extern "C" {
static void drop_alsa_error(const char*, int, const char*, int, const char*, ...) {}
}

// libasound writes lines of its own to standard error when SDL's ALSA
// driver finds no card ("ALSA lib confmisc.c:...: cannot find card '0'",
// ...), beside the one line the core writes with SDL's reason. Its error
// handler is set to one that writes nothing, in the library as SDL loads
// it (same name, so the same copy); the library stays loaded, so the
// handler stays set. Without libasound there is nothing to quiet.
void quiet_alsa() {
  static bool done = false;
  if (done) return;
  done = true;
  void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  auto set_handler = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler"));
  if (set_handler != nullptr) set_handler(drop_alsa_error);
}

bool open_audio_device(const backend::AudioFormat& format, backend::AudioPull pull, void* user,
                       std::string& why) {
  g_audio.format = format;
  g_audio.pull = pull;
  g_audio.user = user;
  quiet_alsa();
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    why = SDL_GetError();
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = format.rate;
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(format.channels);
  // At most 512 sample frames per pull: 23 ms of latency at 22050 Hz,
  // 11.6 ms at 44100 Hz.
  want.samples = 512;
  want.callback = sdl_audio_callback;
  want.userdata = &g_audio;
  SDL_AudioSpec have{};
  g_audio.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (g_audio.device == 0) {
    why = SDL_GetError();
    return false;
  }
  SDL_PauseAudioDevice(g_audio.device, 0);
  return true;
}

void close_audio_device() {
  SDL_CloseAudioDevice(g_audio.device);  // waits for a running callback
  g_audio = Audio{};
}

}  // namespace

namespace backend {

// ---- Window ----------------------------------------------------------------------

bool window_create(int width, int height, const char* title) {
  if (g_window || !start_video()) return false;
  g_window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                              height, SDL_WINDOW_HIDDEN);
  if (!g_window) {
    std::string line = std::string("SDL: no window: ") + SDL_GetError() + "\n";
    debug_output(line.c_str());
    return false;
  }
  g_renderer = SDL_CreateRenderer(g_window, -1, SDL_RENDERER_ACCELERATED);
  if (!g_renderer) g_renderer = SDL_CreateRenderer(g_window, -1, SDL_RENDERER_SOFTWARE);
  if (!g_renderer || !make_texture(width, height)) {
    std::string line = std::string("SDL: no renderer: ") + SDL_GetError() + "\n";
    debug_output(line.c_str());
    window_destroy();
    return false;
  }
  return true;
}

void window_show() {
  if (!g_window) return;
  SDL_ShowWindow(g_window);
  SDL_RaiseWindow(g_window);
  show_kept_frame();
}

void window_set_fullscreen(bool fullscreen) {
  if (g_window) show_fullscreen(fullscreen);
}

void window_destroy() {
  g_pending.clear();
  g_fullscreen = false;
  forget_held_keys();
  g_texture_holds_frame = false;
  if (SDL_GetRelativeMouseMode()) SDL_SetRelativeMouseMode(SDL_FALSE);
  if (g_texture) SDL_DestroyTexture(g_texture);
  if (g_renderer) SDL_DestroyRenderer(g_renderer);
  if (g_window) SDL_DestroyWindow(g_window);
  g_texture = nullptr;
  g_renderer = nullptr;
  g_window = nullptr;
}

bool window_exists() { return g_window != nullptr; }

bool window_focused() { return g_window && (SDL_GetWindowFlags(g_window) & SDL_WINDOW_INPUT_FOCUS) != 0; }

void window_capture_mouse(bool captured) {
  if (!g_window) return;
  if (SDL_SetRelativeMouseMode(captured ? SDL_TRUE : SDL_FALSE) != 0) {
    // No relative mode (some X servers): hide the pointer and grab it.
    SDL_ShowCursor(captured ? SDL_DISABLE : SDL_ENABLE);
    SDL_SetWindowGrab(g_window, captured ? SDL_TRUE : SDL_FALSE);
  }
}

// ---- Events ------------------------------------------------------------------------

bool poll_event(Event& event) {
  if (!g_video_started) return false;
  if (!g_pending.empty()) {
    event = g_pending.front();
    g_pending.pop_front();
    return true;
  }
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_WINDOWEVENT:
        if (!g_window || e.window.windowID != SDL_GetWindowID(g_window)) break;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          event = Event{EventKind::CloseRequest};
          return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
          event = Event{EventKind::FocusGained};
          return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          forget_held_keys();  // their ups go elsewhere
          event = Event{EventKind::FocusLost};
          return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
            e.window.event == SDL_WINDOWEVENT_SHOWN || e.window.event == SDL_WINDOWEVENT_RESTORED) {
          show_kept_frame();
        }
        break;
      case SDL_RENDER_DEVICE_RESET:  // every texture is gone
        if (g_window && g_renderer) make_texture(g_width, g_height);
        show_kept_frame();
        break;
      case SDL_RENDER_TARGETS_RESET:
        show_kept_frame();
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (e.key.repeat) break;
        take_key(e.key);
        if (g_pending.empty()) break;
        event = g_pending.front();
        g_pending.pop_front();
        return true;
      case SDL_CONTROLLERDEVICEADDED:
        if (add_pad(e.cdevice.which, event)) return true;
        break;
      case SDL_CONTROLLERDEVICEREMOVED:
        if (remove_pad(e.cdevice.which, event)) return true;
        break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP: {
        const int button = pad_button(e.cbutton.button);
        if (button < 0 || !pad_open(e.cbutton.which)) break;
        event = Event{e.type == SDL_CONTROLLERBUTTONDOWN ? EventKind::PadButtonDown : EventKind::PadButtonUp,
                      button};
        event.pad = e.cbutton.which;
        return true;
      }
      case SDL_CONTROLLERAXISMOTION: {
        const int axis = pad_axis(e.caxis.axis);
        if (axis < 0 || !pad_open(e.caxis.which)) break;
        event = Event{EventKind::PadAxis, axis};
        event.pad = e.caxis.which;
        event.value = e.caxis.value;
        return true;
      }
      case SDL_MOUSEMOTION:
        event = Event{EventKind::MouseMotion, 0, e.motion.xrel, e.motion.yrel};
        return true;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int button = -1;
        switch (e.button.button) {
          case SDL_BUTTON_LEFT:
            button = 0;
            break;
          case SDL_BUTTON_RIGHT:
            button = 1;
            break;
          case SDL_BUTTON_MIDDLE:
            button = 2;
            break;
          case SDL_BUTTON_X1:
            button = 3;
            break;
          default:
            break;
        }
        if (button < 0) break;
        event = Event{e.type == SDL_MOUSEBUTTONDOWN ? EventKind::MouseButtonDown : EventKind::MouseButtonUp,
                      button};
        return true;
      }
      case SDL_MOUSEWHEEL: {
        int steps = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
        if (steps == 0) break;
        event = Event{EventKind::MouseWheel, 0, 0, steps};
        return true;
      }
      default:
        break;  // SDL_QUIT follows a window's close, which is already reported
    }
  }
  return false;
}

// ---- Frames --------------------------------------------------------------------------

void present(const uint32_t* pixels, int width, int height, int pitch_bytes, bool same_as_last) {
  if (!g_window || !g_renderer || !pixels || width <= 0 || height <= 0) return;
  // The same picture again (a still screen such as the menu) is on the
  // window already.
  if (same_as_last && g_texture_holds_frame && width == g_width && height == g_height) return;
  if ((width != g_width || height != g_height || !g_texture) && !make_texture(width, height)) return;
  g_texture_holds_frame = SDL_UpdateTexture(g_texture, nullptr, pixels, pitch_bytes) == 0;
  show_kept_frame();
}

// ---- Time -------------------------------------------------------------------------------

uint64_t clock_us() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

void sleep_until_us(uint64_t when) {
  const timespec at{static_cast<time_t>(when / 1000000), static_cast<long>(when % 1000000) * 1000L};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
  }
}

// ---- Debugger output and message box --------------------------------------------------------

bool message_box_yes_no(const char* caption, const char* text) {
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData box{};
  box.flags = SDL_MESSAGEBOX_ERROR | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  box.window = g_window;
  box.title = caption ? caption : "";
  box.message = text ? text : "";
  box.numbuttons = 2;
  box.buttons = buttons;
  int chosen = 0;
  if (SDL_ShowMessageBox(&box, &chosen) != 0) {
    std::string line = std::string("SDL: no message box (") + SDL_GetError() +
                       "); answered No: " + box.title + ": " + box.message + "\n";
    debug_output(line.c_str());
    return false;
  }
  return chosen == 1;
}

// Audio output and debugger output go through the core; without a device
// the core's silent output pulls at the real rate.
const Driver kDriver = {"SDL", open_audio_device, close_audio_device, nullptr, nullptr, nullptr};

}  // namespace backend
