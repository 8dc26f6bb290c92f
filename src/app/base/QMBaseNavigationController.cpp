#include "app/base/QMBaseNavigationController.h"

namespace app {

uikit::Color QMBaseNavigationController::barTint() {
  return uikit::Color::hsba(0.51, 0.598, 0.8, 1.0);
}

void QMBaseNavigationController::viewDidLoad() {
  uikit::NavigationController::viewDidLoad();
  navigationBar().setTintColor(barTint());
  navigationBar().setTitleTextAttributes(
      uikit::TextAttributes{uikit::Font::boldSystemFontOfSize(18), uikit::Color::white(1)});
}

}  // namespace app
