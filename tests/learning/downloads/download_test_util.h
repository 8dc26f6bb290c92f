#pragma once

// DownloadRoad: all the download manager meets, for real: the sample back end on a loopback port, a sandbox
// home, a signed-in learner and a stage of lessons "L1" to "L3" (videos "v1" to "v3") in the object store.
// Made over an existing home (a child process), it opens the store and session left there instead.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/session/QMUser.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMStage.h"
#include "embedded_server/http/HTTPServer.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "sample_backend/api/ApiServer.h"
#include "sample_backend/media/MediaService.h"

namespace learning {

namespace downloadtest {

namespace api = sample_backend::api;
namespace media = sample_backend::media;

class DownloadRoad {
 public:
  // Four segments of 0.4 seconds each: quick to make and serve, enough to stop in the middle.
  explicit DownloadRoad(media::MediaOptions options = {.segmentCount = 4, .segmentDuration = 0.4});
  // The client side only, over the `home` of another road, whose back end is at `webHost`.
  DownloadRoad(std::string home, std::string webHost);
  ~DownloadRoad();

  const std::string& home() const { return home_; }
  std::string webHost() const { return server_->hostAndPort(); }
  api::ApiService& api() { return *api_; }
  media::MediaService& media() { return *media_; }

  // Lesson `index` (0 to 2), its download record, its status (-1 without a record) and its folder.
  std::shared_ptr<app::QMCourse> lesson(std::size_t index) const {
    return first<app::QMCourse>(cd::Predicate::equals("courseID", "L" + std::to_string(index + 1)));
  }
  std::shared_ptr<app::QMFileCacheInfo> record(std::size_t index) const {
    const std::shared_ptr<app::QMCourse> course = lesson(index);
    return course ? course->fileCacheInfo() : nullptr;
  }
  std::int64_t status(std::size_t index) const {
    const std::shared_ptr<app::QMFileCacheInfo> info = record(index);
    return info ? info->status().value_or(0) : -1;
  }
  std::string lessonFolder(std::size_t index) const {
    return home_ + "/Documents/" + app::QMUser::sharedInstance()->userId().value_or("") + "/S1_@ST1_L" +
           std::to_string(index + 1);
  }
  std::shared_ptr<app::QMStage> stage() const { return first<app::QMStage>(cd::Predicate::allOf({})); }
  // The sorted names of the files in lesson `index`'s folder, and the bytes of one of them.
  std::vector<std::string> folderContents(std::size_t index) const {
    auto names = ns::FileManager::defaultManager().contentsOfDirectoryAtPath(lessonFolder(index));
    return names ? *names : std::vector<std::string>();
  }
  std::optional<ns::Data> fileBytes(std::size_t index, const std::string& name) const {
    auto bytes = ns::FileManager::defaultManager().contentsAtPath(lessonFolder(index) + "/" + name);
    return bytes ? std::optional<ns::Data>(*bytes) : std::nullopt;
  }
  // Whether the first `count` segments of lesson `index` are stored byte for byte as the back end sends them.
  ::testing::AssertionResult segmentsStoredIntact(std::size_t index, std::size_t count = SIZE_MAX) const;
  // The video service's requests so far, in order: "v1 playlist", "v1 seg0" and so on; others as they came.
  std::vector<std::string> requests() const;
  // Queues lessons 0 and 1; true once lesson 0's segment 1, kept slow so a test can act, is on the wire.
  bool queueTwoLessonsUntilASlowSegment();
  // Closes the store; its next use reads its file again, with what another process wrote.
  static void reopenStore();
  // Runs the main loop until `done` holds, for at most `timeout` of real time.
  static bool runUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    return ns::RunLoop::main().runUntil(done, timeout);
  }
  bool runUntilStatus(std::size_t index, std::int64_t wanted,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
    return runUntil([&] { return status(index) == wanted; }, timeout);
  }

 private:
  void startClient(std::string webHost);
  template <typename Entity>
  static std::shared_ptr<Entity> first(const cd::Predicate& predicate) {
    const auto found = app::QMCoreDataHelper::sharedInstance().fetchEntitiesOf<Entity>(predicate);
    return found.empty() ? nullptr : found.front();
  }

  std::optional<ns::testutil::TemporarySandbox> sandbox_;
  std::string home_;
  std::shared_ptr<api::ApiService> api_;
  std::shared_ptr<media::MediaService> media_;
  std::unique_ptr<api::ApiServer> server_;
};

// Counts the notifications of one name while it lives, and keeps the object of the last.
struct NotificationCount {
  explicit NotificationCount(const std::string& name)
      : token(ns::NotificationCenter::defaultCenter().addObserverForName(
            name, nullptr, nullptr, [this](const ns::Notification& notification) {
              ++count;
              lastObject = notification.object;
            })) {}
  ~NotificationCount() { ns::NotificationCenter::defaultCenter().removeObserver(token); }
  NotificationCount(const NotificationCount&) = delete;
  NotificationCount& operator=(const NotificationCount&) = delete;
  int count = 0;
  std::shared_ptr<ns::Object> lastObject;
  ns::NotificationCenter::ObserverToken token;
};

// The video service's requests so far, in order: "<videoId> playlist", "<videoId> seg<n>", others as they
// came.
std::vector<std::string> namedMediaRequests(const media::MediaService& media);

// Downloads lesson 0 of `road`, serves its folder with `server` and points its stored playlist there.
// Returns the lesson's signed online playlist URL and the served offline one, or nothing when a step failed.
std::vector<std::string> onlineAndOfflineLessonURLs(DownloadRoad& road, embedded_server::HTTPServer& server);

}  // namespace downloadtest

}  // namespace learning
