// Runs a program as a process of its own in a given working folder and
// reports what it used: wall time, processor time (user and system, all its
// threads) and peak resident memory.
#pragma once

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

struct ProcessUsage {
  double wall_seconds = 0;
  double cpu_seconds = 0;
  long max_rss_kb = 0;
};

// False when the program could not be started or did not exit with 0.
// `environment` adds NAME=value settings to this process's own; `output`,
// when given, receives what the program wrote to its standard output.
inline bool RunProcess(const std::string& folder, const std::vector<std::string>& args, ProcessUsage* usage,
                       const std::vector<std::string>& environment = {}, std::string* output = nullptr) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  int pipe_ends[2] = {-1, -1};
  if (output != nullptr) {
    if (pipe(pipe_ends) != 0) return false;
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  }
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  for (char** e = environ; *e != nullptr; ++e) envp.push_back(*e);
  envp.push_back(nullptr);
  const auto begin = std::chrono::steady_clock::now();
  pid_t pid;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (output != nullptr) {
    close(pipe_ends[1]);
    if (spawned == 0) {
      char buffer[4096];
      ssize_t n;
      while ((n = read(pipe_ends[0], buffer, sizeof buffer)) > 0)
        output->append(buffer, static_cast<size_t>(n));
    }
    close(pipe_ends[0]);
  }
  if (spawned != 0) return false;
  int status = 0;
  struct rusage used {};
  if (wait4(pid, &status, 0, &used) != pid) return false;
  usage->wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  usage->cpu_seconds = static_cast<double>(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
                       static_cast<double>(used.ru_utime.tv_usec + used.ru_stime.tv_usec) * 1e-6;
  usage->max_rss_kb = used.ru_maxrss;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
