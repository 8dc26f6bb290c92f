#pragma once

// TerminalSession: a quillmark process on the far side of a pseudo-terminal, as a person at a terminal
// runs it: the test types keys and reads what the terminal shows, waiting for what it needs to see.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace e2e {

class TerminalSession {
 public:
  // Runs quillmark with `home` and `moreFlags`.
  explicit TerminalSession(const std::string& home, const std::vector<std::string>& moreFlags = {}) {
    std::vector<std::string> arguments = {QUILLMARK_EXECUTABLE, "--home", home};
    arguments.insert(arguments.end(), moreFlags.begin(), moreFlags.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      execv(QUILLMARK_EXECUTABLE, argv.data());
      _exit(127);
    }
    termios settings{};
    tcgetattr(terminal_, &settings);
    echoAtStart_ = (settings.c_lflag & ECHO) != 0;
  }
  ~TerminalSession() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(terminal_);
  }

  // Reads what the terminal shows until `text` has appeared at or after `from` and a prompt ends it.
  // Returns false when that does not happen within the deadline.
  bool readUntilPrompt(const std::string& text, std::size_t from) {
    return readUntil([&] { return shown_.find(text, from) != std::string::npos && shown_.ends_with("> "); });
  }

  // Reads what the terminal shows until `text` has appeared at or after `from`; returns where, or
  // std::string::npos when it does not appear within the deadline.
  std::size_t readUntilShown(const std::string& text, std::size_t from) {
    readUntil([&] { return shown_.find(text, from) != std::string::npos; });
    return shown_.find(text, from);
  }

  // Reads what the terminal shows until a command runs: the terminal is quiet (it neither echoes nor edits
  // lines), and the line editor does not hold it (the editor turns the extended input keys off).
  bool readUntilACommandRuns() {
    return readUntil([&] {
      termios settings{};
      return tcgetattr(terminal_, &settings) == 0 && (settings.c_lflag & (ICANON | ECHO)) == 0 &&
             (settings.c_lflag & IEXTEN) != 0;
    });
  }

  // Waits for the process to end, reading what it shows meanwhile; returns its exit status, or -1 when it
  // does not end within the deadline.
  int exitStatus() {
    int status = 0;
    if (!readUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) {
      return -1;
    }
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void type(const std::string& keys) {
    ASSERT_EQ(write(terminal_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  void signal(int number) { kill(pid_, number); }

  const std::string& shown() const { return shown_; }
  // Whether the terminal echoes as it did when the session started.
  bool echoesAsAtStart() const {
    termios settings{};
    return tcgetattr(terminal_, &settings) == 0 && ((settings.c_lflag & ECHO) != 0) == echoAtStart_;
  }

 private:
  pid_t pid_ = 0;
  int terminal_ = -1;
  bool echoAtStart_ = true;
  std::string shown_;

  template <typename Done>
  bool readUntil(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      pollfd readable{terminal_, POLLIN, 0};
      char buffer[1024];
      if (poll(&readable, 1, 100) > 0) {
        const ssize_t count = read(terminal_, buffer, sizeof buffer);
        if (count > 0) {
          shown_.append(buffer, static_cast<std::size_t>(count));
        }
      }
    }
    return true;
  }
};

}  // namespace e2e
