#pragma once

// What the benchmarks that race a peer program share: the wall time of one run of the program, and the
// median of a benchmark's rounds. Thread-safe: runPeerProgram() waits only for the child it spawned.

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace benchutil {

// Runs the program `arguments[0]`, found on the PATH, with `arguments`; returns the seconds from its start
// to its exit, or -1 when it could not start or did not exit with status 0.
// REQUIRES: `arguments` is not empty.
inline double peerProgramSeconds(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    return -1;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// Returns the median of `values`: the middle one, or the mean of the middle two.
// REQUIRES: `values` is not empty.
inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace benchutil
