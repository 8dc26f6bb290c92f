#include "platform/uikit/render/VisibleScreen.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Application.h"

namespace uikit {

VisibleScreen VisibleScreen::current() {
  QM_DCHECK_MAIN_THREAD();
  VisibleScreen screen;
  screen.alerts = AlertView::visibleAlerts();
  screen.window = Application::sharedApplication().keyWindow();
  if (!screen.window) {
    return screen;
  }
  screen.window->updateIfNeeded();
  screen.topController = Application::sharedApplication().topViewController();
  if (screen.topController) {
    screen.contentController = screen.topController->contentViewController();
    screen.contentView = screen.topController->view();
  }
  bool inFront = screen.contentView == nullptr;
  for (const auto& subview : screen.window->subviews()) {
    if (inFront && subview->isShown()) {
      screen.viewsOnTop.push_back(subview);
    }
    inFront = inFront || subview == screen.contentView;
  }
  return screen;
}

}  // namespace uikit
