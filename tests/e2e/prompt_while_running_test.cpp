// quillmark at a terminal (a pseudo-terminal here) while the prompt waits: the application goes on running,
// so a reply that arrives changes the screen, which is announced above the prompt without breaking the line
// being typed, a toast that comes and goes meanwhile is listed by messages with its time, and a request
// that fails while its screen is shown is said.

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>

#include "e2e/own_api_server_test_util.h"
#include "e2e/quillmark_process_test_util.h"
#include "e2e/terminal_session_test_util.h"

namespace {

using e2e::TerminalSession;

constexpr char kLoginPath[] = "/common/baselogin";

class PromptWhileRunningTest : public ::testing::Test {
 protected:
  // Signs in as far as the password, at a session against the test's own back end.
  void typeTheLearnersName(const std::string& password) {
    ASSERT_TRUE(session_.readUntilPrompt("field userNameTF: (用户名)", 0)) << session_.shown();
    session_.type("type userNameTF learner\r");
    ASSERT_TRUE(session_.readUntilPrompt("field userNameTF: learner", 0)) << session_.shown();
    session_.type("type userPasswordTF " + password + "\r");
    ASSERT_TRUE(session_.readUntilPrompt("field userPasswordTF: •", 0)) << session_.shown();
  }

  e2e::TemporaryFolder folder_;
  std::unique_ptr<sample_backend::api::ApiServer> server_ = e2e::startOwnApiServer();
  TerminalSession session_{folder_.path("home"), {"--web-host", server_->hostAndPort()}};
};

TEST_F(PromptWhileRunningTest, AReplyThatArrivesWhileThePromptWaitsIsAnnouncedAboveTheLineBeingTyped) {
  typeTheLearnersName("quill2016");
  // A slow back end: the sign-in's reply comes once the prompt waits again.
  server_->service().controls().delayNextReply(kLoginPath, std::chrono::milliseconds(300));
  const std::size_t beforeTap = session_.shown().size();
  session_.type("tap 登录\r");
  ASSERT_TRUE(session_.readUntilPrompt("loading", beforeTap)) << session_.shown();
  session_.type("sho");
  const std::size_t announced =
      session_.readUntilShown("[QMSubjectController] is on screen now (show to see it)", beforeTap);
  ASSERT_NE(announced, std::string::npos) << session_.shown();
  // On a line of its own, and the prompt with the line typed so far comes again under it.
  EXPECT_TRUE(session_.shown().substr(0, announced).ends_with("\x1b[J")) << session_.shown();
  ASSERT_NE(session_.readUntilShown("> sho", announced), std::string::npos) << session_.shown();
  session_.type("w\r");
  ASSERT_TRUE(session_.readUntilPrompt("button menuBtn: [菜单]", announced)) << session_.shown();
  EXPECT_EQ(session_.shown().find("there is no command", beforeTap), std::string::npos) << session_.shown();
}

TEST_F(PromptWhileRunningTest, AToastShownWhileThePromptWaitsIsListedWithItsTime) {
  typeTheLearnersName("not-the-password");
  server_->service().controls().delayNextReply(kLoginPath, std::chrono::milliseconds(300));
  const std::size_t beforeTap = session_.shown().size();
  session_.type("tap 登录\r");
  ASSERT_TRUE(session_.readUntilPrompt("loading", beforeTap)) << session_.shown();
  // Nothing on the terminal tells of the toast: ask until it is listed.
  const std::regex listed(R"(\d\d:\d\d:\d\d\.\d\d\d  toast: )");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  bool found = false;
  while (!found && std::chrono::steady_clock::now() < deadline) {
    const std::size_t before = session_.shown().size();
    session_.type("messages\r");
    ASSERT_TRUE(session_.readUntilPrompt("[QMUserLogController]", before)) << session_.shown();
    found = std::regex_search(session_.shown().substr(before), listed);
  }
  EXPECT_TRUE(found) << session_.shown();
}

// Offline, the live tab's list cannot come: the screens say nothing of it, the terminal does.
TEST_F(PromptWhileRunningTest, ARequestThatFailsWhileItsScreenIsShownIsSaidAboveThePrompt) {
  typeTheLearnersName("quill2016");
  session_.type("tap 登录\r");
  session_.type("waitfor 英语一 30\r");
  ASSERT_TRUE(session_.readUntilPrompt("英语一", 0)) << session_.shown();
  const std::size_t offline = session_.shown().size();
  session_.type("network none\r");
  session_.type("tap 直播\r");
  EXPECT_NE(session_.readUntilShown("request failed: /", offline), std::string::npos) << session_.shown();
}

}  // namespace
