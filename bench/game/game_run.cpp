// A whole game run on the headless backend, for the benchmarks that need a
// process of their own. Runs WinMain in the current folder.
//   game_run first-frame   ends the process at the first presented frame
//   game_run kept-memory   the same, printing "kept_kb <n>": the resident
//                          memory then, everything loaded and nothing more
//   game_run play          menu, a duel with throws and walks, a point, quit
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <windows.h>

#include "keys.h"

#include "platform/headless/headless.h"

namespace {

long resident_kb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool first_frame = argc > 1 && strcmp(argv[1], "first-frame") == 0;
  const bool kept_memory = argc > 1 && strcmp(argv[1], "kept-memory") == 0;
  headless::echo_debug_output(false);
  if (first_frame) {
    headless::on_frame([](const headless::Frame&) { _exit(0); });
  } else if (kept_memory) {
    headless::keep_last_frame(false);
    headless::on_frame([](const headless::Frame&) {
      std::printf("kept_kb %ld\n", resident_kb());
      std::fflush(stdout);
      _exit(0);
    });
  } else {
    headless::keep_last_frame(false);
    dik_tap(2, 0x1C);       // Enter: a duel
    dik_at(6, 0x11, true);  // W and Up: both walk
    dik_at(6, 0xC8, true);
    dik_tap(8, 0x21);  // F and right Ctrl: both throw
    dik_tap(8, 0x9D);
    dik_at(300, 0x11, false);
    dik_at(300, 0xC8, false);
    dik_tap(400, 0x01);  // Esc to the menu, Esc to quit
    dik_tap(402, 0x01);
  }
  char command_line[] = "";
  int code = WinMain(GetModuleHandleA(NULL), NULL, command_line, SW_SHOWDEFAULT);
  headless::reset();  // closes the audio output before the process ends
  return code;
}
