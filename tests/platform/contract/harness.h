// How the backend contract test drives a backend from outside, as a user or
// the machine would: one implementation per backend (harness_<name>.cpp).
// A backend that cannot be driven in some way (the template has no input)
// answers false, and the cases that need it are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace harness {

// The backend's name as its driver table gives it ("SDL", "headless").
std::string backend_name();

// Before and after each case.
void set_up();
void tear_down();

// Whether time passes exactly as let_time_pass says (a virtual clock), or
// only about so (the real clock of a busy machine).
bool exact_time();
// Lets `ms` milliseconds of the backend's time pass.
void let_time_pass(uint32_t ms);

// The next audio_open finds an audio device, or finds none; false when the
// backend cannot be made so.
bool provide_audio_device();
bool remove_audio_device();

// With the window made and shown by the test: the user presses and lets go
// of a key (USB HID usage id), another window takes the focus and gives it
// back, the window manager's close button is pressed. False when the
// backend cannot be driven so.
bool tap_key(int hid_usage);
bool focus_elsewhere();
bool focus_back();
bool press_close_button();

// The frame the window shows now (0x00RRGGBB, rows packed); false when the
// backend's window cannot be read back.
bool read_frame(std::vector<uint32_t>& pixels, int& width, int& height);
// Whether the window is full screen now: 1 or 0, or -1 when it cannot be told.
int fullscreen();
// The next Yes/No message box is answered so by the user; false when the
// harness cannot answer one (it would wait for a person).
bool answer_message_box(bool yes);

// How long a case waits for an event the harness caused, in the backend's
// time.
inline constexpr uint32_t kEventWaitMs = 5000;

}  // namespace harness
