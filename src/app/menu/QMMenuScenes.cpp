#include "app/menu/QMMenuScenes.h"

#include <memory>

#include "app/base/QMBaseNavigationController.h"
#include "app/menu/QMMenuController.h"
#include "app/purchase/QMPurchaseUnavailableController.h"
#include "app/shell/AppDelegate.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace app {

void QMMenuScenes::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Storyboard::registerScene(AppDelegate::kCourseStoryboard, AppDelegate::kMenuScene,
                                   [] { return std::make_shared<QMMenuController>(); });
  uikit::Storyboard::registerScene(QMMenuController::kPurchaseStoryboard, kPurchaseNavigationScene, [] {
    return std::make_shared<QMBaseNavigationController>(std::make_shared<QMPurchaseUnavailableController>());
  });
  uikit::Storyboard::setInitialScene(QMMenuController::kPurchaseStoryboard, kPurchaseNavigationScene);
}

}  // namespace app
