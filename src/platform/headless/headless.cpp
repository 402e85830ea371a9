// Headless backend: platform/backend.h in memory. No display, no sound card,
// no real time; see headless.h for the behaviour and the test controls.
// Depends on the C++ standard library and POSIX write(2) only.
#include "platform/headless/headless.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/backend_driver.h"
#include "platform/fault_registry.h"

namespace {

constexpr uint32_t kStartTicks = 1000;
constexpr uint64_t kDefaultCaptureLimit = 60ull * 44100;
constexpr size_t kDebugCaptureLimit = 16u << 20;

// ---- Clock ---------------------------------------------------------------------

std::atomic<uint64_t> g_clock{kStartTicks * 1000ull};  // microseconds
std::atomic<uint32_t> g_tick_step{1};
std::atomic<uint64_t> g_tick_reads{0};
std::atomic<uint64_t> g_slept_us{0};

// ---- Audio -----------------------------------------------------------------------

thread_local bool t_on_audio_thread = false;

struct Audio {
  std::mutex mutex;              // guards everything below
  std::condition_variable wake;  // to the audio thread
  std::condition_variable done;  // back to the thread that moved the clock
  std::thread thread;
  bool open = false;
  bool silent = false;
  bool stop = false;
  backend::AudioFormat format;
  backend::AudioPull pull = nullptr;
  void* user = nullptr;
  uint64_t elapsed_us = 0;     // audio time since open
  uint64_t target_frames = 0;  // pulled up to here when the thread is idle
  uint64_t pulled_frames = 0;
  std::vector<int16_t> captured;
  uint64_t capture_limit = kDefaultCaptureLimit;
  int peak = 0;
  uint32_t period_ms = 10;
};
Audio g_audio;
std::atomic<bool> g_audio_open{false};

void audio_thread_main() {
  t_on_audio_thread = true;
  std::vector<int16_t> block;
  std::unique_lock lock(g_audio.mutex);
  for (;;) {
    g_audio.wake.wait(lock, [] { return g_audio.stop || g_audio.pulled_frames < g_audio.target_frames; });
    if (g_audio.stop) return;
    const uint64_t frames = g_audio.target_frames - g_audio.pulled_frames;
    const int channels = g_audio.format.channels;
    block.assign(frames * channels, 0);
    backend::AudioPull pull = g_audio.pull;
    void* user = g_audio.user;
    lock.unlock();
    pull(user, block.data(), static_cast<int>(frames));
    lock.lock();
    g_audio.pulled_frames += frames;
    if (!g_audio.silent) {
      for (int16_t s : block) {
        int a = s < 0 ? -static_cast<int>(s) : s;
        if (a > g_audio.peak) g_audio.peak = a;
      }
      const uint64_t have = g_audio.captured.size() / channels;
      if (have < g_audio.capture_limit) {
        const uint64_t take = std::min<uint64_t>(frames, g_audio.capture_limit - have);
        g_audio.captured.insert(g_audio.captured.end(), block.begin(), block.begin() + take * channels);
      }
    }
    g_audio.done.notify_all();
  }
}

// Audio time moves on by `ms`; pulls what is due when a period boundary is
// crossed, waiting for the audio thread to finish.
void audio_time_passes(uint64_t us) {
  if (us == 0 || t_on_audio_thread || !g_audio_open.load(std::memory_order_acquire)) return;
  std::unique_lock lock(g_audio.mutex);
  if (!g_audio.open) return;
  const uint64_t period = std::max<uint32_t>(1, g_audio.period_ms) * 1000ull;
  const uint64_t before = g_audio.elapsed_us / period;
  g_audio.elapsed_us += us;
  const uint64_t after = g_audio.elapsed_us / period;
  if (after == before) return;
  const uint64_t due_us = after * period;
  g_audio.target_frames = due_us * static_cast<uint64_t>(g_audio.format.rate) / 1000000;
  g_audio.wake.notify_all();
  g_audio.done.wait(lock, [] { return g_audio.stop || g_audio.pulled_frames >= g_audio.target_frames; });
}

// The one audio thread, pulling in step with the virtual clock; `silent`
// drops the samples instead of capturing them.
bool start_audio(const backend::AudioFormat& format, backend::AudioPull pull, void* user, bool silent) {
  {
    std::lock_guard lock(g_audio.mutex);
    g_audio.open = true;
    g_audio.silent = silent;
    g_audio.stop = false;
    g_audio.format = format;
    g_audio.pull = pull;
    g_audio.user = user;
    g_audio.elapsed_us = 0;
    g_audio.target_frames = 0;
    g_audio.pulled_frames = 0;
    g_audio.captured.clear();
    g_audio.peak = 0;
    g_audio.thread = std::thread(audio_thread_main);
  }
  g_audio_open.store(true, std::memory_order_release);
  return true;
}

bool open_audio_device(const backend::AudioFormat& format, backend::AudioPull pull, void* user,
                       std::string&) {
  return start_audio(format, pull, user, false);
}

bool open_silent_audio(const backend::AudioFormat& format, backend::AudioPull pull, void* user) {
  return start_audio(format, pull, user, true);
}

void close_audio() {
  std::thread thread;
  {
    std::lock_guard lock(g_audio.mutex);
    if (!g_audio.open) return;
    g_audio.stop = true;
    g_audio.open = false;
    g_audio_open.store(false, std::memory_order_release);
    thread = std::move(g_audio.thread);
  }
  g_audio.wake.notify_all();
  g_audio.done.notify_all();
  if (thread.joinable()) thread.join();
  std::lock_guard lock(g_audio.mutex);
  g_audio.pull = nullptr;
  g_audio.user = nullptr;
}

// ---- Everything else (program thread, but guarded: tests may poke from
// other threads and the mixer writes debug output) -----------------------------------

struct Scheduled {
  backend::Event event;
  bool focus_change = false;
};

struct State {
  std::mutex mutex;
  // window
  bool window = false;
  bool shown = false;
  bool fullscreen = false;
  bool captured = false;
  bool focused = false;
  bool focus_on_show = true;
  int width = 0;
  int height = 0;
  std::string title;
  // events
  std::deque<backend::Event> immediate;
  std::multimap<uint64_t, backend::Event> scheduled;
  std::vector<std::pair<uint32_t, backend::Event>> by_ticks;  // in the order scheduled
  // frames
  uint64_t frames = 0;
  bool keep_last = true;
  uint64_t same_frames = 0;  // presents told they were the last frame again
  uint64_t new_frames = 0;
  headless::Image last;
  std::function<void(const headless::Frame&)> on_frame;
  // debugger output
  std::string debug;
  bool echo = true;
  // message boxes
  std::deque<bool> answers;
  std::vector<headless::MessageBoxRecord> boxes;
};
State g_state;

// Keeps the debugger output for the test; the core also writes it to fd 2
// unless the test switched that off.
bool see_debug_text(const char* text, size_t length) {
  std::lock_guard lock(g_state.mutex);
  if (g_state.debug.size() + length <= kDebugCaptureLimit) g_state.debug.append(text, length);
  return g_state.echo;
}

// Applies what handing out an event means to the window's own flags.
void apply_locked(const backend::Event& e) {
  if (e.kind == backend::EventKind::FocusGained) g_state.focused = g_state.window;
  if (e.kind == backend::EventKind::FocusLost) g_state.focused = false;
}

void schedule(uint64_t frame, backend::EventKind kind, int code = 0, int dx = 0, int dy = 0) {
  backend::Event e{kind, code, dx, dy};
  std::lock_guard lock(g_state.mutex);
  g_state.scheduled.emplace(frame, e);
}

}  // namespace

