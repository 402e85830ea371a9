// The debugger output the sound library gives for one failed step:
// "dsutil(<line>): <what> hr=<name> (0x<code>)\n", where <line> is the line
// of the DSUTIL_TRACE that reports it, looked up in src/sound/dsutil.cpp now,
// so that moving code keeps the tests true and a wrong line fails them.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace dsutil_trace {

// The nth trace of `what` in the body of `function` ("WaveFile::Close").
struct Site {
  const char* function;
  const char* what;
  int nth = 1;
};

inline const std::vector<std::string>& SourceLines() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> read;
    std::ifstream file(std::string(QUARRELO_SOURCE_DIR) + "/src/sound/dsutil.cpp");
    for (std::string line; std::getline(file, line);) read.push_back(line);
    return read;
  }();
  return lines;
}

// 1-based; 0 (and a test failure) when there is no such trace.
inline int LineOf(const Site& site) {
  const std::vector<std::string>& lines = SourceLines();
  const std::string definition = std::string(site.function) + "(";
  const std::string trace = std::string("DSUTIL_TRACE(\"") + site.what + "\"";
  for (size_t start = 0; start < lines.size(); start++) {
    // A definition starts at the beginning of its line.
    if (lines[start].empty() || lines[start][0] == ' ' || lines[start].find(definition) == std::string::npos)
      continue;
    int seen = 0;
    for (size_t i = start; i < lines.size() && lines[i] != "}"; i++)
      if (lines[i].find(trace) != std::string::npos && ++seen == site.nth) return static_cast<int>(i + 1);
  }
  ADD_FAILURE() << "no trace " << site.nth << " of " << site.what << " in " << site.function;
  return 0;
}

// The whole output of the site's trace for a result code shown as `code`,
// such as "E_FAIL (0x80004005)".
inline std::string Line(const Site& site, const std::string& code = "E_FAIL (0x80004005)") {
  return "dsutil(" + std::to_string(LineOf(site)) + "): " + site.what + " hr=" + code + "\n";
}

}  // namespace dsutil_trace
