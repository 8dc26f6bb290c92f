#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "main/terminal/TerminalCommand.h"

namespace terminal {

namespace {

using Kind = TerminalCommand::Kind;
using std::chrono::milliseconds;

TEST(TerminalCommandTest, ReadsEachCommandWithItsArguments) {
  struct Case {
    std::string line;
    Kind kind;
    std::string target{};
    std::string text{};
    ns::Duration duration{};
  };
  const std::vector<Case> cases = {
      {"show", Kind::kShow},
      {"  back  ", Kind::kBack},
      {"quit\r", Kind::kQuit},
      {"help", Kind::kHelp},
      {"messages", Kind::kMessages},
      {"tap 退出 登录", Kind::kTap, "退出 登录"},
      {"type userNameTF my name ", Kind::kType, "userNameTF", "my name"},
      {"alert 马上更新", Kind::kAlert, "马上更新"},
      {"scroll myTableView", Kind::kScroll, "myTableView"},
      {"wait 1.5", Kind::kWait, "", "", milliseconds(1500)},
      // Quotes keep spaces and empty texts.
      {R"(type "user name" " two \"words\" ")", Kind::kType, "user name", R"( two "words" )"},
      {R"(type userPasswordTF "")", Kind::kType, "userPasswordTF", ""},
      {R"(tap "  padded ")", Kind::kTap, "  padded "},
      {R"(tap "back\\slash")", Kind::kTap, R"(back\slash)"},
      // waitfor takes a trailing number as its seconds; a lone number, or a quoted one, is the text.
      {"waitfor [QMSubjectController]", Kind::kWaitFor, "[QMSubjectController]", "",
       TerminalCommand::kDefaultWaitForTimeout},
      {"waitfor 退出 登录 2.5", Kind::kWaitFor, "退出 登录", "", milliseconds(2500)},
      {"waitfor 2016", Kind::kWaitFor, "2016", "", TerminalCommand::kDefaultWaitForTimeout},
      {"waitfor 登录 -1", Kind::kWaitFor, "登录 -1", "", TerminalCommand::kDefaultWaitForTimeout},
      {R"(waitfor "2016 5" 3)", Kind::kWaitFor, "2016 5", "", std::chrono::seconds(3)},
  };
  for (const Case& expected : cases) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(expected.line);
    ASSERT_TRUE(command.ok() && command->has_value()) << expected.line;
    EXPECT_EQ((*command)->kind, expected.kind) << expected.line;
    EXPECT_EQ((*command)->target, expected.target) << expected.line;
    EXPECT_EQ((*command)->text, expected.text) << expected.line;
    EXPECT_EQ((*command)->duration, expected.duration) << expected.line;
  }
}

TEST(TerminalCommandTest, NetworkNamesTheLinkToSwitchTo) {
  for (const auto& [line, status] : std::vector<std::pair<const char*, outside::NetworkStatus>>{
           {"network none", outside::NotReachable},
           {"network cellular", outside::ReachableViaWWAN},
           {"network wifi ", outside::ReachableViaWiFi}}) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
    ASSERT_TRUE(command.ok() && command->has_value()) << line;
    EXPECT_EQ((*command)->kind, Kind::kNetwork) << line;
    EXPECT_EQ((*command)->network, status) << line;
  }
}

TEST(TerminalCommandTest, PanNamesTheViewTheDirectionTheDistanceAndTheHalfToStartIn) {
  const std::vector<std::tuple<const char*, const char*, uikit::Point, uikit::Driver::PanStart>> cases = {
      {"pan playerTouch right 120", "playerTouch", {120, 0}, uikit::Driver::PanStart::kMiddle},
      {"pan playerTouch left 2.5", "playerTouch", {-2.5, 0}, uikit::Driver::PanStart::kMiddle},
      {"pan \"the picture\" up 80 right", "the picture", {0, -80}, uikit::Driver::PanStart::kRightHalf},
      {"pan playerTouch down 40 left", "playerTouch", {0, 40}, uikit::Driver::PanStart::kLeftHalf}};
  for (const auto& [line, target, translation, start] : cases) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
    ASSERT_TRUE(command.ok() && command->has_value()) << line;
    EXPECT_EQ((*command)->kind, Kind::kPan) << line;
    EXPECT_EQ((*command)->target, target) << line;
    EXPECT_EQ((*command)->panTranslation, translation) << line;
    EXPECT_EQ((*command)->panStart, start) << line;
  }
}

// The view a line names, whatever its command word: what the front end checks for a secure field.
TEST(TerminalCommandTest, TheSecondWordIsTheViewALineNames) {
  EXPECT_EQ(TerminalCommand::secondWord("type userPasswordTF secret words"), "userPasswordTF");
  EXPECT_EQ(TerminalCommand::secondWord("  typo \"密码 框\" secret"), "密码 框");
  EXPECT_EQ(TerminalCommand::secondWord("show"), std::nullopt);
  EXPECT_EQ(TerminalCommand::secondWord(""), std::nullopt);
}

TEST(TerminalCommandTest, BlankLinesAndCommentsHoldNoCommand) {
  for (const char* line : {"", "   ", "# sign in first", "  # indented"}) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
    ASSERT_TRUE(command.ok()) << line;
    EXPECT_FALSE(command->has_value()) << line;
  }
}

TEST(TerminalCommandTest, MistakesAreExplained) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"tapp 登录", "no command \"tapp\""},
      {"tap", "tap needs"},
      {"scroll", "scroll needs"},
      {"type userNameTF", "type needs"},
      {"wait soon", "\"soon\" is not a number of seconds"},
      {"wait -1", "not a number of seconds"},
      {"wait 1e9", "1e9 seconds is more than a day"},
      {"waitfor 完成 90000", "90000 seconds is more than a day"},
      {"network", "network needs none, wifi or cellular"},
      {"network wired", "\"wired\" is not none, wifi or cellular"},
      {R"(waitfor "done" later)", "\"later\""},
      {R"(tap "open)", "no closing"},
      {R"(tap "a" b)", "nothing after"},
      {"show me", "show takes no arguments"},
      {"tap \x1b[A", "control character 0x1B"},
      {"type nameTF a\x7f", "control character 0x7F"},
      {"\x0cshow", "control character 0x0C"},
      {"pan playerTouch", "pan needs a view, a direction"},
      {"pan playerTouch sideways 10", "\"sideways\" is not left, right, up or down"},
      {"pan playerTouch up far", "\"far\" is not a number of points"},
      {"pan playerTouch up 0", "\"0\" is not a number of points"},
      {"pan playerTouch up 1e9", "from 1 to 10000"},
      {"pan playerTouch up 10 middle", "\"middle\" is not left or right"}};
  for (const auto& [line, explanation] : cases) {
    ns::Result<std::optional<TerminalCommand>> command = TerminalCommand::parse(line);
    ASSERT_FALSE(command.ok()) << line;
    EXPECT_NE(command.error().localizedDescription().find(explanation), std::string::npos)
        << line << ": " << command.error().localizedDescription();
  }
  // A script holds bytes, not keys: there is nothing to type again.
  ns::Result<std::optional<TerminalCommand>> scripted =
      TerminalCommand::parse("tap \x01登录", TerminalCommand::LineSource::kScript);
  ASSERT_FALSE(scripted.ok());
  EXPECT_EQ(scripted.error().localizedDescription(),
            "the line holds the control byte 0x01, which no command takes");
}

}  // namespace

}  // namespace terminal