// ==== The seam =====================================================================

namespace backend {

bool window_create(int width, int height, const char* title) {
  std::lock_guard lock(g_state.mutex);
  if (g_state.window) return false;
  g_state.window = true;
  g_state.shown = false;
  g_state.fullscreen = false;
  g_state.captured = false;
  g_state.focused = false;
  g_state.width = width;
  g_state.height = height;
  g_state.title = title ? title : "";
  return true;
}

void window_show() {
  std::lock_guard lock(g_state.mutex);
  if (!g_state.window || g_state.shown) return;
  g_state.shown = true;
  if (g_state.focus_on_show && !g_state.focused) {
    g_state.focused = true;
    g_state.immediate.push_back(Event{EventKind::FocusGained});
  }
}

void window_set_fullscreen(bool fullscreen) {
  std::lock_guard lock(g_state.mutex);
  if (g_state.window) g_state.fullscreen = fullscreen;
}

void window_destroy() {
  std::lock_guard lock(g_state.mutex);
  g_state.window = false;
  g_state.shown = false;
  g_state.fullscreen = false;
  g_state.captured = false;
  g_state.focused = false;
}

bool window_exists() {
  std::lock_guard lock(g_state.mutex);
  return g_state.window;
}

bool window_focused() {
  std::lock_guard lock(g_state.mutex);
  return g_state.window && g_state.focused;
}

void window_capture_mouse(bool captured) {
  std::lock_guard lock(g_state.mutex);
  g_state.captured = g_state.window && captured;
}

bool poll_event(Event& event) {
  std::lock_guard lock(g_state.mutex);
  if (!g_state.immediate.empty()) {
    event = g_state.immediate.front();
    g_state.immediate.pop_front();
    apply_locked(event);
    return true;
  }
  auto first = g_state.scheduled.begin();
  if (first != g_state.scheduled.end() && first->first <= g_state.frames) {
    event = first->second;
    g_state.scheduled.erase(first);
    apply_locked(event);
    return true;
  }
  const uint32_t now = static_cast<uint32_t>(g_clock.load(std::memory_order_relaxed) / 1000);
  for (auto it = g_state.by_ticks.begin(); it != g_state.by_ticks.end(); ++it) {
    if (static_cast<int32_t>(now - it->first) < 0) continue;  // not yet (the difference survives the wrap)
    event = it->second;
    g_state.by_ticks.erase(it);
    apply_locked(event);
    return true;
  }
  return false;
}

void present(const uint32_t* pixels, int width, int height, int pitch_bytes, bool same_as_last) {
  std::function<void(const headless::Frame&)> callback;
  uint64_t index;
  {
    std::lock_guard lock(g_state.mutex);
    index = g_state.frames;
    ++(same_as_last ? g_state.same_frames : g_state.new_frames);
    const bool kept = same_as_last && g_state.last.width == width && g_state.last.height == height;
    if (g_state.keep_last && pixels && width > 0 && height > 0 && !kept) {
      headless::Image& img = g_state.last;
      img.width = width;
      img.height = height;
      img.pixels.resize(static_cast<size_t>(width) * height);
      for (int y = 0; y < height; ++y)
        std::memcpy(img.pixels.data() + static_cast<size_t>(y) * width,
                    reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch_bytes,
                    static_cast<size_t>(width) * 4);
    }
    callback = g_state.on_frame;
  }
  if (callback) callback(headless::Frame{pixels, width, height, pitch_bytes, index});
  std::lock_guard lock(g_state.mutex);
  g_state.frames = index + 1;
}

uint64_t clock_us() {
  if (t_on_audio_thread) return g_clock.load(std::memory_order_relaxed);
  const uint64_t step = g_tick_step.load(std::memory_order_relaxed) * 1000ull;
  const uint64_t now = g_clock.fetch_add(step, std::memory_order_relaxed);
  g_tick_reads.fetch_add(1, std::memory_order_relaxed);
  audio_time_passes(step);
  return now;
}

void sleep_until_us(uint64_t when) {
  const uint64_t now = g_clock.load(std::memory_order_relaxed);
  if (when <= now) return;
  g_slept_us.fetch_add(when - now, std::memory_order_relaxed);
  if (t_on_audio_thread) return;
  g_clock.fetch_add(when - now, std::memory_order_relaxed);
  audio_time_passes(when - now);
}

bool message_box_yes_no(const char* caption, const char* text) {
  std::lock_guard lock(g_state.mutex);
  bool yes = false;
  if (!g_state.answers.empty()) {
    yes = g_state.answers.front();
    g_state.answers.pop_front();
  }
  g_state.boxes.push_back({caption ? caption : "", text ? text : "", yes});
  return yes;
}

// Audio output and debugger output go through the core; the silent output
// is this backend's own, in step with the virtual clock like the real one.
const Driver kDriver = {"headless",        open_audio_device, close_audio,
                        open_silent_audio, close_audio,       see_debug_text};

}  // namespace backend

