#include "learning/course/QMCourseStoryboard.h"

#include <memory>

#include "app/base/QMBaseNavigationController.h"
#include "learning/course/QMCommonTreeCell.h"
#include "learning/course/QMDLBeginController.h"
#include "learning/course/QMDownloadCell.h"
#include "learning/course/QMListenController.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace learning {

void QMCourseStoryboard::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Storyboard::registerScene(kName, kDownloadNavigationScene, [] {
    return std::make_shared<app::QMBaseNavigationController>(std::make_shared<QMDLBeginController>());
  });
  uikit::Storyboard::setInitialScene(kName, kDownloadNavigationScene);
  QMDownloadCell::registerNib();
  uikit::Storyboard::registerScene(kName, QMListenController::kSceneIdentifier,
                                   [] { return std::make_shared<QMListenController>(); });
  QMCommonTreeCell::registerNib();
}

}  // namespace learning
