// quillmark at a terminal (a pseudo-terminal here): the up arrow brings back the last line, the history is
// kept in the home folder (without the lines that hold a password), Ctrl-D leaves the prompt on a line of
// its own, Ctrl-C and SIGTERM end the session as quit does, what is typed while a command runs shows once,
// and keys the line editor does not bind leave nothing in the line.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
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

// The second sample learner has the course agreement to sign: its real name and identity-card number stay
// out of the history, and the home and what holds the session are the owner's only.
TEST(LineEditingTest, TheAgreementsPersonalDataStaysOutOfTheHistory) {
  e2e::TemporaryFolder folder;
  const std::string home = folder.path("home");
  TerminalSession session(home);
  ASSERT_TRUE(session.readUntilPrompt("field userNameTF: (用户名)", 0)) << session.shown();
  session.type("type userNameTF 13800138000\r");
  ASSERT_TRUE(session.readUntilPrompt("field userNameTF: 13800138000", 0)) << session.shown();
  session.type("type userPasswordTF second2016\r");
  ASSERT_TRUE(session.readUntilPrompt("field userPasswordTF: •", 0)) << session.shown();
  session.type("tap 登录\r");
  session.type("waitfor cardIDTF 30\r");
  ASSERT_TRUE(session.readUntilPrompt("field cardIDTF: (请输入身份证号)", 0)) << session.shown();
  session.type("type realNameTF 周若溪\r");
  ASSERT_TRUE(session.readUntilPrompt("field realNameTF: 周若溪", 0)) << session.shown();
  session.type("type cardIDTF 110101199003077777\r");
  ASSERT_TRUE(session.readUntilPrompt("field cardIDTF: 110101199003077777", 0)) << session.shown();
  session.type("\x04");
  EXPECT_EQ(session.exitStatus(), 0) << session.shown();
  const std::string history = e2e::readFile(home + "/terminal_history");
  EXPECT_NE(history.find("13800138000"), std::string::npos) << history;
  EXPECT_EQ(history.find("110101199003077777"), std::string::npos) << history;
  EXPECT_EQ(history.find("realNameTF"), std::string::npos) << history;
  const auto modeOf = [](const std::string& path) {
    return std::filesystem::status(path).permissions() & std::filesystem::perms::all;
  };
  const auto ownerReadsAndWrites = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
  EXPECT_EQ(modeOf(home), std::filesystem::perms::owner_all);
  EXPECT_EQ(modeOf(home + "/terminal_history"), ownerReadsAndWrites);
  EXPECT_EQ(modeOf(home + "/Library/Preferences/com.quillmark.app.plist"), ownerReadsAndWrites);
  EXPECT_EQ(modeOf(home + "/sample-backend/sessions.json"), ownerReadsAndWrites);
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
