#include "learning/cache/QMCacheStoryboard.h"

#include <memory>

#include "learning/cache/QMCacheController.h"
#include "learning/cache/QMCacheManageController.h"
#include "learning/cache/QMCachedCourseCell.h"
#include "learning/cache/QMCachingCourseCell.h"
#include "learning/cache/QMDLStageController.h"
#include "learning/cache/QMDLSubjectController.h"
#include "learning/course/QMCourseStoryboard.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace learning {

namespace {

template <typename Controller>
void registerScene() {
  uikit::Storyboard::registerScene(QMCourseStoryboard::kName, Controller::kSceneIdentifier,
                                   [] { return std::make_shared<Controller>(); });
}

}  // namespace

void QMCacheStoryboard::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  registerScene<QMDLSubjectController>();
  registerScene<QMDLStageController>();
  registerScene<QMCacheManageController>();
  registerScene<QMCacheController>();
  uikit::Storyboard::registerSegue(QMCourseStoryboard::kName, QMDLSubjectController::kSceneIdentifier,
                                   QMDLSubjectController::kStageSegue,
                                   {.destinationScene = QMDLStageController::kSceneIdentifier});
  uikit::Storyboard::registerSegue(QMCourseStoryboard::kName, QMDLStageController::kSceneIdentifier,
                                   QMDLStageController::kCacheSegue,
                                   {.destinationScene = QMCacheManageController::kSceneIdentifier});
  QMCachingCourseCell::registerNib();
  QMCachedCourseCell::registerNib();
}

}  // namespace learning
