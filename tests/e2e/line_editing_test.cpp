// quillmark at a terminal (a pseudo-terminal here): the up arrow brings back the last line, the history is
// kept in the home folder (without the lines that hold a password), Ctrl-D leaves the prompt on a line of
// its own, Ctrl-C and SIGTERM end the session as quit does, what is typed while a command runs shows once,
// and keys the line editor does not bind leave nothing in the line.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
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

std::size_t occurrences(const std::string& text, const std::string& part, std::size_t from = 0) {
  std::size_t count = 0;
  for (std::size_t found = text.find(part, from); found != std::string::npos;
       found = text.find(part, found + 1)) {
    ++count;
  }
  return count;
}

TEST(LineEditingTest, APasswordStaysOutOfTheHistoryAndCtrlCEndsTheSessionAsQuitDoes) {
  e2e::TemporaryFolder folder;
  const std::string home = folder.path("home");
  TerminalSession session(home);
  ASSERT_TRUE(session.readUntilPrompt("field userNameTF: (用户名)", 0)) << session.shown();
  session.type("type userNameTF learner\r");
  ASSERT_TRUE(session.readUntilPrompt("field userNameTF: learner", 0)) << session.shown();
  session.type("type userPasswordTF quill2016\r");
  ASSERT_TRUE(session.readUntilPrompt("field userPasswordTF: •••••••••", 0)) << session.shown();
  session.type("\x03");
  EXPECT_EQ(session.exitStatus(), 130) << session.shown();
  EXPECT_TRUE(session.shown().ends_with("\n")) << session.shown();
  EXPECT_TRUE(session.echoesAsAtStart());
  const std::string history = e2e::readFile(home + "/terminal_history");
  EXPECT_NE(history.find("userNameTF"), std::string::npos) << history;
  EXPECT_EQ(history.find("quill2016"), std::string::npos) << history;
}

TEST(LineEditingTest, TypedAheadTextShowsOnceUnboundKeysLeaveNothingAndSigtermEndsTheSession) {
  e2e::TemporaryFolder folder;
  TerminalSession session(folder.path("home"));
  ASSERT_TRUE(session.readUntilPrompt("field userNameTF: (用户名)", 0)) << session.shown();
  const std::size_t beforeWait = session.shown().size();
  // Typed while the wait runs; the prompt after it shows the line once, and runs it.
  session.type("wait 1\r");
  ASSERT_TRUE(session.readUntilACommandRuns()) << session.shown();
  session.type("help\r");
  ASSERT_TRUE(session.readUntilPrompt("waitfor <text> [seconds]", beforeWait)) << session.shown();
  EXPECT_EQ(occurrences(session.shown(), "help", beforeWait), 2u) << "the typed line and the help's own line";
  const std::size_t beforeKeys = session.shown().size();
  // F5, Shift-Up and F1 around a command.
  session.type("\x1b[15~sh\x1b[1;2Aow\x1bOP\r");
  ASSERT_TRUE(session.readUntilPrompt("[QMUserLogController]", beforeKeys)) << session.shown();
  EXPECT_EQ(session.shown().find("there is no command", beforeKeys), std::string::npos) << session.shown();
  session.signal(SIGTERM);
  EXPECT_EQ(session.exitStatus(), 143) << session.shown();
  EXPECT_TRUE(session.echoesAsAtStart());
}

}  // namespace
