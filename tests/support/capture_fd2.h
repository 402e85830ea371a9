// What a piece of code writes to file descriptor 2 (the debugger output of
// the platform stand-in), caught in a file of this process's own.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "scratch_folder.h"

// Runs `body` with file descriptor 2 sent to a file; gives what reached it.
inline std::string CaptureFd2(const std::function<void()>& body) {
  const ScratchFolder folder("quarrelo-fd2");
  const int file = open(folder.file("fd2.txt").c_str(), O_RDWR | O_CREAT, 0600);
  const int saved = dup(2);
  dup2(file, 2);
  body();
  dup2(saved, 2);
  close(saved);
  std::string text;
  char buffer[1024];
  ssize_t n;
  lseek(file, 0, SEEK_SET);
  while ((n = read(file, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  close(file);
  return text;
}
