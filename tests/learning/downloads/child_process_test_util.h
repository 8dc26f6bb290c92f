#pragma once

// ChildProcess: this test program started again as a child process that runs one test of its own, for
// tests that must end a process abruptly and start it anew. The child sees the parent's environment plus the
// variables given; it is killed when the ChildProcess is destroyed while still running.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace downloadtest {

class ChildProcess {
 public:
  // Starts this program with "--gtest_filter=`testName`" and `environment` added to the parent's.
  ChildProcess(const std::string& testName, const std::map<std::string, std::string>& environment);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // Ends the child at once with SIGKILL, as a crash or the system would, and reaps it.
  void kill();
  // Waits for the child to exit, for at most `timeout`. Returns its exit status, or std::nullopt when it
  // is still running (or was killed by a signal).
  std::optional<int> waitForExit(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
};

}  // namespace downloadtest
