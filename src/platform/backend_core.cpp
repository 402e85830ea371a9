// The parts of the seam every backend shares, written once over the
// backend's driver table (backend_driver.h): audio output and its silent
// fallback, and the debugger output's writer.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/backend_driver.h"
#include "platform/fault_registry.h"

namespace {

// ---- The core's silent output: pulls at the real rate into nothing ---------------

struct SilentOutput {
  std::thread thread;
  std::mutex mutex;
  std::condition_variable wake;
  bool stop = false;
};
SilentOutput g_silent;

void silent_main(backend::AudioFormat format, backend::AudioPull pull, void* user) {
  using clock = std::chrono::steady_clock;
  std::vector<int16_t> block;
  const auto start = clock::now();
  uint64_t pulled = 0;
  const auto rate = static_cast<uint64_t>(format.rate);
  std::unique_lock lock(g_silent.mutex);
  while (!g_silent.stop) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(clock::now() - start).count();
    const uint64_t due = static_cast<uint64_t>(elapsed) * rate / 1000000;
    if (due > pulled) {
      const int frames = static_cast<int>(std::min<uint64_t>(due - pulled, rate));
      block.assign(static_cast<size_t>(frames) * static_cast<size_t>(format.channels), 0);
      lock.unlock();
      pull(user, block.data(), frames);
      lock.lock();
      pulled += static_cast<uint64_t>(frames);
      if (due > pulled + rate) pulled = due;  // fell far behind: skip
    }
    g_silent.wake.wait_for(lock, std::chrono::milliseconds(10), [] { return g_silent.stop; });
  }
}

void start_core_silent(const backend::AudioFormat& format, backend::AudioPull pull, void* user) {
  g_silent.stop = false;
  g_silent.thread = std::thread(silent_main, format, pull, user);
}

void stop_core_silent() {
  {
    std::lock_guard lock(g_silent.mutex);
    g_silent.stop = true;
  }
  g_silent.wake.notify_all();
  g_silent.thread.join();
}

// ---- The one open output --------------------------------------------------------

enum class Output { None, Device, BackendSilent, CoreSilent };

std::mutex g_output_mutex;  // serialises open and close
Output g_output = Output::None;

void close_output_locked() {
  switch (g_output) {
    case Output::Device:
      backend::kDriver.close_audio_device();
      break;
    case Output::BackendSilent:
      backend::kDriver.close_silent_audio();
      break;
    case Output::CoreSilent:
      stop_core_silent();
      break;
    case Output::None:
      break;
  }
  g_output = Output::None;
}

void write_fd2(const char* text, size_t length) {
  while (length > 0) {
    const ssize_t n = ::write(2, text, length);
    if (n <= 0) return;
    text += n;
    length -= static_cast<size_t>(n);
  }
}

}  // namespace

namespace backend {

bool audio_open(const AudioFormat& format, AudioPull pull, void* user) {
  // An output still open when the process ends is closed before the
  // program's own static objects go (they were made before this runs).
  static const bool closes_at_exit = [] { return std::atexit([] { backend::audio_close(); }) == 0; }();
  (void)closes_at_exit;
  std::lock_guard lock(g_output_mutex);
  close_output_locked();
  if (pull == nullptr || format.rate <= 0 || (format.channels != 1 && format.channels != 2)) return false;

  std::string why;
  // A test may take the device away (the "backend::audio_open" fault point).
  if (fault_registry::fails_now("backend::audio_open")) {
    why = "taken away by the test";
  } else if (kDriver.open_audio_device(format, pull, user, why)) {
    g_output = Output::Device;
    return true;
  }
  char line[512];
  std::snprintf(line, sizeof line, "%s: no audio device (%s); silent output pulling %d Hz, %d channel(s)\n",
                kDriver.name, why.empty() ? "unknown reason" : why.c_str(), format.rate, format.channels);
  debug_output(line);
  if (kDriver.open_silent_audio != nullptr) {
    if (!kDriver.open_silent_audio(format, pull, user)) return false;
    g_output = Output::BackendSilent;
  } else {
    start_core_silent(format, pull, user);
    g_output = Output::CoreSilent;
  }
  return true;
}

void audio_close() {
  std::lock_guard lock(g_output_mutex);
  close_output_locked();
}

void debug_output(const char* text) {
  if (text == nullptr) return;
  const size_t length = std::strlen(text);
  if (kDriver.see_debug_text != nullptr && !kDriver.see_debug_text(text, length)) return;
  write_fd2(text, length);
}

}  // namespace backend
