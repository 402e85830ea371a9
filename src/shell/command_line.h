// The options the game takes on its command line, read before anything
// starts:
//   --computer left|right   the computer plays that side (without it, two
//                           people play)
//   --level 1|2|3           how well the computer plays, 2 unless given; also
//                           the level the menu's switch gives it
// Each as "--name value" or "--name=value", in any order, once each.
#pragma once

#include <string>

struct Options {
  int computerSide;   // NO_COMPUTER, SIDE_LEFT or SIDE_RIGHT (game/computer/opponent.h)
  int computerLevel;  // 1..3
};

// Reads the options from the words of `commandLine` (WinMain's: what
// follows the program's name; a word may stand in double quotes). False,
// with `error` set to the one line that says which option is wrong and what
// is accepted, when one is unknown, lacks its value, has a wrong one or is
// given twice; `options` is then unspecified.
bool Read_Options(const char* commandLine, Options* options, std::string* error);

// Tells the player the line: on standard error, or in a message box on
// Windows, where a windowed program has no console.
void Report_OptionError(const std::string& error);
