#include "app/settings/QMProtocolController.h"

#include "app/helpers/TRValidate.h"
#include "app/session/QMUser.h"
#include "platform/foundation/check/Check.h"
#include "platform/net/URLRequest.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

namespace {

constexpr double kInset = 20;
constexpr double kTop = 80;
constexpr double kRowHeight = 44;
constexpr double kRowSpacing = 12;
constexpr double kBoxSide = 22;
constexpr double kToastSeconds = 2.0;

// The overlay: its dimming, its shadow, the share of its height the page takes, and the close button.
constexpr double kOverlayAlpha = 0.3;
constexpr uikit::Size kOverlayShadowOffset{1, 1};
constexpr double kOverlayShadowRadius = 5;
constexpr double kPageShare = 0.75;
const uikit::Rect kCloseFrame(0, 20, 50, 50);
constexpr double kCloseFontSize = 23;

std::shared_ptr<uikit::TextField> makeField(const char* outletName, const char* placeholder, double top,
                                            double width) {
  auto field = uikit::outlet(outletName,
                             std::make_shared<uikit::TextField>(uikit::Rect(kInset, top, width, kRowHeight)));
  field->setPlaceholder(placeholder);
  // A real name and an identity-card number.
  field->setHoldsPersonalData(true);
  return field;
}

}  // namespace

QMProtocolController::~QMProtocolController() {
  // The overlay lies on the key window, outside this screen's views: it must not outlive the screen whose
  // button closes it.
  if (protocolView_) {
    protocolView_->removeFromSuperview();
  }
}

void QMProtocolController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  const double width = bounds.width() - 2 * kInset;
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::white(1));
  double top = kTop;
  const auto nextRow = [&top] { return top += kRowHeight + kRowSpacing; };
  userNameLabel_ = uikit::outlet("userNameLabel",
                                 std::make_shared<uikit::Label>(uikit::Rect(kInset, top, width, kRowHeight)));
  protocolBtn_ = uikit::outlet(
      "protocolBtn", std::make_shared<uikit::Button>(uikit::Rect(kInset, nextRow(), width, kRowHeight)));
  realNameTF_ = makeField("realNameTF", "请输入真实姓名", nextRow(), width);
  cardIDTF_ = makeField("cardIDTF", "请输入身份证号", nextRow(), width);
  agreeBtn_ = uikit::outlet(
      "agreeBtn", std::make_shared<uikit::Button>(uikit::Rect(kInset, nextRow(), kBoxSide, kBoxSide)));
  agreeBtn_->setBackgroundImage(uikit::Image::imageNamed(kNotAgreedImage), uikit::kControlStateNormal);
  auto agreeLabel = std::make_shared<uikit::Label>(
      uikit::Rect(kInset + kBoxSide + kRowSpacing, top, width - kBoxSide - kRowSpacing, kBoxSide));
  agreeLabel->setText(kAgreeText);
  confirmBtn_ = uikit::outlet(
      "confirmBtn", std::make_shared<uikit::Button>(uikit::Rect(kInset, nextRow(), width, kRowHeight)));
  confirmBtn_->setTitle(kConfirmTitle, uikit::kControlStateNormal);
  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           userNameLabel_, protocolBtn_, realNameTF_, cardIDTF_, agreeBtn_, agreeLabel, confirmBtn_}) {
    view->addSubview(part);
  }
  setView(std::move(view));
  setTitle(kTitle);

  auto self = std::static_pointer_cast<QMProtocolController>(shared_from_this());
  agreeBtn_->addTarget(self, &QMProtocolController::agreeAction, uikit::kControlEventTouchUpInside);
  protocolBtn_->addTarget(self, &QMProtocolController::watchProtocolAction,
                          uikit::kControlEventTouchUpInside);
  confirmBtn_->addTarget(self, &QMProtocolController::comfirmAction, uikit::kControlEventTouchUpInside);
  realNameTF_->setDelegate(std::static_pointer_cast<uikit::TextFieldDelegate>(self));
  cardIDTF_->setDelegate(std::static_pointer_cast<uikit::TextFieldDelegate>(self));
}

