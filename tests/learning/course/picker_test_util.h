#pragma once

// PickerRoad: the download picker against real parts: the download road (sample back end on loopback,
// sandbox home, signed-in learner, object store) with a deeper stage, a key window whose root presents the
// picker's navigation controller from storyboard "Course", and the manual clock for the close delay.
//
// The stage, with the lessons' courseIDs:
//   第一章 (C1): 第1课 (L1), 第2课 (L2), 第3课 (L3)
//   第二章 (C2): 第一节 (U1): 第4课 (L4), 第5课 (L5); 第二节 (U2): 第6课 (L6)
//   第三章 (C3): 第7课 (L7)

#include <chrono>
#include <memory>
#include <string>

#include "app/store/QMCourse.h"
#include "learning/course/QMDLBeginController.h"
#include "learning/downloads/download_test_util.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/controllers/ViewController.h"
#include "support/scoped_manual_clock.h"

namespace learning::pickertest {

class PickerRoad {
 public:
  PickerRoad();
  ~PickerRoad();

  downloadtest::DownloadRoad& road() { return road_; }
  // The course node `courseID`, and its lesson's record status (-1 without a record).
  static std::shared_ptr<app::QMCourse> course(const std::string& courseID);
  static std::int64_t status(const std::string& courseID);
  static void setStatus(const std::string& courseID, std::int64_t status);

  // Presents the picker for the stage, as the playback screen does, and lets the presentation finish.
  // Returns the picker.
  std::shared_ptr<QMDLBeginController> presentPicker();
  // The root screen of the key window, which presents the screens under test.
  const std::shared_ptr<uikit::ViewController>& host() const { return host_; }
  // Whether the picker is still presented.
  bool pickerShown() const { return host_->presentedViewController() != nullptr; }
  // Moves the manual clock on and runs what fell due.
  void advance(std::chrono::milliseconds by);
  // How many times the screen text shows `text`.
  static int countOnScreen(const std::string& text);

 private:
  // The clock goes back to the steady clock only after the road has let go of everything.
  testsupport::ScopedManualClock clock_;
  downloadtest::DownloadRoad road_;
  std::shared_ptr<uikit::ViewController> host_ = std::make_shared<uikit::ViewController>();
  std::shared_ptr<uikit::Window> window_ = std::make_shared<uikit::Window>();
};

}  // namespace learning::pickertest
