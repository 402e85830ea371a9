// The process entry of the program: hands over to WinMain as the Windows
// start-up code does, with the command line after the program name and the
// default show mode, and ends the process with WinMain's result through
// exit, as the C runtime does when main returns. In the browser build main
// is unwound and rewound around every sleep (Asyncify), and a return from
// it after the first sleep reaches no one: exit is what ends the program
// there.
#include <cstdlib>
#include <string>

#include "windows.h"

int main(int argc, char** argv) {
  std::string command_line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_line += ' ';
    command_line += argv[i];
  }
  std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWDEFAULT));
}