void QMProtocolController::viewDidLoad() {
  dataModel_ = std::make_shared<QMCourseDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<QMCourseDataModelDelegate>(
      std::static_pointer_cast<QMProtocolController>(shared_from_this())));
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  userNameLabel_->setText(user->userLoginName().value_or(""));
  protocolBtn_->setTitle(user->protocolName(), uikit::kControlStateNormal);
}

void QMProtocolController::agreeAction(uikit::Button& sender) {
  QM_DCHECK_MAIN_THREAD();
  sender.setTag(sender.tag() == 0 ? 1 : 0);
  sender.setBackgroundImage(uikit::Image::imageNamed(sender.tag() == 1 ? kAgreedImage : kNotAgreedImage),
                            uikit::kControlStateNormal);
}

void QMProtocolController::watchProtocolAction(uikit::Button& /*sender*/) {
  showProtocolDetail();
}

void QMProtocolController::showProtocolDetail() {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<uikit::Window> window = uikit::Application::sharedApplication().keyWindow();
  if (!window) {
    return;
  }
  if (!protocolView_) {
    buildProtocolView(*window);
  } else if (protocolWebView_->loadError() && protocolWebView_->request()) {
    protocolWebView_->loadRequest(*protocolWebView_->request());
  }
  window->addSubview(protocolView_);
}

void QMProtocolController::buildProtocolView(const uikit::Window& window) {
  const uikit::Rect bounds = window.bounds();
  protocolView_ = uikit::outlet("protocolView", std::make_shared<uikit::View>(bounds));
  protocolView_->setBackgroundColor(uikit::Color::white(0, kOverlayAlpha));
  uikit::Layer& layer = protocolView_->layer();
  layer.setShadowOffset(kOverlayShadowOffset);
  layer.setShadowRadius(kOverlayShadowRadius);
  layer.setShadowOpacity(1);
  layer.setShadowColor(uikit::Color::black());

  protocolWebView_ = uikit::outlet(
      "protocolWebView",
      std::make_shared<uikit::WebView>(uikit::Rect(0, 0, bounds.width(), bounds.height() * kPageShare)));
  protocolView_->addSubview(protocolWebView_);
  protocolWebView_->loadRequest(
      ns::URLRequest(ns::URL::fromString(QMUser::sharedInstance()->protocolAddress().value_or(""))));

  auto close = uikit::outlet("protocolCloseBtn", std::make_shared<uikit::Button>(kCloseFrame));
  close->setImage(uikit::Image::imageNamed(kCloseImage), uikit::kControlStateNormal);
  close->setTitleColor(uikit::Color::hsba(0.51, 0.598, 0.8), uikit::kControlStateNormal);
  close->titleLabel().setFont(uikit::Font::systemFontOfSize(kCloseFontSize));
  close->addTarget(std::static_pointer_cast<QMProtocolController>(shared_from_this()),
                   &QMProtocolController::closeProtocolViewAction, uikit::kControlEventTouchUpInside);
  protocolView_->addSubview(std::move(close));
}

void QMProtocolController::closeProtocolViewAction(uikit::Button& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  protocolView_->removeFromSuperview();
}

void QMProtocolController::comfirmAction(uikit::Button& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  realNameTF_->resignFirstResponder();
  cardIDTF_->resignFirstResponder();
  const char* refusal = nullptr;
  if (!TRValidate::validateRealName(realNameTF_->text())) {
    refusal = kBadNameText;
  } else if (cardIDTF_->text().empty()) {
    refusal = kBadCardText;
  } else if (agreeBtn_->tag() == 0) {
    refusal = kNotAgreedText;
  }
  if (refusal) {
    ui::ProgressHUD::showAlertWithText(refusal, kToastSeconds);
    return;
  }
  dataModel_->networkSignUserProtocolWithRealName(realNameTF_->text(), cardIDTF_->text());
}

bool QMProtocolController::textFieldShouldReturn(uikit::TextField& textField) {
  textField.resignFirstResponder();
  return true;
}

void QMProtocolController::networkSignProtocolSuccess() {
  dismissViewControllerAnimated(true);
}

}  // namespace app
