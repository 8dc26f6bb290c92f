#include "learning/downloads/download_test_util.h"

#include <algorithm>

#include "app/network/QMServerHosts.h"
#include "app/session/QMAppServices.h"
#include "app/store/QMSubject.h"
#include "learning/downloads/ZBM3U8.h"
#include "main/assembly/ApplicationAssembly.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "sample_backend/media/MediaPaths.h"
#include "support/process_reset.h"

namespace learning {

namespace downloadtest {
namespace {

// Drops every process-wide object of the client, as a process that ends would.
void forgetClient() {
  testsupport::resetForTesting();
}

}  // namespace

DownloadRoad::DownloadRoad(media::MediaOptions options) : sandbox_(std::in_place), home_(sandbox_->home()) {
  api_ = std::make_shared<api::ApiService>(
      api::SampleCatalogue::fromFile(api::SampleCatalogue::defaultPath()).value());
  media_ = std::make_shared<media::MediaService>(api_, media::MediaLibrary::make(options).value());
  server_ = api::ApiServer::start(api_, 0, media_).value();
  startClient(server_->hostAndPort());
  const std::string learnerId = api_->catalogue().section("learners").at(0).value("userId", "");
  app::QMUser::sharedInstance()->setUserId(learnerId);
  app::QMUser::sharedInstance()->setUserSid(api_->sessions().openSession(learnerId));
  app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
  EXPECT_TRUE(store.createSubjectWithDic(*ns::JSONSerialization::JSONObjectWithData(
      R"({"courseId": "S1", "id": "1", "name": "数学", "available": 1,
          "stageList": [{"nodeId": "ST1", "name": "基础"}]})")));
  // Type 2 is a lesson.
  store.createCourseWithDic(*ns::JSONSerialization::JSONObjectWithData(R"({
      "nodeId": "C1", "name": "第一章", "type": 1, "children": [
        {"nodeId": "L1", "name": "第1课", "type": 2, "videoId": "v1"},
        {"nodeId": "L2", "name": "第2课", "type": 2, "videoId": "v2"},
        {"nodeId": "L3", "name": "第3课", "type": 2, "videoId": "v3"}]})"),
                            stage());
  store.saveContext();
}

DownloadRoad::DownloadRoad(std::string home, std::string webHost) : home_(std::move(home)) {
  startClient(std::move(webHost));
}

DownloadRoad::~DownloadRoad() {
  forgetClient();
  ns::Sandbox::setHomeDirectory(std::nullopt);
}

void DownloadRoad::startClient(std::string webHost) {
  forgetClient();
  ns::Sandbox::setHomeDirectory(home_);
  app::QMServerHosts::setPublicWebHost(std::move(webHost));
  app::QMAppServices::myReachable()->startNotifier();
  reopenStore();
}

::testing::AssertionResult DownloadRoad::segmentsStoredIntact(std::size_t index, std::size_t count) const {
  for (std::size_t segment = 0; segment < std::min(count, media_->library().segmentCount()); ++segment) {
    const std::string name = "seg" + std::to_string(segment) + ".ts";
    if (fileBytes(index, name) != media_->library().encryptedSegment(segment)) {
      return ::testing::AssertionFailure() << name << " of lesson " << index << " is missing or differs";
    }
  }
  return ::testing::AssertionSuccess();
}

std::vector<std::string> DownloadRoad::requests() const {
  return namedMediaRequests(*media_);
}

bool DownloadRoad::queueTwoLessonsUntilASlowSegment() {
  media_->controls().faultNextSegment(1,
                                      {.pieceSize = 64, .pauseBetweenPieces = std::chrono::milliseconds(40)});
  QMDownloadHelper::sharedInstance()->add(lesson(0));
  QMDownloadHelper::sharedInstance()->add(lesson(1));
  return runUntil([&] { return requests().size() == 3; });
}

void DownloadRoad::reopenStore() {
  app::QMCoreDataHelper::resetSharedInstanceForTesting();
  assembly::ApplicationAssembly::connectParts();
}

std::vector<std::string> namedMediaRequests(const media::MediaService& media) {
  std::vector<std::string> named;
  for (const media::RecordedMediaRequest& request : media.recordedRequests()) {
    const std::string path = request.target.substr(0, request.target.find('?'));
    const std::size_t video = request.target.find("videoId=") + 8;
    if (const auto segment = media::parseSegmentPath(path)) {
      named.push_back(segment->videoId + " seg" + std::to_string(segment->index));
    } else if (path == media::kSignedPlaylistPath) {
      named.push_back(request.target.substr(video, request.target.find('&', video) - video) + " playlist");
    } else {
      named.push_back(request.target);
    }
  }
  return named;
}

std::vector<std::string> onlineAndOfflineLessonURLs(DownloadRoad& road, embedded_server::HTTPServer& server) {
  QMDownloadHelper::sharedInstance()->add(road.lesson(0));
  if (!road.runUntilStatus(0, app::kQMDownloadDone)) {
    return {};
  }
  server.setDocumentRoot(road.lessonFolder(0));
  if (!server.start().ok()) {
    return {};
  }
  const std::string offlineBase = "http://127.0.0.1:" + std::to_string(server.listeningPort()) + "/";
  if (!ZBM3U8::replaceM3U8File(road.lessonFolder(0) + "/index.m3u8", offlineBase).ok()) {
    return {};
  }
  return {road.record(0)->fileURL().value_or(""), offlineBase + "index.m3u8"};
}

}  // namespace downloadtest

}  // namespace learning
