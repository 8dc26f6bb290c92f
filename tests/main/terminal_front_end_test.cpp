#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "main/terminal/StreamLineReader.h"
#include "main/terminal/TerminalFrontEnd.h"
#include "main/terminal/TerminationSignals.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/net/URLError.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/TextField.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "platform/uikit/views/Label.h"

namespace terminal {

namespace {

// A screen with a field, and a button whose tap shows "完成" on the next turn of the main loop.
class SampleScreen : public uikit::ViewController {
 public:
  void loadView() override {
    auto view = std::make_shared<uikit::View>(uikit::Rect(0, 0, 375, 667));
    auto field = uikit::outlet("nameTF", std::make_shared<uikit::TextField>(uikit::Rect(20, 40, 300, 40)));
    field->setPlaceholder("名字");
    auto password =
        uikit::outlet("passwordTF", std::make_shared<uikit::TextField>(uikit::Rect(20, 200, 300, 40)));
    password->setPlaceholder("密码");
    password->setSecureTextEntry(true);
    auto cardID =
        uikit::outlet("cardIDTF", std::make_shared<uikit::TextField>(uikit::Rect(20, 250, 300, 40)));
    cardID->setHoldsPersonalData(true);
    auto button = std::make_shared<uikit::Button>(uikit::Rect(20, 100, 300, 44));
    button->setTitle("开始", uikit::kControlStateNormal);
    auto label = std::make_shared<uikit::Label>(uikit::Rect(20, 160, 300, 20));
    button->addAction([label = label.get()](
                          uikit::Control&) { ns::RunLoop::main().post([label] { label->setText("完成"); }); },
                      uikit::kControlEventTouchUpInside);
    view->addSubview(field);
    view->addSubview(password);
    view->addSubview(cardID);
    view->addSubview(button);
    view->addSubview(label);
    setView(std::move(view));
  }
};

class TerminalFrontEndTest : public ::testing::Test {
 protected:
  TerminalFrontEndTest() {
    uikit::Application::sharedApplication().resetForTesting();
    window_->setRootViewController(std::make_shared<SampleScreen>());
    window_->makeKeyAndVisible();
  }
  ~TerminalFrontEndTest() override {
    window_.reset();
    uikit::Application::sharedApplication().resetForTesting();
    ns::RunLoop::main().runPending();
  }

  int runScript(const std::string& script) {
    std::istringstream in(script);
    return frontEnd_.runScript(in, "walk.qms");
  }

