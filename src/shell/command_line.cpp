// Reading the command line's options (see command_line.h).
#include <cstdio>
#include <sstream>
#include <vector>

#include <windows.h>

#include "game/computer/opponent.h"
#include "shell/command_line.h"

static const char ACCEPTED[] = "the options are --computer left|right and --level 1|2|3";

// The words of the line, double quotes around a word taken off.
static std::vector<std::string> Words_Of(const char* line) {
  std::vector<std::string> words;
  std::istringstream stream(line ? line : "");
  std::string word;
  while (stream >> word) {
    if (word.size() >= 2 && word.front() == '"' && word.back() == '"') word = word.substr(1, word.size() - 2);
    words.push_back(word);
  }
  return words;
}

static bool Fail(std::string* error, const std::string& why) {
  *error = "Quarrelo: " + why;
  return false;
}

bool Read_Options(const char* commandLine, Options* options, std::string* error) {
  options->computerSide = NO_COMPUTER;
  options->computerLevel = DEFAULT_COMPUTER_LEVEL;
  bool sideGiven = false, levelGiven = false;
  const std::vector<std::string> words = Words_Of(commandLine);
  for (size_t i = 0; i < words.size(); i++) {
    std::string name = words[i], value;
    bool hasValue = false;
    const size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      hasValue = true;
    }
    const bool side = name == "--computer", level = name == "--level";
    if (!side && !level) return Fail(error, "unknown option \"" + words[i] + "\"; " + ACCEPTED);
    if ((side && sideGiven) || (level && levelGiven)) return Fail(error, name + " is given twice");
    if (!hasValue) {
      if (i + 1 == words.size() || words[i + 1].rfind("--", 0) == 0)
        return Fail(error,
                    side ? "--computer needs a side: left or right" : "--level needs a level: 1, 2 or 3");
      value = words[++i];
    }
    if (side) {
      sideGiven = true;
      if (value == "left")
        options->computerSide = SIDE_LEFT;
      else if (value == "right")
        options->computerSide = SIDE_RIGHT;
      else
        return Fail(error, "--computer \"" + value + "\" is not a side: left or right");
    } else {
      levelGiven = true;
      if (value != "1" && value != "2" && value != "3")
        return Fail(error, "--level \"" + value + "\" is not a level: 1, 2 or 3");
      options->computerLevel = value[0] - '0';
    }
  }
  return true;
}

void Report_OptionError(const std::string& error) {
#ifdef _WIN32
  MessageBoxA(NULL, error.c_str(), "Quarrelo", MB_OK | MB_ICONERROR);
#else
  std::fprintf(stderr, "%s\n", error.c_str());
#endif
}
