// Frame marks for the browser benchmarks: the web build linked with
// backend::present and backend::ticks_ms wrapped (-Wl,--wrap), so the game
// and the stand-in are the very ones the page runs. Every present records
// in the page when it came (Module.benchPresents) and how long the frame's
// work took (Module.benchWork): from the tick read that ended the previous
// frame's pacing wait to this present. The build without Asyncify ends the
// program after kPlainFrames presents, as its sleeps hold the page's thread.
#include <emscripten.h>

#include <cstdint>
#include <cstdlib>

namespace {

#ifdef QUARRELO_BENCH_PLAIN
constexpr int kPlainFrames = 300;
#endif
double g_last_tick_read = 0;
int g_presents = 0;

}  // namespace

extern "C" uint32_t __real__ZN7backend8ticks_msEv();
extern "C" void __real__ZN7backend7presentEPKjiii(const uint32_t* pixels, int width, int height, int pitch);

// backend::ticks_ms(), wrapped.
extern "C" uint32_t __wrap__ZN7backend8ticks_msEv() {
  const uint32_t ticks = __real__ZN7backend8ticks_msEv();
  g_last_tick_read = emscripten_get_now();
  return ticks;
}

// backend::present(const uint32_t*, int, int, int), wrapped.
extern "C" void __wrap__ZN7backend7presentEPKjiii(const uint32_t* pixels, int width, int height, int pitch) {
  __real__ZN7backend7presentEPKjiii(pixels, width, height, pitch);
  const double now = emscripten_get_now();
  EM_ASM(
      {
        (Module.benchPresents = Module.benchPresents || []).push($0);
        (Module.benchWork = Module.benchWork || []).push($1);
      },
      now, now - g_last_tick_read);
#ifdef QUARRELO_BENCH_PLAIN
  if (++g_presents == kPlainFrames) std::exit(0);
#else
  (void)g_presents;
#endif
}
