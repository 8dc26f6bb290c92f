// quillmark at a terminal (a pseudo-terminal here): the up arrow brings back the last line, the history is
// kept in the home folder, and Ctrl-D leaves the prompt on a line of its own.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>

#include "e2e/quillmark_process_test_util.h"

namespace {

// A quillmark process on the far side of a pseudo-terminal.
class TerminalSession {
 public:
  explicit TerminalSession(const std::string& home) {
    pid_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      execl(QUILLMARK_EXECUTABLE, QUILLMARK_EXECUTABLE, "--home", home.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
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

  const std::string& shown() const { return shown_; }

 private:
  pid_t pid_ = 0;
  int terminal_ = -1;
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

TEST(LineEditingTest, TheUpArrowRecallsALineAndCtrlDEndsThePromptsLine) {
  e2e::TemporaryFolder folder;
  const std::string home = folder.path("home");
  TerminalSession session(home);
  ASSERT_TRUE(session.readUntilPrompt("field userNameTF: (用户名)", 0)) << session.shown();
  session.type("type userNameTF 林知远\r");
  ASSERT_TRUE(session.readUntilPrompt("field userNameTF: 林知远", 0)) << session.shown();
  const std::size_t afterFirst = session.shown().size();
  session.type("show\r");
  ASSERT_TRUE(session.readUntilPrompt("[QMUserLogController]", afterFirst)) << session.shown();
  const std::size_t afterShow = session.shown().size();
  // Up twice: the type command comes back, and runs again.
  session.type("\x1b[A\x1b[A\r");
  ASSERT_TRUE(session.readUntilPrompt("> type userNameTF 林知远", afterShow)) << session.shown();
  session.type("\x04");
  EXPECT_EQ(session.exitStatus(), 0) << session.shown();
  EXPECT_TRUE(session.shown().ends_with("\n")) << session.shown();
  EXPECT_NE(e2e::readFile(home + "/terminal_history").find("userNameTF"), std::string::npos);
}

}  // namespace
