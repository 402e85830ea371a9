// The run log "Log.txt": every module writes its fixed lines into the
// process's standard error stream, which a RunLog points at the file while it
// lives. The stream is unit-buffered, so each line reaches the file at once.
#pragma once

#include <fstream>
#include <streambuf>

class RunLog {
 public:
  // Creates or empties "Log.txt" in the working folder and points the
  // standard error stream at it, clearing the stream's error state. A file
  // that cannot be created leaves the stream failed: every line is dropped.
  RunLog();
  // Gives the standard error stream its former destination back, then
  // flushes and closes the file.
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

 private:
  std::ofstream LogFile;
  std::streambuf* former;
};
