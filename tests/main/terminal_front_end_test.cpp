#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "main/terminal/StreamLineReader.h"
#include "main/terminal/TerminalFrontEnd.h"
#include "platform/foundation/loop/RunLoop.h"
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
    auto button = std::make_shared<uikit::Button>(uikit::Rect(20, 100, 300, 44));
    button->setTitle("开始", uikit::kControlStateNormal);
    auto label = std::make_shared<uikit::Label>(uikit::Rect(20, 160, 300, 20));
    button->addAction([label = label.get()](
                          uikit::Control&) { ns::RunLoop::main().post([label] { label->setText("完成"); }); },
                      uikit::kControlEventTouchUpInside);
    view->addSubview(field);
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

}  // namespace

}  // namespace terminal
