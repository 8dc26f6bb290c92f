#include "app/purchase/QMPurchaseUnavailableController.h"

#include "app/base/QMBackItem.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

constexpr double kMessageTop = 200;
constexpr double kMessageHeight = 44;

}  // namespace

void QMPurchaseUnavailableController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::white(1));
  auto message = uikit::outlet("messageLabel", std::make_shared<uikit::Label>(uikit::Rect(
                                                   0, kMessageTop, bounds.width(), kMessageHeight)));
  message->setTextAlignment(uikit::TextAlignment::kCenter);
  message->setText(kMessage);
  view->addSubview(std::move(message));
  setView(std::move(view));
  navigationItem().setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(
      makeBackItem(std::static_pointer_cast<QMPurchaseUnavailableController>(shared_from_this()),
                   &QMPurchaseUnavailableController::goBackAction));
}

void QMPurchaseUnavailableController::goBackAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  uikit::NavigationController* navigation = navigationController();
  if (navigation != nullptr && navigation->viewControllers().size() > 1 &&
      navigation->viewControllers().front().get() != this) {
    navigation->popViewControllerAnimated(true);
    return;
  }
  dismissViewControllerAnimated(true);
}

}  // namespace app
