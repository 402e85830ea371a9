// Headless backend: the seam of platform/backend.h kept in memory, for tests.
// No display, no sound card, no real time. This header is the tests' control
// panel; program code never includes it.
//
// Clock. A virtual microsecond counter, 64 bits wide. Every
// backend::clock_us() read returns the counter and then moves it on by the
// tick step (1 ms unless set); backend::sleep_until_us moves it to the time
// asked for without waiting. GetTickCount steps over it as on the platform
// (every 15.625 ms; win32/kernel.cpp), and a poll of it sleeps to the next
// step, so a wait on the tick count ends deterministically. Reads made on
// the audio thread do not move it. The controls below read and set it in
// milliseconds, within 32 bits, the tick count's range, so a test can go
// near the wrap.
//
// Frames. A frame is one backend::present(). Frame numbers count from 0: the
// frame being made after k presents is frame k. Events scheduled "at frame k"
// are handed out by backend::poll_event once k frames have been presented,
// in the order they were scheduled; immediate events go first.
//
// Audio. audio_open starts a thread of its own that pulls the callback. Pulls
// happen in step with the virtual clock: each time the audio time (the
// virtual milliseconds that passed since audio_open through reads, sleeps and
// advance(); set_ticks jumps do not count) crosses a multiple of the audio
// period (10 ms unless set), the thread that moved the clock waits while the
// audio thread pulls every sample frame due up to that moment
// (floor(ms * rate / 1000) frames in total). The result depends only on the
// script, never on the machine's speed. Do not read the clock or sleep while
// holding a lock that the pull callback takes. Each period costs one hand-over
// between two threads (a few to tens of microseconds); a long soak run may
// raise the period. An output still open at process exit is closed by an
// atexit handler, before the program's static objects are destroyed.
//
// Cost per present: one copy of the frame when keep_last_frame is on (about
// 0.1-0.3 ms for 800x600); a long soak run may switch it off.
//
// Fault points: fail() and fault_checks() are the platform's fault registry
// (platform/fault_registry.h, part of the core, which the stand-in asks),
// here beside the rest of a test's controls; platform/fault_points.h lists
// every point with the result the failed call gives. A name that is not on
// the list ends the test process at once with a message naming it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/backend.h"

namespace headless {

// Puts the backend back as at process start: clock, scripts, frames, window,
// captures, faults, answers; closes the audio output. The platform families'
// own state (window classes, message queue, ...) is not touched: pair it
// with win32_internal::reset_for_tests() (platform/win32/windows_internal.h)
// to run several scenarios in one process.
void reset();

// ---- Clock -----------------------------------------------------------------

void set_ticks(uint32_t ms);      // jump; no audio is pulled for the jump
void advance(uint32_t ms);        // time passes: the clock moves and audio is pulled
uint32_t peek_ticks();            // the value the next read gives, without moving it
void set_tick_step(uint32_t ms);  // how far each read moves the clock (default 1)
uint64_t tick_reads();            // how many clock_us() reads so far
uint64_t slept_ms();              // total of all sleeps so far, in milliseconds

// ---- Window ------------------------------------------------------------------

bool window_exists();
bool window_shown();
bool window_fullscreen();
bool mouse_captured();
int window_width();
int window_height();
std::string window_title();
// Whether showing the window gives it the focus (default true).
void focus_on_show(bool gives_focus);

// ---- Scheduled and immediate events -------------------------------------------

// hid_usage: the USB HID usage id (SDL_Scancode numbering). Tests schedule
// keys by DirectInput code through tests/support/keys.h.
void key_at(uint64_t frame, int hid_usage, bool down);
void mouse_move_at(uint64_t frame, int dx, int dy);
void mouse_button_at(uint64_t frame, int button, bool down);
void mouse_wheel_at(uint64_t frame, int steps);
// Focus loss or regain: the window's focus flag changes when the event is
// handed out.
void focus_at(uint64_t frame, bool focused);
void close_at(uint64_t frame);  // the window manager's close button
// Handed out once the clock reads `ticks` or later, after the frame-scheduled
// events that are due. A game whose device is lost presents nothing, so
// frame numbers stand still while it waits: what ends the wait (the focus
// coming back, a close request) is scheduled by the clock instead.
void event_at_ticks(uint32_t ticks, const backend::Event& event);
// Immediate: queued in front of everything scheduled. Game controllers
// come this way or by event_at_ticks: Pad* events like any other.
void push_event(const backend::Event& event);
void set_focus(bool focused);  // queues FocusGained / FocusLost
void request_close();
size_t pending_events();  // scheduled and immediate, not yet handed out

// ---- Frames --------------------------------------------------------------------

struct Frame {
  const uint32_t* pixels;  // 0x00RRGGBB
  int width;
  int height;
  int pitch_bytes;
  uint64_t index;  // 0 for the first present
};
// Called inside every present, on the presenting thread. Empty: none.
void on_frame(std::function<void(const Frame&)> callback);
uint64_t frame_count();  // presents so far
// Presents told the frame was the one presented before (their copy is
// not made again).
uint64_t repeated_frames();
// Whether present keeps a copy of the frame (default true). A long soak
// run may switch it off to save the copy.
void keep_last_frame(bool keep);
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height, 0x00RRGGBB, rows packed
};
// A copy of the last frame kept (the next present may change the kept one
// while the caller looks).
Image last_frame();

// ---- Debugger output --------------------------------------------------------------

// Everything backend::debug_output received (it also goes to fd 2).
std::string debug_output();
void clear_debug_output();
// Whether debug_output is also written to fd 2 (default true).
void echo_debug_output(bool echo);

// ---- Message boxes -------------------------------------------------------------------

// Answers for the coming boxes, in order; when none is left the box is
// answered No.
void answer_message_box(bool yes);
struct MessageBoxRecord {
  std::string caption;
  std::string text;
  bool answered_yes;
};
std::vector<MessageBoxRecord> message_boxes();

// ---- Fault injection (the core's registry) -------------------------------------------

// The call at `point` fails `times` times (-1: always) after `after` calls
// that succeed. A new fail() for the same point replaces the old one. A name
// not in platform/fault_points.h aborts the process with a message. reset()
// forgets them.
void fail(const char* point, int times = 1, int after = 0);
// How often the point was asked so far (also when not failing).
int fault_checks(const char* point);

// ---- Audio ---------------------------------------------------------------------------

void set_audio_period_ms(uint32_t ms);  // default 10
bool audio_open();
bool audio_silent();  // the open output is the silent fallback
backend::AudioFormat audio_format();
uint64_t audio_frames_pulled();  // since the output was opened
// Captured samples (interleaved, as pulled) since open or the last clear,
// up to the capture limit; the silent fallback captures nothing.
std::vector<int16_t> audio_captured();
void clear_audio_capture();
void set_audio_capture_limit(uint64_t frames);  // default 60 s at 44100 Hz
int audio_peak();  // largest |sample| pulled since open (counted beyond the limit too)
// Writes the captured samples as a 16-bit PCM WAV file; false on failure.
bool save_audio_wav(const char* path);

}  // namespace headless
