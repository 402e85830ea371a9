// The contract's harness for the headless backend: everything scripted
// through its control panel, time on its virtual clock.
#include "harness.h"
#include "platform/headless/headless.h"

namespace harness {

std::string backend_name() { return "headless"; }
void set_up() { headless::reset(); }
void tear_down() { headless::reset(); }

bool exact_time() { return true; }
void let_time_pass(uint32_t ms) { headless::advance(ms); }

bool provide_audio_device() { return true; }
bool remove_audio_device() {
  headless::fail("backend::audio_open");
  return true;
}

bool tap_key(int hid_usage) {
  headless::push_event({backend::EventKind::KeyDown, hid_usage});
  headless::push_event({backend::EventKind::KeyUp, hid_usage});
  return true;
}
bool focus_elsewhere() {
  headless::set_focus(false);
  return true;
}
bool focus_back() {
  headless::set_focus(true);
  return true;
}
bool press_close_button() {
  headless::request_close();
  return true;
}

bool read_frame(std::vector<uint32_t>& pixels, int& width, int& height) {
  const headless::Image frame = headless::last_frame();
  pixels = frame.pixels;
  width = frame.width;
  height = frame.height;
  return true;
}
int fullscreen() { return headless::window_fullscreen() ? 1 : 0; }
bool answer_message_box(bool yes) {
  headless::answer_message_box(yes);
  return true;
}

}  // namespace harness
