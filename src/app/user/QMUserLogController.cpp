#include "app/user/QMUserLogController.h"

#include "app/session/QMAppServices.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Keyboard.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

namespace {

// The scene's design height: the screen the storyboard was laid out on.
constexpr double kDesignHeight = 667;
// Where the slide puts the logo and the input area on the design height, and the space under the logo.
constexpr double kIconTopOnDesign = 110;
constexpr double kInputTopOnDesign = 330;
constexpr double kTitleBelowIcon = 50;
constexpr double kOpeningSeconds = 0.8;
constexpr double kKeyboardSeconds = 0.3;
constexpr double kToastSeconds = 2.0;
constexpr double kButtonCornerRadius = 5;
constexpr double kIconSide = 100;
constexpr uikit::Size kTitleSize{200, 40};

// The input area's rows: the two field frames and the button, each this high and this far apart.
constexpr double kRowHeight = 44;
constexpr double kRowSpacing = 16;
constexpr double kRowInset = 30;
// The field's inset inside its frame.
constexpr double kFieldInset = 10;

std::shared_ptr<uikit::TextField> makeField(const char* outletName, const char* placeholder, double width) {
  auto field = uikit::outlet(outletName, std::make_shared<uikit::TextField>(uikit::Rect(
                                             kFieldInset, 0, width - 2 * kFieldInset, kRowHeight)));
  field->setPlaceholder(placeholder);
  return field;
}

std::shared_ptr<uikit::View> makeRowFrame(const char* outletName, double width,
                                          const std::shared_ptr<uikit::TextField>& field) {
  auto frame =
      uikit::outlet(outletName, std::make_shared<uikit::View>(uikit::Rect(kRowInset, 0, width, kRowHeight)));
  frame->addSubview(field);
  frame->setHidden(true);
  return frame;
}

}  // namespace

QMUserLogController::~QMUserLogController() {
  ns::NotificationCenter::defaultCenter().removeObserver(this);
}

void QMUserLogController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  const double rowWidth = bounds.width() - 2 * kRowInset;
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::white(1));

  // The logo and the title start low on the screen; the opening slide lifts them.
  loginIcon_ = uikit::outlet("loginIcon",
                             std::make_shared<uikit::ImageView>(uikit::Rect(
                                 bounds.midX() - kIconSide / 2, bounds.height() / 3, kIconSide, kIconSide)));
  loginTitle_ = uikit::outlet(
      "loginTitle",
      std::make_shared<uikit::ImageView>(uikit::Rect(
          uikit::Point{bounds.midX() - kTitleSize.width / 2, loginIcon_->frame().maxY() + kTitleBelowIcon},
          kTitleSize)));

  userNameTF_ = makeField("userNameTF", "用户名", rowWidth);
  userPasswordTF_ = makeField("userPasswordTF", "密码", rowWidth);
  userPasswordTF_->setSecureTextEntry(true);
  userNameView_ = makeRowFrame("userNameView", rowWidth, userNameTF_);
  passwordView_ = makeRowFrame("passwordView", rowWidth, userPasswordTF_);

  loginBtn_ = uikit::outlet("loginBtn",
                            std::make_shared<uikit::Button>(uikit::Rect(kRowInset, 0, rowWidth, kRowHeight)));
  loginBtn_->setTitle(kLoginTitle, uikit::kControlStateNormal);
  loginBtn_->setHidden(true);

  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           loginIcon_, loginTitle_, userNameView_, passwordView_, loginBtn_}) {
    view->addSubview(part);
  }
  setView(std::move(view));

  auto self = std::static_pointer_cast<QMUserLogController>(shared_from_this());
  loginBtn_->addTarget(self, &QMUserLogController::goLoginAction, uikit::kControlEventTouchUpInside);
  userNameTF_->setDelegate(std::static_pointer_cast<uikit::TextFieldDelegate>(self));
  userPasswordTF_->setDelegate(std::static_pointer_cast<uikit::TextFieldDelegate>(self));
}

