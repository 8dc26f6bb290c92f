#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "main/terminal/TerminalCommand.h"

namespace {

using Kind = TerminalCommand::Kind;
using std::chrono::milliseconds;
using std::chrono::seconds;

TerminalCommand commandOn(const std::string& line) {
  ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
  EXPECT_TRUE(command.ok()) << line << ": " << (command.ok() ? "" : command.error().localizedDescription());
  EXPECT_TRUE(command.ok() && command->has_value()) << line;
  return command.ok() && *command ? **command : TerminalCommand{};
}

std::string errorOn(const std::string& line) {
  ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
  return command.ok() ? std::string("(no error)") : command.error().localizedDescription();
}

TEST(TerminalCommandTest, ReadsEachCommandWithItsArguments) {
  EXPECT_EQ(commandOn("show").kind, Kind::kShow);
  EXPECT_EQ(commandOn("  back  ").kind, Kind::kBack);
  EXPECT_EQ(commandOn("quit\r").kind, Kind::kQuit);
  EXPECT_EQ(commandOn("help").kind, Kind::kHelp);

  const TerminalCommand tap = commandOn("tap 退出 登录");
  EXPECT_EQ(tap.kind, Kind::kTap);
  EXPECT_EQ(tap.target, "退出 登录");

  const TerminalCommand type = commandOn("type userNameTF my name ");
  EXPECT_EQ(type.kind, Kind::kType);
  EXPECT_EQ(type.target, "userNameTF");
  EXPECT_EQ(type.text, "my name");

  const TerminalCommand alert = commandOn("alert 马上更新");
  EXPECT_EQ(alert.kind, Kind::kAlert);
  EXPECT_EQ(alert.target, "马上更新");

  const TerminalCommand wait = commandOn("wait 1.5");
  EXPECT_EQ(wait.kind, Kind::kWait);
  EXPECT_EQ(wait.duration, milliseconds(1500));
}

TEST(TerminalCommandTest, QuotesKeepSpacesAndEmptyTexts) {
  const TerminalCommand type = commandOn(R"(type "user name" " two \"words\" ")");
  EXPECT_EQ(type.target, "user name");
  EXPECT_EQ(type.text, R"( two "words" )");

  EXPECT_EQ(commandOn(R"(type userPasswordTF "")").text, "");
  EXPECT_EQ(commandOn(R"(tap "  padded ")").target, "  padded ");
  EXPECT_EQ(commandOn(R"(tap "back\\slash")").target, R"(back\slash)");
}

TEST(TerminalCommandTest, WaitForTakesATrailingNumberAsItsSeconds) {
  const TerminalCommand plain = commandOn("waitfor [QMSubjectController]");
  EXPECT_EQ(plain.target, "[QMSubjectController]");
  EXPECT_EQ(plain.duration, TerminalCommand::kDefaultWaitForTimeout);

  const TerminalCommand timed = commandOn("waitfor 退出 登录 2.5");
  EXPECT_EQ(timed.target, "退出 登录");
  EXPECT_EQ(timed.duration, milliseconds(2500));

  // A lone number is the text; a quoted number is text too.
  EXPECT_EQ(commandOn("waitfor 2016").target, "2016");
  const TerminalCommand quoted = commandOn(R"(waitfor "2016 5" 3)");
  EXPECT_EQ(quoted.target, "2016 5");
  EXPECT_EQ(quoted.duration, seconds(3));
}

TEST(TerminalCommandTest, BlankLinesAndCommentsHoldNoCommand) {
  for (const char* line : {"", "   ", "# sign in first", "  # indented"}) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
    ASSERT_TRUE(command.ok()) << line;
    EXPECT_FALSE(command->has_value()) << line;
  }
}

TEST(TerminalCommandTest, MistakesAreExplained) {
  EXPECT_NE(errorOn("tapp 登录").find("no command \"tapp\""), std::string::npos);
  EXPECT_NE(errorOn("tap").find("tap needs"), std::string::npos);
  EXPECT_NE(errorOn("type userNameTF").find("type needs"), std::string::npos);
  EXPECT_NE(errorOn("wait soon").find("\"soon\" is not a number of seconds"), std::string::npos);
  EXPECT_NE(errorOn("wait -1").find("not a number of seconds"), std::string::npos);
  EXPECT_NE(errorOn("wait 1e9").find("not a number of seconds"), std::string::npos);
  EXPECT_NE(errorOn(R"(waitfor "done" later)").find("\"later\""), std::string::npos);
  EXPECT_NE(errorOn(R"(tap "open)").find("no closing"), std::string::npos);
  EXPECT_NE(errorOn(R"(tap "a" b)").find("nothing after"), std::string::npos);
  EXPECT_NE(errorOn("show me").find("show takes no arguments"), std::string::npos);
}

}  // namespace
