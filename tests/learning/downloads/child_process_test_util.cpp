#include "learning/downloads/child_process_test_util.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

extern char** environ;

namespace downloadtest {

ChildProcess::ChildProcess(const std::string& testName,
                           const std::map<std::string, std::string>& environment) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable(*entry);
    if (!environment.contains(variable.substr(0, variable.find('=')))) {
      variables.push_back(variable);
    }
  }
  for (const auto& [name, value] : environment) {
    variables.push_back(name + "=" + value);
  }
  std::vector<char*> envp;
  for (std::string& variable : variables) {
    envp.push_back(variable.data());
  }
  envp.push_back(nullptr);
  std::string program = "/proc/self/exe";
  std::string filter = "--gtest_filter=" + testName;
  char* argv[] = {program.data(), filter.data(), nullptr};
  if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
    pid_ = -1;
  }
}

ChildProcess::~ChildProcess() {
  kill();
}

void ChildProcess::kill() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (pid_ > 0) {
    int status = 0;
    const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
    if (reaped == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return std::nullopt;
    }
    // Another process's exit wakes nothing here; looking again shortly is the plain way to wait for it.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return std::nullopt;
}

}  // namespace downloadtest
