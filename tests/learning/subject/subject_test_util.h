#pragma once

// SubjectRoad: the application launched as the executable launches it (AppDelegate, the assembly's parts and
// scenes) with the sample learner signed in, against the sample back end on loopback: the JSON API with the
// video service (lessons of two one-second segments at a small size) and the statistics server, in a sandbox
// home. The key window's root is the drawer around the subject screen. Time runs on the manual clock; the
// network stays real.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/shell/AppDelegate.h"
#include "app/store/QMSubject.h"
#include "learning/subject/QMSubjectController.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "sample_backend/api/ApiServer.h"
#include "sample_backend/media/MediaService.h"
#include "sample_backend/statistics/StatisticsServer.h"
#include "support/scoped_manual_clock.h"

namespace learning::subjecttest {

class SubjectScreenTest : public ::testing::Test {
 protected:
  SubjectScreenTest();
  ~SubjectScreenTest() override;

  // Launches the application and runs until the subject screen shows the sample learner's subjects.
  ::testing::AssertionResult launch();
  // Runs the loop until `done`, moving the manual clock on while nothing else happens; at most 20 s.
  bool runUntil(const std::function<bool()>& done);
  // The subject screen in the drawer's centre, or nullptr.
  std::shared_ptr<QMSubjectController> screen() const;
  // The stored subject of the learner whose subjectID is `id`, or nullptr.
  static std::shared_ptr<app::QMSubject> subject(const std::string& id);
  // The requests the back end had on `path`, as their parameter dictionaries.
  std::size_t requestsOn(std::string_view path) const;
  static std::string screenText();
  static bool screenShows(const std::string& text) { return screenText().find(text) != std::string::npos; }

  testsupport::ScopedManualClock clock_;
  ns::testutil::TemporarySandbox sandbox_;
  std::shared_ptr<sample_backend::api::ApiService> api_;
  std::shared_ptr<sample_backend::media::MediaService> media_;
  std::unique_ptr<sample_backend::api::ApiServer> server_;
  std::unique_ptr<::StatisticsServer> statistics_;
  std::string learnerId_;
  std::shared_ptr<app::AppDelegate> delegate_;

 private:
  // The requests of the request layer in flight, so that no reply outlives the test.
  int requestsInFlight_ = 0;
  ns::NotificationCenter::ObserverToken requestStarts_;
  ns::NotificationCenter::ObserverToken requestEnds_;
};

}  // namespace learning::subjecttest
