// End-to-end runs of the quillmark executable: a script signs in and out against the sample back end on
// loopback (its console lines kept off the screen), another walks through the user centre and its menu, the
// embedded back end lets a newcomer do the same with nothing else running, the network switch keeps every
// request in until the link is back, a failed request is named, and a script that goes wrong ends with a
// failure that names its line.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/own_api_server_test_util.h"
#include "e2e/quillmark_process_test_util.h"
#include "sample_backend/api/ApiServer.h"
#include "sample_backend/api/CommonHeaderCheck.h"
#include "sample_backend/api/RequestSign.h"
#include "sample_backend/api/SampleCatalogue.h"

namespace {

using e2e::ProcessRun;
using e2e::runQuillmark;
using sample_backend::api::RecordedApiRequest;

const std::string kLoginLogoutScript = std::string(E2E_SCRIPTS_DIR) + "/login_logout.qms";
const std::string kUserCentreScript = std::string(E2E_SCRIPTS_DIR) + "/user_centre.qms";

class QuillmarkScriptTest : public ::testing::Test {
 protected:
  // Writes `lines` to a script file and returns its path.
  std::string writeScript(const std::string& lines) {
    const std::string path = folder_.path("walk.qms");
    std::ofstream(path) << lines;
    return path;
  }

  ProcessRun runAgainstOwnBackend(const std::string& scriptPath, const std::string& network = "wifi",
                                  const std::vector<std::string>& moreFlags = {}) {
    std::vector<std::string> flags = {
        "--web-host", server_->hostAndPort(), "--home", home(), "--network", network, "--script", scriptPath};
    flags.insert(flags.end(), moreFlags.begin(), moreFlags.end());
    return runQuillmark(flags, folder_);
  }
  std::string home() const { return folder_.path("home"); }

  // Checks that `request` passed the back end's checks, and checks its sign and headers once more here.
  void expectSignedWithCommonHeaders(const RecordedApiRequest& request) {
    EXPECT_EQ(request.refusal, "") << request.request.path;
    EXPECT_EQ(request.code, 0) << request.request.path;
    const sample_backend::api::CatalogueApplication& application =
        server_->service().catalogue().application();
    EXPECT_EQ(request.request.parameter("app_id"), application.appId);
    EXPECT_EQ(request.request.parameter("sign"),
              sample_backend::api::computeRequestSign(request.request.parameters, application.signingKey))
        << request.request.path;
    EXPECT_EQ(sample_backend::api::findCommonHeaderFault(request.request, application), std::nullopt);
    for (const char* header : {"app_name", "version", "protocol_version", "imei", "platform", "model",
                               "screensize", "channel", "network"}) {
      EXPECT_TRUE(request.request.header(header).has_value()) << request.request.path << " lacks " << header;
    }
  }

