// The network switch as the application meets it: with no network a back-end request fails as a phone's
// does and reaches no server, the lesson server still serves a downloaded lesson, and back on Wi-Fi the play
// records held meanwhile and the play position go through.

#include "app/course/QMCourseDataModel.h"
#include "app/network/QMNetworkHelper.h"
#include "app/store/QMSubject.h"
#include "learning/downloads/download_test_util.h"
#include "learning/player/RunLoopSocketModel.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLError.h"
#include "platform/outside/SimulatedNetwork.h"
#include "sample_backend/statistics/StatisticsServer.h"

namespace learning {

namespace {

using downloadtest::DownloadRoad;

// How one URL load ended: the response's status, or the error.
struct LoadOutcome : ns::URLConnectionDelegate {
  std::optional<int> status;
  std::optional<ns::Error> error;
  bool finished = false;

  void didReceiveResponse(ns::URLConnection&, std::shared_ptr<const ns::URLResponse> response) override {
    status = static_cast<const ns::HTTPURLResponse&>(*response).statusCode();
  }
  DataDisposition didReceiveData(ns::URLConnection&, const std::uint8_t*, std::size_t) override {
    return DataDisposition::kConsumed;
  }
  void didFinishLoading(ns::URLConnection&) override { finished = true; }
  void didFailWithError(ns::URLConnection&, const ns::Error& failure) override { error = failure; }
};

std::shared_ptr<LoadOutcome> load(const std::string& url) {
  auto outcome = std::make_shared<LoadOutcome>();
  const auto connection = ns::URLConnection::create(ns::URLRequest(ns::URL::fromString(url)), outcome);
  connection->start();
  EXPECT_TRUE(DownloadRoad::runUntil([&] { return outcome->finished || outcome->error; })) << url;
  return outcome;
}

struct SavedPositions : app::QMCourseDataModelDelegate {
  int count = 0;
  void networkSaveVideoProgressSuccess() override { ++count; }
};

TEST(NetworkSwitchTest, OfflineOnlyTheDevicesOwnServersAnswerAndBackOnWiFiWhatWaitedGoesThrough) {
  DownloadRoad road;
  embedded_server::HTTPServer lessonServer;
  const std::vector<std::string> urls = downloadtest::onlineAndOfflineLessonURLs(road, lessonServer);
  ASSERT_EQ(urls.size(), 2u);
  const std::string& online = urls[0];
  const std::string& offline = urls[1];
  const std::unique_ptr<StatisticsServer> statistics = StatisticsServer::start().value();
  statistics->setActivityHandler([] { ns::RunLoop::main().post([] {}); });
  RunLoopSocketModel::setServerAddress("127.0.0.1", statistics->port());
  const auto player = RunLoopSocketModel::create();
  player->sendMessageWithStartTime(10, online, true, "42", true);
  ASSERT_TRUE(DownloadRoad::runUntil([&] { return statistics->acceptedRecords().size() == 1; }));

  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  ASSERT_TRUE(DownloadRoad::runUntil([&] { return player->client() == nullptr; }))
      << "the statistics connection ends with the link";
  const std::size_t serverTimesAsked =
      road.api().recordedRequests(app::QMCourseDataModel::kServerTimePath).size();
  std::optional<ns::Error> failure;
  app::QMNetworkHelper::commonServerManager()->POST(
      app::QMCourseDataModel::kServerTimePath, app::QMNetworkHelper::networkCommonParam(std::nullopt),
      [](const auto&, const auto&) {}, [&](const auto&, const ns::Error& error) { failure = error; });
  ASSERT_TRUE(DownloadRoad::runUntil([&] { return failure.has_value(); }));
  EXPECT_EQ(failure->domain(), ns::kURLErrorDomain);
  EXPECT_EQ(failure->code(), ns::kURLErrorNotConnectedToInternet);
  EXPECT_EQ(road.api().recordedRequests(app::QMCourseDataModel::kServerTimePath).size(), serverTimesAsked);
  ASSERT_TRUE(load(online)->error.has_value());
  EXPECT_EQ(load(online)->error->code(), ns::kURLErrorNotConnectedToInternet);
  EXPECT_EQ(load(offline)->status, 200) << "the lesson server is the device's own";

  // A play offline is held, and its connection fails without reaching the server; the position waits.
  player->sendMessageWithStartTime(20, offline, true, "42", false);
  ASSERT_TRUE(DownloadRoad::runUntil([&] { return player->client() == nullptr; }));
  const std::shared_ptr<app::QMSubject> subject =
      app::QMCoreDataHelper::sharedInstance().fetchEntitiesOf<app::QMSubject>(cd::Predicate::allOf({})).at(0);
  // A lesson of the sample catalogue's English subject, which the back end keeps positions of.
  subject->setCourseID("102");
  subject->setOnClassID("102103");
  subject->setOnClassProgress("42");
  auto positions = std::make_shared<SavedPositions>();
  auto courses = std::make_shared<app::QMCourseDataModel>();
  courses->setDelegate(positions);
  courses->networkSaveVideoProgress(subject);
  EXPECT_EQ(statistics->loginCount(), 1u);

  outside::SimulatedNetwork::setStatus(outside::ReachableViaWiFi);
  player->sendMessageWithStartTime(30, online, true, "42", true);
  ASSERT_TRUE(DownloadRoad::runUntil([&] { return statistics->acceptedRecords().size() == 3; }));
  EXPECT_TRUE(statistics->acceptedRecords()[1].starts_with("cltdat|20-#*"))
      << statistics->acceptedRecords()[1];
  EXPECT_TRUE(statistics->acceptedRecords()[2].starts_with("cltdat|30-#*"))
      << statistics->acceptedRecords()[2];
  courses->networkSaveVideoProgress(subject);
  ASSERT_TRUE(DownloadRoad::runUntil([&] { return positions->count == 1; }));
  EXPECT_EQ(road.api().recordedRequests(app::QMCourseDataModel::kSaveProgressPath).size(), 1u);
  RunLoopSocketModel::setServerAddress("127.0.0.1");
}

}  // namespace

}  // namespace learning
