// The contract's harness for the SDL backend, run under Xvfb (no window
// manager): keys typed through the X server's test extension (xdotool), the
// focus moved with the X server's input focus between the backend's window
// and a second window of the harness's own, the close button as the event
// SDL makes of the window manager's close request, the audio device chosen
// by SDL's audio driver setting. The harness never takes SDL's events
// itself: the backend does, through poll_event.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "harness.h"

namespace harness {
namespace {

SDL_Window* g_other = nullptr;

// The backend's window: the one SDL window that is not the harness's.
SDL_Window* backend_window() {
  for (Uint32 id = 1; id < 64; ++id) {
    SDL_Window* window = SDL_GetWindowFromID(id);
    if (window != nullptr && window != g_other) return window;
  }
  return nullptr;
}

void choose_audio_driver(const char* driver) {
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  setenv("SDL_AUDIODRIVER", driver, 1);
}

// The X key name of the USB usage ids the contract types.
const char* x_key_name(int hid_usage) {
  switch (hid_usage) {
    case 26:
      return "w";
    case 40:
      return "Return";
    case 41:
      return "Escape";
    case 80:
      return "Left";
    default:
      return nullptr;
  }
}

}  // namespace

std::string backend_name() { return "SDL"; }

void set_up() {}

void tear_down() {
  if (g_other != nullptr) SDL_DestroyWindow(g_other);
  g_other = nullptr;
  unsetenv("SDL_AUDIODRIVER");
}

bool exact_time() { return false; }
void let_time_pass(uint32_t ms) { SDL_Delay(ms); }

bool provide_audio_device() {
  choose_audio_driver("dummy");
  return true;
}

bool remove_audio_device() {
  choose_audio_driver("no-such-driver");
  return true;
}

bool tap_key(int hid_usage) {
  const char* name = x_key_name(hid_usage);
  if (name == nullptr) return false;
  const std::string command = std::string("xdotool keydown ") + name + " keyup " + name;
  return std::system(command.c_str()) == 0;
}

bool focus_elsewhere() {
  if (g_other == nullptr) {
    // Shown at once: SDL waits until the X server has mapped it.
    g_other = SDL_CreateWindow("ContractOther", 0, 0, 160, 120, SDL_WINDOW_SHOWN);
    if (g_other == nullptr) return false;
  }
  return SDL_SetWindowInputFocus(g_other) == 0;
}

bool focus_back() {
  SDL_Window* window = backend_window();
  return window != nullptr && SDL_SetWindowInputFocus(window) == 0;
}

bool press_close_button() {
  SDL_Window* window = backend_window();
  if (window == nullptr) return false;
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = SDL_GetWindowID(window);
  return SDL_PushEvent(&close) == 1;
}

// Reading the window back would read the renderer's, not what X shows:
// the end-to-end tests compare screenshots instead.
bool read_frame(std::vector<uint32_t>&, int&, int&) { return false; }

int fullscreen() {
  SDL_Window* window = backend_window();
  if (window == nullptr) return -1;
  return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP ? 1
                                                                                                       : 0;
}

// A shown box waits for a person.
bool answer_message_box(bool) { return false; }

}  // namespace harness
