#include "app/base/QMScenePresenting.h"

#include "app/base/QMBaseNavigationController.h"
#include "app/store/ConsoleLog.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace app {

namespace {

ns::Result<std::shared_ptr<uikit::ViewController>> instantiate(const std::string& storyboard,
                                                               const std::optional<std::string>& scene) {
  ns::Result<uikit::Storyboard> board = uikit::Storyboard::storyboardWithName(storyboard);
  if (!board.ok()) {
    return board.error();
  }
  return scene ? board->instantiateViewControllerWithIdentifier(*scene)
               : board->instantiateInitialViewController();
}

}  // namespace

ns::Result<std::shared_ptr<uikit::ViewController>> presentScene(uikit::ViewController& presenter,
                                                                const std::string& storyboard,
                                                                const std::optional<std::string>& scene,
                                                                SceneWrapping wrapping,
                                                                std::function<void()> completion) {
  QM_DCHECK_MAIN_THREAD();
  ns::Result<std::shared_ptr<uikit::ViewController>> made = instantiate(storyboard, scene);
  if (!made.ok()) {
    consoleLog("cannot open a screen of storyboard " + storyboard + ": " + consoleTextOfError(made.error()));
    return made.error();
  }
  std::shared_ptr<uikit::ViewController> shown = *made;
  if (wrapping == SceneWrapping::kInNavigation) {
    shown = std::make_shared<QMBaseNavigationController>(shown);
  }
  presenter.presentViewController(shown, true, std::move(completion));
  return shown;
}

}  // namespace app