// ==== Controls ======================================================================

namespace headless {

void reset() {
  backend::audio_close();
  {
    std::lock_guard lock(g_audio.mutex);
    g_audio.captured.clear();
    g_audio.capture_limit = kDefaultCaptureLimit;
    g_audio.peak = 0;
    g_audio.pulled_frames = 0;
    g_audio.period_ms = 10;
    g_audio.silent = false;
  }
  g_clock.store(kStartTicks * 1000ull);
  g_tick_step.store(1);
  g_tick_reads.store(0);
  g_slept_us.store(0);
  std::lock_guard lock(g_state.mutex);
  g_state.window = g_state.shown = g_state.fullscreen = g_state.captured = g_state.focused = false;
  g_state.focus_on_show = true;
  g_state.width = g_state.height = 0;
  g_state.title.clear();
  g_state.immediate.clear();
  g_state.scheduled.clear();
  g_state.by_ticks.clear();
  g_state.frames = 0;
  g_state.same_frames = g_state.new_frames = 0;
  g_state.keep_last = true;
  g_state.last = Image{};
  g_state.on_frame = nullptr;
  g_state.debug.clear();
  g_state.echo = true;
  g_state.answers.clear();
  g_state.boxes.clear();
  fault_registry::clear();
}

void set_ticks(uint32_t ms) { g_clock.store(ms * 1000ull); }
void advance(uint32_t ms) {
  g_clock.fetch_add(ms * 1000ull);
  audio_time_passes(ms * 1000ull);
}
uint32_t peek_ticks() { return static_cast<uint32_t>(g_clock.load() / 1000); }
void set_tick_step(uint32_t ms) { g_tick_step.store(ms); }
uint64_t tick_reads() { return g_tick_reads.load(); }
uint64_t slept_ms() { return g_slept_us.load() / 1000; }

#define LOCKED(expr)                     \
  do {                                   \
    std::lock_guard lock(g_state.mutex); \
    expr;                                \
  } while (0)

bool window_exists() { return backend::window_exists(); }
bool window_shown() { LOCKED(return g_state.window && g_state.shown); }
bool window_fullscreen() { LOCKED(return g_state.window && g_state.fullscreen); }
bool mouse_captured() { LOCKED(return g_state.window && g_state.captured); }
int window_width() { LOCKED(return g_state.width); }
int window_height() { LOCKED(return g_state.height); }
std::string window_title() { LOCKED(return g_state.title); }
void focus_on_show(bool gives_focus) { LOCKED(g_state.focus_on_show = gives_focus); }

void key_at(uint64_t frame, int hid_usage, bool down) {
  schedule(frame, down ? backend::EventKind::KeyDown : backend::EventKind::KeyUp, hid_usage);
}
void mouse_move_at(uint64_t frame, int dx, int dy) {
  schedule(frame, backend::EventKind::MouseMotion, 0, dx, dy);
}
void mouse_button_at(uint64_t frame, int button, bool down) {
  schedule(frame, down ? backend::EventKind::MouseButtonDown : backend::EventKind::MouseButtonUp, button);
}
void mouse_wheel_at(uint64_t frame, int steps) {
  schedule(frame, backend::EventKind::MouseWheel, 0, 0, steps);
}
void focus_at(uint64_t frame, bool focused) {
  schedule(frame, focused ? backend::EventKind::FocusGained : backend::EventKind::FocusLost);
}
void close_at(uint64_t frame) { schedule(frame, backend::EventKind::CloseRequest); }
void event_at_ticks(uint32_t ticks, const backend::Event& event) {
  LOCKED(g_state.by_ticks.emplace_back(ticks, event));
}
void push_event(const backend::Event& event) { LOCKED(g_state.immediate.push_back(event)); }
void set_focus(bool focused) {
  push_event(backend::Event{focused ? backend::EventKind::FocusGained : backend::EventKind::FocusLost});
}
void request_close() { push_event(backend::Event{backend::EventKind::CloseRequest}); }
size_t pending_events() {
  LOCKED(return g_state.immediate.size() + g_state.scheduled.size() + g_state.by_ticks.size());
}

void on_frame(std::function<void(const Frame&)> callback) { LOCKED(g_state.on_frame = std::move(callback)); }
uint64_t frame_count() { LOCKED(return g_state.frames); }
uint64_t repeated_frames() { LOCKED(return g_state.same_frames); }
void keep_last_frame(bool keep) { LOCKED(g_state.keep_last = keep); }
Image last_frame() { LOCKED(return g_state.last); }

std::string debug_output() { LOCKED(return g_state.debug); }
void clear_debug_output() { LOCKED(g_state.debug.clear()); }
void echo_debug_output(bool echo) { LOCKED(g_state.echo = echo); }

void answer_message_box(bool yes) { LOCKED(g_state.answers.push_back(yes)); }
std::vector<MessageBoxRecord> message_boxes() { LOCKED(return g_state.boxes); }

void fail(const char* point, int times, int after) { fault_registry::arm(point, times, after); }
int fault_checks(const char* point) { return fault_registry::questions(point); }

#undef LOCKED

#define ALOCKED(expr)                    \
  do {                                   \
    std::lock_guard lock(g_audio.mutex); \
    expr;                                \
  } while (0)

void set_audio_period_ms(uint32_t ms) { ALOCKED(g_audio.period_ms = ms == 0 ? 1 : ms); }
bool audio_open() { ALOCKED(return g_audio.open); }
bool audio_silent() { ALOCKED(return g_audio.open && g_audio.silent); }
backend::AudioFormat audio_format() { ALOCKED(return g_audio.format); }
uint64_t audio_frames_pulled() { ALOCKED(return g_audio.pulled_frames); }
std::vector<int16_t> audio_captured() { ALOCKED(return g_audio.captured); }
void clear_audio_capture() { ALOCKED(g_audio.captured.clear()); }
void set_audio_capture_limit(uint64_t frames) { ALOCKED(g_audio.capture_limit = frames); }
int audio_peak() { ALOCKED(return g_audio.peak); }

#undef ALOCKED

bool save_audio_wav(const char* path) {
  std::vector<int16_t> samples;
  backend::AudioFormat format;
  {
    std::lock_guard lock(g_audio.mutex);
    samples = g_audio.captured;
    format = g_audio.format;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  auto u32 = [&](uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    out.write(reinterpret_cast<const char*>(b), 4);
  };
  auto u16 = [&](uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    out.write(reinterpret_cast<const char*>(b), 2);
  };
  const uint32_t data_bytes = static_cast<uint32_t>(samples.size() * 2);
  const uint16_t block_align = static_cast<uint16_t>(format.channels * 2);
  out.write("RIFF", 4);
  u32(36 + data_bytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(static_cast<uint16_t>(format.channels));
  u32(static_cast<uint32_t>(format.rate));
  u32(static_cast<uint32_t>(format.rate) * block_align);
  u16(block_align);
  u16(16);
  out.write("data", 4);
  u32(data_bytes);
  for (int16_t s : samples) u16(static_cast<uint16_t>(s));
  return static_cast<bool>(out);
}

}  // namespace headless
