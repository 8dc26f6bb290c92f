#include "app/settings/QMMoreStoryboard.h"

#include <memory>

#include "app/base/QMBaseNavigationController.h"
#include "app/settings/QMAboutController.h"
#include "app/settings/QMFeedbackController.h"
#include "app/settings/QMProtocolController.h"
#include "app/settings/QMSettingController.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace app {

namespace {

// Registers `scene` as a controller of type `Controller`, and `navScene` as that scene at the root of a
// navigation stack of the application's style.
template <typename Controller>
void registerWithNavigation(const char* scene, const char* navScene) {
  uikit::Storyboard::registerScene(QMMoreStoryboard::kName, scene,
                                   [] { return std::make_shared<Controller>(); });
  // The root comes from its own scene, so that it knows its storyboard's segues.
  uikit::Storyboard::registerScene(QMMoreStoryboard::kName, navScene, [scene] {
    return std::make_shared<QMBaseNavigationController>(
        uikit::Storyboard::storyboardWithName(QMMoreStoryboard::kName)
            .value()
            .instantiateViewControllerWithIdentifier(scene)
            .value());
  });
}

}  // namespace

void QMMoreStoryboard::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  registerWithNavigation<QMSettingController>(kSettingScene, kSettingNavScene);
  registerWithNavigation<QMProtocolController>(kProtocolScene, kProtocolNavScene);
  uikit::Storyboard::registerScene(kName, kAboutScene, [] { return std::make_shared<QMAboutController>(); });
  uikit::Storyboard::registerScene(kName, kFeedbackScene,
                                   [] { return std::make_shared<QMFeedbackController>(); });
  uikit::Storyboard::setInitialScene(kName, kSettingNavScene);
  uikit::Storyboard::registerSegue(kName, kSettingScene, kAboutSegue, {kAboutScene, uikit::SegueKind::kPush});
  uikit::Storyboard::registerSegue(kName, kSettingScene, kFeedbackSegue,
                                   {kFeedbackScene, uikit::SegueKind::kPush});
}

}  // namespace app
