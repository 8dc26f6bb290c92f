#pragma once

// ListenRoad: the lesson playback screen against the sample back end on loopback: the JSON API with the
// video service (for the tests, lessons of four one-second segments at a small size) and the statistics
// server, a
// sandbox home, the sample learner signed in and subject 101 stored with its stage 1011, whose tree the
// screen fetches: lesson 101101 under the stage, then chapters with units (lessons 101104, 101105, 101107,
// 101108 under chapter 101102; 101111, 101112 in unit 101110 and 101113 directly under chapter 101109).
// The screen is presented over a root screen on the key window. ListenScreenTest runs the road with time on
// the manual clock while the network stays real; the benchmarks run it on the steady clock.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/store/QMCourse.h"
#include "app/store/QMStage.h"
#include "learning/course/QMListenController.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "platform/uikit/app/Window.h"
#include "sample_backend/api/ApiServer.h"
#include "sample_backend/media/MediaLibrary.h"
#include "sample_backend/media/MediaService.h"
#include "sample_backend/statistics/StatisticsServer.h"
#include "support/scoped_manual_clock.h"

namespace learning::listentest {

class ListenRoad {
 public:
  explicit ListenRoad(sample_backend::media::MediaOptions lesson);
  ~ListenRoad();
  ListenRoad(const ListenRoad&) = delete;
  ListenRoad& operator=(const ListenRoad&) = delete;

  // Presents the playback screen for stage 1011 and runs the loop until its tree is stored and a lesson
  // chosen. `resume`: the presenter's isPlayRecord.
  ::testing::AssertionResult openScreen(bool resume = false);
  // The stored course node `courseID`, or nullptr.
  static std::shared_ptr<app::QMCourse> course(const std::string& courseID);
  // Runs the loop (real time, for the network) until `done`, at most 20 s.
  static bool runUntil(const std::function<bool()>& done);
  // The statistics server's accepted records.
  std::vector<std::string> records() const { return statistics_->acceptedRecords(); }
  // The video service's requests so far: "<videoId> playlist", "<videoId> seg<n>", others as they came.
  std::vector<std::string> mediaRequests() const;
  // The number of server-time requests the back end has had.
  std::size_t serverTimeRequests() const;
  // Downloads lessons `courseIDs` through the download manager and runs until each is done.
  ::testing::AssertionResult download(const std::vector<std::string>& courseIDs);
  // Turns the device, as a person turns the phone.
  static void turnDevice(uikit::DeviceOrientation orientation);
  // Whether the player has the lesson the screen chose (the one before may play on while the server time
  // for the chosen one is on its way).
  bool playsTheChosenLesson() const;
  // The screen's player, or nullptr.
  std::shared_ptr<ZBPlayer> player() const { return screen_ ? screen_->playerView() : nullptr; }
  // Taps one of the player's buttons as a finger would.
  static void tap(uikit::Button& button);

  ns::testutil::TemporarySandbox sandbox_;
  std::shared_ptr<sample_backend::api::ApiService> api_;
  std::shared_ptr<sample_backend::media::MediaService> media_;
  std::unique_ptr<sample_backend::api::ApiServer> server_;
  std::unique_ptr<::StatisticsServer> statistics_;
  std::string learnerId_;
  std::shared_ptr<app::QMStage> stage_;
  std::shared_ptr<uikit::Window> window_;
  std::shared_ptr<uikit::ViewController> root_;
  std::shared_ptr<QMListenController> screen_;
};

class ListenScreenTest : public ::testing::Test, public ListenRoad {
 protected:
  static constexpr std::uint32_t kLessonSeconds = 4;

  ListenScreenTest();

  // Moves the manual clock in steps of the player's tick until `done`, letting data and decoding catch up
  // before each step; at most `most` of clock time.
  bool playUntil(const std::function<bool()>& done, ns::Duration most = std::chrono::seconds(10));
  // Runs until the player has loaded and shows a decoded picture.
  ::testing::AssertionResult playUntilPicture();

  testsupport::ScopedManualClock clock_;
};

}  // namespace learning::listentest
