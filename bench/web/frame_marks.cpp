// Frame marks for the browser benchmarks: the web build linked with
// backend::present and backend::clock_us wrapped (-Wl,--wrap), so the game
// and the stand-in are the very ones the page runs. Every present records
// in the page when it came (Module.benchPresents) and how long the frame's
// work took (Module.benchWork): from the last read of the clock before it
// (the one that ended the previous frame's pacing wait, unless the frame
// read the clock itself) to this present. The build without Asyncify ends the
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

extern "C" uint64_t __real__ZN7backend8clock_usEv();
extern "C" void __real__ZN7backend7presentEPKjiiib(const uint32_t* pixels, int width, int height, int pitch,
                                                   bool same);

// backend::clock_us(), wrapped.
extern "C" uint64_t __wrap__ZN7backend8clock_usEv() {
  const uint64_t us = __real__ZN7backend8clock_usEv();
  g_last_tick_read = emscripten_get_now();
  return us;
}

// backend::present(const uint32_t*, int, int, int, bool), wrapped.
extern "C" void __wrap__ZN7backend7presentEPKjiiib(const uint32_t* pixels, int width, int height, int pitch,
                                                   bool same) {
  __real__ZN7backend7presentEPKjiiib(pixels, width, height, pitch, same);
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