void QMUserLogController::viewDidLoad() {
  loginBtn_->layer().setCornerRadius(kButtonCornerRadius);
  auto self = std::static_pointer_cast<QMUserLogController>(shared_from_this());
  dataModel_ = std::make_shared<QMUserDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<QMUserDataModelDelegate>(self));
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  center.addObserver(self, &QMUserLogController::keyboardWillShow, uikit::kKeyboardWillShowNotification,
                     nullptr);
  center.addObserver(self, &QMUserLogController::keyboardWillHide, uikit::kKeyboardWillHideNotification,
                     nullptr);
}

void QMUserLogController::viewDidAppear(bool /*animated*/) {
  const double viewHeight = view()->frame().height();
  std::weak_ptr<QMUserLogController> weakSelf =
      std::static_pointer_cast<QMUserLogController>(shared_from_this());
  uikit::View::animateWithDuration(
      kOpeningSeconds,
      [this, viewHeight] {
        uikit::Rect icon = loginIcon_->frame();
        icon.origin.y = viewHeight / kDesignHeight * kIconTopOnDesign;
        loginIcon_->setFrame(icon);
        uikit::Rect title = loginTitle_->frame();
        title.origin.y = icon.maxY() + kTitleBelowIcon;
        loginTitle_->setFrame(title);
      },
      [weakSelf](bool) {
        if (std::shared_ptr<QMUserLogController> self = weakSelf.lock()) {
          self->userNameView_->setHidden(false);
          self->passwordView_->setHidden(false);
          self->loginBtn_->setHidden(false);
        }
      });
}

void QMUserLogController::viewDidLayoutSubviews() {
  const std::shared_ptr<uikit::Window> window = uikit::Application::sharedApplication().keyWindow();
  if (!window) {
    return;
  }
  topAlignConstant_ = window->frame().height() / kDesignHeight * kInputTopOnDesign;
  double top = topAlignConstant_;
  for (const std::shared_ptr<uikit::View>& row :
       std::initializer_list<std::shared_ptr<uikit::View>>{userNameView_, passwordView_, loginBtn_}) {
    uikit::Rect frame = row->frame();
    frame.origin.y = top;
    row->setFrame(frame);
    top = frame.maxY() + kRowSpacing;
  }
}

void QMUserLogController::goLoginAction(uikit::Button& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  resignBothFields();
  if (checkUserInput()) {
    dataModel_->networkLoginWithName(userNameTF_->text(), userPasswordTF_->text());
  }
}

bool QMUserLogController::checkUserInput() {
  QM_DCHECK_MAIN_THREAD();
  if (userNameTF_->text().empty()) {
    ui::ProgressHUD::showAlertWithText(kEmptyNameText, kToastSeconds);
    return false;
  }
  if (userPasswordTF_->text().empty()) {
    ui::ProgressHUD::showAlertWithText(kEmptyPasswordText, kToastSeconds);
    return false;
  }
  return true;
}

bool QMUserLogController::textFieldShouldReturn(uikit::TextField& /*textField*/) {
  resignBothFields();
  return true;
}

void QMUserLogController::networkLoginSuccess() {
  QMAppServices::reloadRootController();
}

void QMUserLogController::keyboardWillShow(const ns::Notification& /*notification*/) {
  if (view()->frame().minY() == 0) {
    shiftView(-kKeyboardShift);
  }
}

void QMUserLogController::keyboardWillHide(const ns::Notification& /*notification*/) {
  if (view()->frame().minY() < 0) {
    shiftView(kKeyboardShift);
  }
}

void QMUserLogController::shiftView(double dy) {
  uikit::View::animateWithDuration(kKeyboardSeconds,
                                   [this, dy] { view()->setFrame(view()->frame().offsetBy(0, dy)); });
}

void QMUserLogController::resignBothFields() {
  userNameTF_->resignFirstResponder();
  userPasswordTF_->resignFirstResponder();
}

}  // namespace app