  e2e::TemporaryFolder folder_;
  std::unique_ptr<sample_backend::api::ApiServer> server_ = e2e::startOwnApiServer();
};

TEST_F(QuillmarkScriptTest, AScriptSignsInSeesTheDrawerAndSignsOutWithSignedRequests) {
  const ProcessRun run = runAgainstOwnBackend(kLoginLogoutScript);
  ASSERT_EQ(run.exitStatus, 0) << run.errors << run.out;
  EXPECT_EQ(run.out.find("sample back end"), std::string::npos) << "no back end of its own with --web-host";

  // The screens in the order the script met them.
  const std::size_t drawer = run.out.find("> waitfor [QMSubjectController]\n[QMSubjectController]");
  // The open drawer shows the menu beside the subject screen it slides over.
  const std::size_t menu = run.out.find("table:\n  [0] 个人中心", run.out.find("[QMMenuController]"));
  const std::size_t loggedOut = run.out.find("> tap 退出登录\n[QMUserLogController]");
  EXPECT_NE(drawer, std::string::npos) << run.out;
  EXPECT_NE(menu, std::string::npos) << run.out;
  EXPECT_NE(loggedOut, std::string::npos) << run.out;
  EXPECT_TRUE(drawer < menu && menu < loggedOut) << run.out;

  const std::vector<RecordedApiRequest> versionChecks =
      server_->service().recordedRequests("/app/latest_ver");
  const std::vector<RecordedApiRequest> logins = server_->service().recordedRequests("/common/baselogin");
  ASSERT_EQ(versionChecks.size(), 1u);
  ASSERT_EQ(logins.size(), 1u);
  expectSignedWithCommonHeaders(versionChecks[0]);
  expectSignedWithCommonHeaders(logins[0]);
  EXPECT_EQ(logins[0].request.parameter("username"), "learner");

  // The console's lines go to the home's console log, not to the screen.
  EXPECT_EQ(run.errors, "");
  EXPECT_NE(e2e::readFile(home() + "/console.log").find("#############Dealloc##############\n"),
            std::string::npos);
}

TEST_F(QuillmarkScriptTest, AScriptWalksThroughTheUserCentreCancelsAnOrderAndSignsOut) {
  const ProcessRun run = runAgainstOwnBackend(kUserCentreScript);
  ASSERT_EQ(run.exitStatus, 0) << run.errors << run.out;
  for (const char* screen :
       {"[QMUserOldCenterController]", "[QMUserAccount]", "[QMUserAccountDetails]", "[QMUserOneTradeDetails]",
        "[QMUserOrderList]", "[QMPurchaseUnavailableController]"}) {
    EXPECT_NE(run.out.find(screen), std::string::npos) << screen;
  }
  const std::vector<RecordedApiRequest> cancels = server_->service().recordedRequests("/pravik/order/cancel");
  ASSERT_EQ(cancels.size(), 1u);
  expectSignedWithCommonHeaders(cancels[0]);
  // The back end cancelled it, and the tab on screen asked for its first page again.
  const std::vector<RecordedApiRequest> pages = server_->service().recordedRequests("/pravik/order");
  ASSERT_GE(pages.size(), 2u);
  EXPECT_EQ(pages[1].request.parameter("pageNo"), "2") << "the scroll to the bottom asked for the next page";
  expectSignedWithCommonHeaders(pages.back());
  EXPECT_EQ(pages.back().request.parameter("pageNo"), "1") << "the tab starts afresh after the cancel";
  EXPECT_NE(run.out.find("> tap 退出登录\n[QMUserLogController]"), std::string::npos) << run.out;
}

// Offline, the version check made at launch (which asks for no network first) fails without reaching the
// server (the script waits for its failure before the link comes back, as a busy machine may start it late),
// and the login screen's network check holds the sign-in back; back on Wi-Fi, it goes through. --verbose also
// shows the console's lines.
TEST_F(QuillmarkScriptTest, WithNoNetworkNoRequestLeavesUntilTheLinkIsBack) {
  const std::string script = writeScript(
      "waitfor userNameTF\ntype userNameTF learner\ntype userPasswordTF quill2016\ntap 登录\n"
      "waitfor 暂无网络,请检查网络\nwaitfor /app/latest_ver\nnetwork wifi\ntap 登录\nwaitfor "
      "[QMSubjectController]\n"
      "quit\n");
  const ProcessRun run = runAgainstOwnBackend(script, "none", {"--verbose"});
  ASSERT_EQ(run.exitStatus, 0) << run.errors << run.out;
  EXPECT_TRUE(server_->service().recordedRequests("/app/latest_ver").empty());
  EXPECT_EQ(server_->service().recordedRequests("/common/baselogin").size(), 1u);
  EXPECT_NE(run.errors.find("#############Dealloc##############\n"), std::string::npos) << run.errors;
  EXPECT_NE(e2e::readFile(home() + "/console.log").find("#############Dealloc##############\n"),
            std::string::npos);
}

TEST_F(QuillmarkScriptTest, ASignInAgainstABackEndThatDoesNotAnswerNamesTheFailedRequest) {
  const std::string script = writeScript(
      "waitfor userNameTF\ntype userNameTF learner\ntype userPasswordTF quill2016\ntap 登录\n"
      "waitfor /common/baselogin\n"
      "messages\nquit\n");
  // A loopback port that nothing listens on: bound for a moment and given back.
  const std::uint16_t closedPort = [] {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
    close(probe);
    return ntohs(address.sin_port);
  }();
  const ProcessRun run = runQuillmark(
      {"--web-host", "127.0.0.1:" + std::to_string(closedPort), "--home", home(), "--script", script},
      folder_);
  ASSERT_EQ(run.exitStatus, 0) << run.errors << run.out;
  const std::string failure =
      "request failed: /common/baselogin: NSURLErrorDomain -1004 No connection could be made to the server.";
  // The version check made at launch fails too, and is named as well while the screen it started on shows.
  std::istringstream errors(run.errors);
  int signInFailures = 0;
  for (std::string line; std::getline(errors, line);) {
    if (line == failure) {
      ++signInFailures;
    } else {
      EXPECT_TRUE(line.starts_with("request failed: /app/latest_ver: ")) << line;
    }
  }
  EXPECT_EQ(signInFailures, 1) << run.errors;
  EXPECT_NE(run.out.find("  " + failure + "\n"), std::string::npos) << run.out;
}

// A name from the back end that holds escape sequences and line breaks shows them as text on its row's line:
// nothing of it acts on the terminal, and it adds no line to the screen text.
TEST_F(QuillmarkScriptTest, ANameWithEscapeSequencesIsPrintedAsVisibleTextOnItsRowsLine) {
  const std::string hostile = "思想政治理论\x1b[2J\x1b]0;pwned\x07\r\n伪造的一行";
  server_ = e2e::startOwnApiServer([&hostile](sample_backend::api::SampleCatalogue& catalogue) {
    nlohmann::json courses = catalogue.section("courses");
    courses["subjects"][0]["name"] = hostile;
    catalogue.setSection("courses", courses);
  });
  const std::string script = writeScript(
      "waitfor userNameTF\ntype userNameTF learner\ntype userPasswordTF quill2016\ntap 登录\n"
      "waitfor 英语一 30\nquit\n");
  const ProcessRun run = runAgainstOwnBackend(script);
  ASSERT_EQ(run.exitStatus, 0) << run.errors << run.out;
  EXPECT_EQ(run.out.find_first_of("\x1b\x07\r"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" 思想政治理论\\e[2J\\e]0;pwned\\x07\\r\\n伪造的一行 | "), std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("\n伪造的一行"), std::string::npos) << run.out;
}

// A quit while the sign-in (and the version check) wait for a slow back end leaves nothing behind that the
// requests held: the test program's leak check covers the child too.
TEST_F(QuillmarkScriptTest, AQuitWhileRequestsAreInFlightEndsCleanly) {
  for (const char* path : {"/app/latest_ver", "/common/baselogin"}) {
    server_->service().controls().delayNextReply(path, std::chrono::seconds(10));
  }
  const std::string script = writeScript(
      "waitfor userNameTF\ntype userNameTF learner\ntype userPasswordTF quill2016\ntap 登录\n"
      "waitfor loading\nquit\n");
  const ProcessRun run = runAgainstOwnBackend(script);
  EXPECT_EQ(run.exitStatus, 0) << run.errors << run.out;
  EXPECT_EQ(run.errors, "");
}

TEST_F(QuillmarkScriptTest, WithoutAWebHostTheEmbeddedBackEndNamesTheLearnerToSignInAs) {
  const ProcessRun run =
      runQuillmark({"--home", folder_.path("home"), "--script", kLoginLogoutScript}, folder_);
  ASSERT_EQ(run.exitStatus, 0) << run.errors << run.out;
  EXPECT_EQ(run.out.rfind("The sample back end runs on http://127.0.0.1:", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("Sign in as the sample learner: name \"learner\", password \"quill2016\"."),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("[QMSubjectController]"), std::string::npos) << run.out;
  EXPECT_TRUE(server_->service().recordedRequests().empty());
}

TEST_F(QuillmarkScriptTest, AScriptLineLongerThan1MiBIsRefusedNamingTheLine) {
  const std::string script = writeScript("show\ntap " + std::string(2 << 20, 'x') + "\nquit\n");
  const ProcessRun run = runAgainstOwnBackend(script);
  EXPECT_EQ(run.exitStatus, 1) << run.errors;
  EXPECT_EQ(run.errors, script + ":2: the line is longer than 1 MiB; it is left out\n");
  EXPECT_LT(run.out.size(), std::size_t{1} << 16) << "nothing of the line is echoed";
}

TEST_F(QuillmarkScriptTest, ATapThatFindsNothingFailsTheRunNamingTheLine) {
  const std::string script =
      writeScript("# the login screen has no such button\nwaitfor userNameTF\ntap 注册\nquit\n");
  const ProcessRun run = runAgainstOwnBackend(script);
  EXPECT_EQ(run.exitStatus, 1) << run.errors << run.out;
  EXPECT_NE(run.errors.find(script + ":3: There is no view with the text or identifier \"注册\"."),
            std::string::npos)
      << run.errors;
}

}  // namespace
