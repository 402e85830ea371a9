// The contract's harness for the template backend: no audio device, no
// input, the real clock. Builds the contract against the template so the
// template keeps building and its audio and debugger output, which the core
// gives every backend, keep working.
#include <chrono>
#include <thread>

#include "harness.h"

namespace harness {

std::string backend_name() { return "template"; }
void set_up() {}
void tear_down() {}

bool exact_time() { return false; }
void let_time_pass(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool provide_audio_device() { return false; }
bool remove_audio_device() { return true; }

bool tap_key(int) { return false; }
bool focus_elsewhere() { return false; }
bool focus_back() { return false; }
bool press_close_button() { return false; }

bool read_frame(std::vector<uint32_t>&, int&, int&) { return false; }
int fullscreen() { return -1; }
bool answer_message_box(bool) { return false; }

}  // namespace harness