  std::shared_ptr<uikit::Window> window_ = std::make_shared<uikit::Window>();
  std::ostringstream out_;
  std::ostringstream errors_;
  TerminalFrontEnd frontEnd_{out_, errors_};
};

TEST_F(TerminalFrontEndTest, AScriptEchoesEachCommandAndPrintsTheScreenAfterIt) {
  EXPECT_EQ(runScript("# a walk\n"
                      "type nameTF 林知远\n"
                      "\n"
                      "tap 开始\n"
                      "waitfor 完成 5\n"
                      "quit\n"
                      "tap nothing-after-quit\n"),
            TerminalFrontEnd::kExitSuccess)
      << errors_.str();
  const std::string out = out_.str();
  EXPECT_EQ(out.find("[SampleScreen]"), 0u) << out;
  EXPECT_NE(out.find("> type nameTF 林知远\n[SampleScreen]\n"), std::string::npos) << out;
  EXPECT_NE(out.find("field nameTF: 林知远"), std::string::npos) << out;
  // The tap's effect comes a turn later; the screen printed after it already shows it.
  EXPECT_NE(out.find("> tap 开始\n"), std::string::npos);
  EXPECT_NE(out.find("label: 完成"), std::string::npos) << out;
  EXPECT_EQ(out.find("nothing-after-quit"), std::string::npos);
  EXPECT_TRUE(frontEnd_.quitRequested());
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(TerminalFrontEndTest, AScriptStopsAtTheFirstLineThatFailsNamingIt) {
  EXPECT_EQ(runScript("show\n# comment\ntap 登录\nshow\n"), TerminalFrontEnd::kExitScriptFailed);
  EXPECT_EQ(errors_.str(), "walk.qms:3: There is no view with the text or identifier \"登录\".\n");
  EXPECT_EQ(out_.str().find("> show\n", out_.str().find("> tap")), std::string::npos)
      << "nothing runs after it";

  errors_.str("");
  EXPECT_EQ(runScript("show\nwait for it\n"), TerminalFrontEnd::kExitScriptFailed);
  EXPECT_EQ(errors_.str(), "walk.qms:2: wait: \"for it\" is not a number of seconds\n");
  errors_.str("");
  EXPECT_EQ(runScript("waitfor 永远不会出现 0.05\n"), TerminalFrontEnd::kExitScriptFailed);
  EXPECT_EQ(errors_.str().rfind("walk.qms:1: ", 0), 0u) << errors_.str();
}

TEST_F(TerminalFrontEndTest, InteractiveUseExplainsMistakesAndGoesOnUntilQuit) {
  std::istringstream in("tapp 开始\ntap 开始\nhelp\nquit\nshow\n");
  StreamLineReader lines(in, out_);
  EXPECT_EQ(frontEnd_.runInteractive(lines), TerminalFrontEnd::kExitSuccess);
  EXPECT_NE(errors_.str().find("there is no command \"tapp\""), std::string::npos) << errors_.str();
  const std::string out = out_.str();
  EXPECT_NE(out.find("label: 完成"), std::string::npos) << out;
  EXPECT_NE(out.find("waitfor <text> [seconds]"), std::string::npos);
  EXPECT_TRUE(frontEnd_.quitRequested());
  // The screen comes first, then each command's screen follows the prompt it was typed at.
  EXPECT_EQ(out.find("[SampleScreen]"), 0u) << out;
  EXPECT_NE(out.find(std::string(TerminalFrontEnd::kPrompt) + "[SampleScreen]"), std::string::npos) << out;
}

// Lines read from a stream, with the lines the front end asks to remember kept in order.
class RememberingLineReader : public StreamLineReader {
 public:
  using StreamLineReader::StreamLineReader;
  void remember(const std::string& line) override { remembered.push_back(line); }
  std::vector<std::string> remembered;
};

TEST_F(TerminalFrontEndTest, LinesThatTypeIntoASecureOrPersonalFieldOrComeWhileOneHasFocusAreNotRemembered) {
  std::istringstream in(
      "type nameTF 林知远\n"
      "type passwordTF hunter2\n"
      "show\n"
      "type cardIDTF 110101199003077777\n"
      "show\n"
      "type nameTF 林\n"
      "show\n"
      "tpye passwordTF hunter2\n"
      "\n"
      "quit\n");
  RememberingLineReader lines(in, out_);
  EXPECT_EQ(frontEnd_.runInteractive(lines), TerminalFrontEnd::kExitSuccess);
  EXPECT_EQ(lines.remembered, (std::vector<std::string>{"type nameTF 林知远", "show", "quit"}));
  EXPECT_EQ(out_.str().find("hunter2"), std::string::npos) << "a secure field shows dots";
}

TEST_F(TerminalFrontEndTest, AScriptsTranscriptShowsTheTextTypedIntoASecureFieldAsTheFieldDoes) {
  EXPECT_EQ(runScript("type passwordTF hunter2\ntype nameTF 林知远\n"), TerminalFrontEnd::kExitSuccess);
  EXPECT_EQ(out_.str().find("hunter2"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("> type passwordTF •••••••\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("> type nameTF 林知远\n"), std::string::npos) << out_.str();
}

TEST_F(TerminalFrontEndTest, AFailedRequestIsNamedAndListed) {
  const ns::Error refused =
      ns::makeURLError(ns::kURLErrorCannotConnectToHost, ns::URL::fromString("http://x/"));
  frontEnd_.noteFailedRequest("/common/baselogin", refused);
  const std::string line =
      "request failed: /common/baselogin: NSURLErrorDomain -1004 No connection could be made to the server.";
  EXPECT_EQ(errors_.str(), line + "\n");
  EXPECT_EQ(runScript("messages\n"), TerminalFrontEnd::kExitSuccess);
  EXPECT_NE(out_.str().find("  " + line + "\n"), std::string::npos) << out_.str();
}

TEST_F(TerminalFrontEndTest, ALineLongerThanTheLongestIsRefusedWithoutEndingTheSession) {
  const std::string overlong(LineReader::kLongestLine + 1, 'x');
  EXPECT_EQ(runScript("show\ntap " + overlong + "\nquit\n"), TerminalFrontEnd::kExitScriptFailed);
  EXPECT_EQ(errors_.str(), "walk.qms:2: the line is longer than 1 MiB; it is left out\n");

  errors_.str("");
  std::istringstream in(overlong + "\ntap 开始\n");
  StreamLineReader lines(in, out_);
  EXPECT_EQ(frontEnd_.runInteractive(lines), TerminalFrontEnd::kExitSuccess);
  EXPECT_EQ(errors_.str(), "the line is longer than 1 MiB; it is left out\n");
  EXPECT_NE(out_.str().find("label: 完成"), std::string::npos) << "the next line runs";
}

// A termination signal ends a command's wait at once and the session after it, with no screen printed.
TEST_F(TerminalFrontEndTest, ATerminationSignalEndsTheSessionAsQuitDoes) {
  const TerminationSignals signals;
  TerminalFrontEnd frontEnd(out_, errors_);
  const auto signal = ns::Timer::scheduled(ns::RunLoop::main(), std::chrono::milliseconds(20),
                                           ns::Timer::Repeats::kNo, [](ns::Timer&) { std::raise(SIGTERM); });
  std::istringstream script("wait 60\ntap 开始\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(frontEnd.runScript(script, "walk.qms"), TerminalFrontEnd::kExitSuccess);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(TerminationSignals::received(), SIGTERM);
  EXPECT_TRUE(out_.str().ends_with("> wait 60\n")) << out_.str();
  EXPECT_EQ(errors_.str(), "");

  std::istringstream in("tap 开始\n");
  StreamLineReader lines(in, out_);
  EXPECT_EQ(frontEnd.runInteractive(lines), TerminalFrontEnd::kExitSuccess);
  EXPECT_EQ(out_.str().find("> tap"), std::string::npos) << "nothing more is read";
}

}  // namespace

}  // namespace terminal
