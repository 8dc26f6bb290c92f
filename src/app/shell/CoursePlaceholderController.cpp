#include "app/shell/CoursePlaceholderController.h"

#include "app/shell/AppDelegate.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace app {

namespace {

void toggleDrawer(CoursePlaceholderController& subject) {
  if (std::shared_ptr<ui::DrawerController> drawer = subject.drawer()) {
    if (drawer->drawerState() == ui::DrawerState::kClosed) {
      drawer->open();
    } else {
      drawer->close();
    }
  }
}

void registerPlaceholder(const std::string& scene, const std::string& buttonTitle,
                         CoursePlaceholderController::Action action) {
  uikit::Storyboard::registerScene(AppDelegate::kCourseStoryboard, scene, [scene, buttonTitle, action] {
    return std::make_shared<CoursePlaceholderController>(scene, buttonTitle, action);
  });
}

}  // namespace

void CoursePlaceholderController::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  registerPlaceholder(AppDelegate::kSubjectScene, kMenuButtonTitle, toggleDrawer);
}

CoursePlaceholderController::CoursePlaceholderController(std::string sceneName, std::string buttonTitle,
                                                         Action action)
    : sceneName_(std::move(sceneName)), buttonTitle_(std::move(buttonTitle)), action_(std::move(action)) {}

void CoursePlaceholderController::loadView() {
  auto view = std::make_shared<uikit::View>(uikit::Screen::mainScreen().bounds());
  view->setBackgroundColor(uikit::Color::white(1));
  auto button = std::make_shared<uikit::Button>(uikit::Rect(20, 80, 120, 44));
  button->setTitle(buttonTitle_, uikit::kControlStateNormal);
  // The action may drop this screen (logging out rebuilds the root), so it holds the screen until it ends.
  std::weak_ptr<CoursePlaceholderController> weakSelf =
      std::static_pointer_cast<CoursePlaceholderController>(shared_from_this());
  button->addAction(
      [weakSelf](uikit::Control&) {
        if (std::shared_ptr<CoursePlaceholderController> self = weakSelf.lock()) {
          self->action_(*self);
        }
      },
      uikit::kControlEventTouchUpInside);
  view->addSubview(std::move(button));
  setView(std::move(view));
}

}  // namespace app
