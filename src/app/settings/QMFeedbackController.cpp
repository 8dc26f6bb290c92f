#include "app/settings/QMFeedbackController.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

namespace {

constexpr double kInset = 15;
constexpr double kTop = 80;
constexpr double kTextHeight = 160;
constexpr double kRowHeight = 44;
constexpr double kRowSpacing = 16;
constexpr double kPlaceholderInset = 5;
constexpr double kToastSeconds = 2.0;

}  // namespace

void QMFeedbackController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  const double width = bounds.width() - 2 * kInset;
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::white(1));
  myTextview_ = uikit::outlet(
      "myTextview", std::make_shared<uikit::TextView>(uikit::Rect(kInset, kTop, width, kTextHeight)));
  adviceHoldLabel_ = uikit::outlet(
      "adviceHoldLabel", std::make_shared<uikit::Label>(uikit::Rect(
                             kInset + kPlaceholderInset, kTop + kPlaceholderInset, width, kRowHeight / 2)));
  adviceHoldLabel_->setText(kPlaceholderText);
  adviceHoldLabel_->setTextColor(uikit::Color::white(0.7));
  double top = kTop + kTextHeight + kRowSpacing;
  myTF_ =
      uikit::outlet("myTF", std::make_shared<uikit::TextField>(uikit::Rect(kInset, top, width, kRowHeight)));
  myTF_->setPlaceholder(kContactPlaceholder);
  top += kRowHeight + kRowSpacing;
  sendBtn_ =
      uikit::outlet("sendBtn", std::make_shared<uikit::Button>(uikit::Rect(kInset, top, width, kRowHeight)));
  sendBtn_->setTitle(kSendTitle, uikit::kControlStateNormal);
  for (const std::shared_ptr<uikit::View>& part :
       std::initializer_list<std::shared_ptr<uikit::View>>{myTextview_, adviceHoldLabel_, myTF_, sendBtn_}) {
    view->addSubview(part);
  }
  setView(std::move(view));
  setTitle(kTitle);

  auto self = std::static_pointer_cast<QMFeedbackController>(shared_from_this());
  myTextview_->setDelegate(std::static_pointer_cast<uikit::TextViewDelegate>(self));
  sendBtn_->addTarget(self, &QMFeedbackController::sendAdvice, uikit::kControlEventTouchUpInside);
  auto back = std::make_shared<uikit::BarButtonItem>(kBackTitle);
  back->setTarget(self, &QMFeedbackController::goBack);
  navigationItem().setLeftBarButtonItem(std::move(back));
}

void QMFeedbackController::viewDidLoad() {
  dataModel_ = std::make_shared<QMUserDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<QMUserDataModelDelegate>(
      std::static_pointer_cast<QMFeedbackController>(shared_from_this())));
  myTextview_->becomeFirstResponder();
}

void QMFeedbackController::textViewDidChange(uikit::TextView& textView) {
  adviceHoldLabel_->setHidden(!textView.text().empty());
}

void QMFeedbackController::sendAdvice(uikit::Button& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (myTextview_->text().empty()) {
    ui::ProgressHUD::showAlertWithText(kEmptyFeedbackText, kToastSeconds);
    return;
  }
  dataModel_->networkFeedbackWith(myTextview_->text(), myTF_->text());
}

void QMFeedbackController::networkFeedbackSuccess() {
  ui::ProgressHUD::showAlertWithText(kSentText, kToastSeconds);
}

void QMFeedbackController::goBack(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->popViewControllerAnimated(true);
  }
}

}  // namespace app
