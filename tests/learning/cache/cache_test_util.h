#pragma once

// CacheRoad: the download area and the offline cache screen against real parts: the picker's road (the
// sample back end on loopback, a sandbox home, a signed-in learner, the object store with subject "数学"
// (S1) and its stage "基础" (ST1) of three chapters, the key window and the manual clock), screens made
// from storyboard "Course" and presented inside a navigation controller over the key window's root.
//
// The stage, with the lessons' courseIDs:
//   第一章 (C1): 第1课 (L1), 第2课 (L2), 第3课 (L3)
//   第二章 (C2): 第一节 (U1): 第4课 (L4), 第5课 (L5); 第二节 (U2): 第6课 (L6)
//   第三章 (C3): 第7课 (L7)

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "learning/cache/QMCacheController.h"
#include "learning/cache/QMCacheManageController.h"
#include "learning/cache/QMDLSubjectController.h"
#include "learning/course/picker_test_util.h"

namespace learning::cachetest {

class CacheRoad : public pickertest::PickerRoad {
 public:
  ~CacheRoad();

  // Presents scene `identifier` of storyboard "Course" as the first screen of a navigation controller, as
  // the drawer menu presents the download area, and lets the presentation finish.
  std::shared_ptr<uikit::ViewController> presentScene(const std::string& identifier);
  std::shared_ptr<QMDLSubjectController> presentDownloadArea();
  // The offline cache screen of the stage, presented the same way.
  std::shared_ptr<QMCacheManageController> presentCacheScreen();
  // Queues `courseIDs` with the download manager and runs until each is downloaded.
  ::testing::AssertionResult download(const std::vector<std::string>& courseIDs);
  // The screen on top of the presented navigation stack, or nullptr.
  std::shared_ptr<uikit::ViewController> topScreen() const;
  // Runs the loop (real time, for the network) until `done`, at most 20 s.
  static bool runUntil(const std::function<bool()>& done);
};

// A check that the screen text holds `text`, printing the screen when it does not.
::testing::AssertionResult screenShows(const std::string& text);

}  // namespace learning::cachetest
