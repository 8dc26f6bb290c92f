#pragma once

// DownloadRoad: everything the download manager meets on its road, for real: the sample back end (JSON API
// and video service) on a loopback port, a sandbox home, a signed-in learner, and a stage of lessons in the
// object store. Tests drive the main run loop until a specific event, with a deadline.
//
// A road made over an existing home (the reliability test's child process) opens the store and the session
// that an earlier road left there instead of creating them.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/notify/NotificationCenter.h"
#include "sample_backend/api/ApiServer.h"
#include "sample_backend/api/ApiService.h"
#include "sample_backend/media/MediaService.h"

class QMCourse;
class QMFileCacheInfo;
class QMStage;

namespace downloadtest {

// The lessons of the stage: "L1", "L2" and "L3", with videos "v1", "v2" and "v3".
inline constexpr std::size_t kLessonCount = 3;

class DownloadRoad {
 public:
  // A new home, a back end serving `media`, a learner signed in and the stage stored.
  explicit DownloadRoad(sample_backend::media::MediaOptions media = smallLessons());
  // The client side only, over `home`, where a road stored its session and store, talking to the back end
  // at `webHost` ("127.0.0.1:<port>").
  DownloadRoad(std::string home, std::string webHost);
  ~DownloadRoad();
  DownloadRoad(const DownloadRoad&) = delete;
  DownloadRoad& operator=(const DownloadRoad&) = delete;

  // Four segments of 40 packets each: quick to serve, enough to stop in the middle.
  static sample_backend::media::MediaOptions smallLessons();

  const std::string& home() const { return home_; }
  std::string webHost() const { return server_->hostAndPort(); }
  sample_backend::api::ApiService& api() { return *api_; }
  sample_backend::media::MediaService& media() { return *media_; }
  const sample_backend::media::MediaLibrary& library() { return media_->library(); }

  // Lesson `index` (0 to kLessonCount - 1), its download record and its folder.
  std::shared_ptr<QMCourse> lesson(std::size_t index) const;
  std::shared_ptr<QMFileCacheInfo> record(std::size_t index) const;
  std::int64_t status(std::size_t index) const;
  std::string lessonFolder(std::size_t index) const;
  std::shared_ptr<QMStage> stage() const;

  // The names of the files in lesson `index`'s folder, sorted; empty when there is no folder.
  std::vector<std::string> folderContents(std::size_t index) const;
  // The bytes of `name` in lesson `index`'s folder, or std::nullopt.
  std::optional<ns::Data> fileBytes(std::size_t index, const std::string& name) const;
  // True when every segment of lesson `index` is stored byte for byte as the back end sends it.
  ::testing::AssertionResult segmentsStoredIntact(std::size_t index) const;

  // The segment indexes of video `videoId` requested so far, in order; the playlist requests of it.
  std::vector<std::size_t> segmentRequests(const std::string& videoId) const;
  std::size_t playlistRequests(const std::string& videoId) const;

  // Closes the store; the next use opens it again from its file and so reads what another process wrote.
  static void reopenStore();

  // Runs the main loop until `done` holds, for at most `timeout` of real time.
  static bool runUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Runs the main loop until lesson `index` has `status`.
  bool runUntilStatus(std::size_t index, std::int64_t status,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

 private:
  void startClient(std::string webHost);
  void storeStage();

  std::string home_;
  bool ownsHome_ = false;
  std::shared_ptr<sample_backend::api::ApiService> api_;
  std::shared_ptr<sample_backend::media::MediaService> media_;
  std::unique_ptr<sample_backend::api::ApiServer> server_;
};

// Counts the notifications of one name while it lives.
class NotificationCount {
 public:
  explicit NotificationCount(const std::string& name)
      : token_(ns::NotificationCenter::defaultCenter().addObserverForName(
            name, nullptr, nullptr, [this](const ns::Notification& notification) {
              ++count_;
              lastObject_ = notification.object;
            })) {}
  ~NotificationCount() { ns::NotificationCenter::defaultCenter().removeObserver(token_); }

  int count() const { return count_; }
  const std::shared_ptr<ns::Object>& lastObject() const { return lastObject_; }

 private:
  int count_ = 0;
  std::shared_ptr<ns::Object> lastObject_;
  ns::NotificationCenter::ObserverToken token_;
};

}  // namespace downloadtest
