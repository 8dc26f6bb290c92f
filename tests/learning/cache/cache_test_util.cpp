#include "learning/cache/cache_test_util.h"

#include "app/base/QMBaseNavigationController.h"
#include "app/store/QMDownloadStatus.h"
#include "learning/course/QMCourseStoryboard.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace learning::cachetest {

CacheRoad::~CacheRoad() {
  if (host()->presentedViewController()) {
    host()->dismissViewControllerAnimated(false);
  }
  ns::RunLoop::main().runPending();
}

std::shared_ptr<uikit::ViewController> CacheRoad::presentScene(const std::string& identifier) {
  const auto scene = uikit::Storyboard::storyboardWithName(QMCourseStoryboard::kName)
                         .value()
                         .instantiateViewControllerWithIdentifier(identifier);
  EXPECT_TRUE(scene.ok()) << identifier;
  if (!scene.ok()) {
    return nullptr;
  }
  host()->presentViewController(std::make_shared<app::QMBaseNavigationController>(scene.value()), false);
  ns::RunLoop::main().runPending();
  return scene.value();
}

std::shared_ptr<QMDLSubjectController> CacheRoad::presentDownloadArea() {
  return std::dynamic_pointer_cast<QMDLSubjectController>(
      presentScene(QMDLSubjectController::kSceneIdentifier));
}

std::shared_ptr<QMCacheManageController> CacheRoad::presentCacheScreen() {
  const auto scene = uikit::Storyboard::storyboardWithName(QMCourseStoryboard::kName)
                         .value()
                         .instantiateViewControllerWithIdentifier(QMCacheManageController::kSceneIdentifier);
  const auto screen = std::dynamic_pointer_cast<QMCacheManageController>(scene.value());
  screen->setMyStage(road().stage());
  host()->presentViewController(std::make_shared<app::QMBaseNavigationController>(screen), false);
  ns::RunLoop::main().runPending();
  return screen;
}

::testing::AssertionResult CacheRoad::download(const std::vector<std::string>& courseIDs) {
  for (const std::string& courseID : courseIDs) {
    QMDownloadHelper::sharedInstance()->add(course(courseID));
  }
  for (const std::string& courseID : courseIDs) {
    if (!runUntil([&] { return status(courseID) == app::kQMDownloadDone; })) {
      return ::testing::AssertionFailure() << courseID << " did not download; status " << status(courseID);
    }
  }
  return ::testing::AssertionSuccess();
}

std::shared_ptr<uikit::ViewController> CacheRoad::topScreen() const {
  const auto navigation =
      std::dynamic_pointer_cast<uikit::NavigationController>(host()->presentedViewController());
  return navigation && !navigation->viewControllers().empty() ? navigation->viewControllers().back()
                                                              : nullptr;
}

bool CacheRoad::runUntil(const std::function<bool()>& done) {
  return ns::RunLoop::main().runUntil(done, std::chrono::seconds(20));
}

::testing::AssertionResult screenShows(const std::string& text) {
  const std::string screen = uikit::Driver::screenText();
  if (screen.find(text) != std::string::npos) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "the screen does not show \"" << text << "\":\n" << screen;
}

}  // namespace learning::cachetest
