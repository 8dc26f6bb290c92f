// The background fetch: a plain GET of the public page, whose end the system hears, and none of it with the
// network off.

#include <gtest/gtest.h>

#include <optional>

#include "app/network/QMServerHosts.h"
#include "app/shell/shell_test_util.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Application.h"
#include "support/loopback_http_server.h"

namespace app {

namespace {

using shelltest::ShellTest;

class BackgroundFetchTest : public ShellTest {
 protected:
  BackgroundFetchTest() {
    page_.route("/", testsupport::TestResponse::text(200, "<html><body>news</body></html>", "text/html"));
    QMServerHosts::setBackgroundFetchPage(page_.url("/"));
  }
  ~BackgroundFetchTest() override { QMServerHosts::setBackgroundFetchPage(defaultPage_); }

  // Asks the application for a background fetch and returns what it reports when it ends.
  std::optional<uikit::BackgroundFetchResult> fetch() {
    std::optional<uikit::BackgroundFetchResult> result;
    uikit::Application::sharedApplication().performBackgroundFetch(
        [&result](uikit::BackgroundFetchResult ended) { result = ended; });
    EXPECT_TRUE(runUntil([&] { return result.has_value(); })) << "the fetch never ended";
    return result;
  }

  const std::string defaultPage_ = QMServerHosts::backgroundFetchPage();
  testsupport::LoopbackHTTPServer page_;
};

TEST_F(BackgroundFetchTest, AFetchAsksForThePublicPageAndReportsNewData) {
  launch();
  EXPECT_EQ(fetch(), uikit::BackgroundFetchResult::kNewData);
  ASSERT_EQ(page_.requestCount(), 1u);
  EXPECT_EQ(page_.requests().front().method, "GET");
  EXPECT_EQ(page_.requests().front().path, "/");

  // A second fetch asks again: nothing of the first is kept.
  EXPECT_EQ(fetch(), uikit::BackgroundFetchResult::kNewData);
  EXPECT_EQ(page_.requestCount(), 2u);
}

TEST_F(BackgroundFetchTest, WithoutANetworkOrAPageTheFetchFailsWithoutARequest) {
  launch();
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  EXPECT_EQ(fetch(), uikit::BackgroundFetchResult::kFailed);
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWiFi);

  QMServerHosts::setBackgroundFetchPage("not a URL");
  EXPECT_EQ(fetch(), uikit::BackgroundFetchResult::kFailed);
  EXPECT_EQ(page_.requestCount(), 0u);
}

}  // namespace

}  // namespace app
