#include "app/user/QMUserStoryboard.h"

#include <memory>

#include "app/user/QMUserLogController.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace app {

void QMUserStoryboard::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Storyboard::registerScene(kName, "QMUserLogController",
                                   [] { return std::make_shared<QMUserLogController>(); });
}

}  // namespace app
