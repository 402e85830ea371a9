// The real game on the SDL backend and the real clock, left on its menu,
// measuring itself for the benchmark report: from its 60th presented frame
// on, over the next kFrames, the processor time of the whole process and the
// time between presents. Prints one line and ends:
//   menu_idle frames <n> cpu_share <fraction of one core> median_ms <ms> p99_ms <ms>
// Needs a display and gets the focus from it (the report runs it under
// Xvfb). backend::present is wrapped at link time (-Wl,--wrap), so the game
// and the stand-in are the very ones the player runs. Built with
// QUARRELO_IDLE_IN_DUEL (quarrelo_duel_idle), it presses Enter on the menu
// first and measures a duel in which nobody moves.
#include <SDL.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "timing.h"

namespace {

constexpr int kSettleFrames = 60;
constexpr int kFrames = 400;  // six seconds

double process_cpu_seconds() {
  rusage used{};
  getrusage(RUSAGE_SELF, &used);
  return static_cast<double>(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
         static_cast<double>(used.ru_utime.tv_usec + used.ru_stime.tv_usec) * 1e-6;
}

double wall_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int g_presents = 0;
double g_start_cpu = 0;
std::vector<double> g_times;  // wall time of each present from the settled one on

#ifdef QUARRELO_IDLE_IN_DUEL
// Enter, as the SDL backend gets it from the keyboard.
void PushEnter(bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.scancode = SDL_SCANCODE_RETURN;
  event.key.keysym.sym = SDLK_RETURN;
  SDL_PushEvent(&event);
}
#endif

void Report() {
  const double cpu = process_cpu_seconds() - g_start_cpu;
  const double wall = g_times.back() - g_times.front();
  std::vector<double> periods;
  for (size_t i = 1; i < g_times.size(); ++i) periods.push_back((g_times[i] - g_times[i - 1]) * 1e3);
  std::printf("menu_idle frames %zu cpu_share %.4f median_ms %.3f p99_ms %.3f\n", periods.size(), cpu / wall,
              timing::median(periods), timing::p99(periods));
  std::fflush(stdout);
}

}  // namespace

extern "C" void __real__ZN7backend7presentEPKjiiib(const uint32_t* pixels, int width, int height, int pitch,
                                                   bool same);

// backend::present(const uint32_t*, int, int, int, bool), wrapped.
extern "C" void __wrap__ZN7backend7presentEPKjiiib(const uint32_t* pixels, int width, int height, int pitch,
                                                   bool same) {
  __real__ZN7backend7presentEPKjiiib(pixels, width, height, pitch, same);
  ++g_presents;
#ifdef QUARRELO_IDLE_IN_DUEL
  if (g_presents == kSettleFrames / 2 || g_presents == kSettleFrames / 2 + 3)
    PushEnter(g_presents == kSettleFrames / 2);
#endif
  if (g_presents < kSettleFrames) return;
  if (g_times.empty()) g_start_cpu = process_cpu_seconds();
  g_times.push_back(wall_seconds());
  if (static_cast<int>(g_times.size()) > kFrames) {
    Report();
    _exit(0);
  }
}
