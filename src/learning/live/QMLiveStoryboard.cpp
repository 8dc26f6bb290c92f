#include "learning/live/QMLiveStoryboard.h"

#include <memory>

#include "app/shell/AppDelegate.h"
#include "learning/live/QMLiveDetailController.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace learning {

void QMLiveStoryboard::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Storyboard::registerScene(app::AppDelegate::kCourseStoryboard, kLiveDetailScene,
                                   [] { return std::make_shared<QMLiveDetailController>(); });
}

}  // namespace learning
