// quillmark at a terminal (a pseudo-terminal here): the up arrow brings back the last line, the history is
// kept in the home folder (without the lines that hold a password), Ctrl-D leaves the prompt on a line of
// its own, Ctrl-C and SIGTERM end the session as quit does, what is typed while a command runs shows once,
// and keys the line editor does not bind leave nothing in the line.

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "e2e/quillmark_process_test_util.h"
#include "e2e/terminal_session_test_util.h"

namespace {

using e2e::occurrences;
using e2e::TerminalSession;

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
