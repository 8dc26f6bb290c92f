#include "app/settings/QMAboutController.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/net/URLRequest.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "platform/uikit/web/WebView.h"

namespace app {

namespace {

constexpr char kVersionKey[] = "CFBundleShortVersionString";
constexpr double kRowInset = 20;
constexpr double kRowHeight = 44;
constexpr double kVersionTop = 200;

}  // namespace

void QMAboutController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::white(1));
  const double width = bounds.width() - 2 * kRowInset;
  versionLabel_ = uikit::outlet(
      "versionLabel", std::make_shared<uikit::Label>(uikit::Rect(kRowInset, kVersionTop, width, kRowHeight)));
  versionLabel_->setTextAlignment(uikit::TextAlignment::kCenter);
  phoneCallBtn_ =
      uikit::outlet("phoneCallBtn", std::make_shared<uikit::Button>(uikit::Rect(
                                        kRowInset, kVersionTop + 2 * kRowHeight, width, kRowHeight)));
  phoneCallBtn_->setTitle(kPhoneCallTitle, uikit::kControlStateNormal);
  view->addSubview(versionLabel_);
  view->addSubview(phoneCallBtn_);
  setView(std::move(view));
  setTitle(kTitle);

  auto self = std::static_pointer_cast<QMAboutController>(shared_from_this());
  phoneCallBtn_->addTarget(self, &QMAboutController::phoneCallAction, uikit::kControlEventTouchUpInside);
  auto back = std::make_shared<uikit::BarButtonItem>(kBackTitle);
  back->setTarget(self, &QMAboutController::goBack);
  navigationItem().setLeftBarButtonItem(std::move(back));
}

void QMAboutController::viewDidLoad() {
  const ns::Value* version = ns::Bundle::mainBundle()->objectForInfoDictionaryKey(kVersionKey);
  versionLabel_->setText("版本 v" + ns::describe(version));
}

void QMAboutController::phoneCallAction(uikit::Button& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  auto callView = std::make_shared<uikit::WebView>(uikit::Rect());
  view()->addSubview(callView);
  callView->loadRequest(ns::URLRequest(ns::URL::fromString(std::string("tel:") + kCustomerServiceNumber)));
}

void QMAboutController::goBack(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->popViewControllerAnimated(true);
  }
}

}  // namespace app
