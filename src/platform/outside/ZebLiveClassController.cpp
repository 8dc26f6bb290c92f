#include "platform/outside/ZebLiveClassController.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace outside {

namespace {

constexpr double kLineHeight = 30;
constexpr double kMargin = 20;

}  // namespace

ZebLiveClassController::ZebLiveClassController(std::string classroomId, ZebLiveSDKHost::Type type,
                                               std::weak_ptr<ZebLiveSDKHost> host)
    : classroomId_(std::move(classroomId)), type_(type), host_(std::move(host)) {}

void ZebLiveClassController::enter() {
  QM_DCHECK_MAIN_THREAD();
  entered_ = true;
  showState();
}

void ZebLiveClassController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::black());
  const double width = bounds.width() - 2 * kMargin;

  auto classLabel = uikit::outlet(
      "classLabel", std::make_shared<uikit::Label>(uikit::Rect(kMargin, 64, width, kLineHeight)));
  classLabel->setText((type_ == ZebLiveSDKHost::kTypeLive ? "live class " : "replay ") + classroomId_);
  classLabel->setTextColor(uikit::Color::white(1));
  stateLabel_ = uikit::outlet("classStateLabel", std::make_shared<uikit::Label>(uikit::Rect(
                                                     kMargin, 64 + kLineHeight, width, kLineHeight)));
  stateLabel_->setTextColor(uikit::Color::white(1));

  auto leaveButton =
      uikit::outlet("leaveBtn", std::make_shared<uikit::Button>(uikit::Rect(kMargin, 20, 80, kLineHeight)));
  leaveButton->setTitle(kLeaveTitle, uikit::kControlStateNormal);
  leaveButton->addTarget(std::static_pointer_cast<ZebLiveClassController>(shared_from_this()),
                         &ZebLiveClassController::leave, uikit::kControlEventTouchUpInside);

  view->addSubview(classLabel);
  view->addSubview(stateLabel_);
  view->addSubview(leaveButton);
  setView(view);
  showState();
}

void ZebLiveClassController::viewWillAppear(bool /*animated*/) {
  uikit::Application::sharedApplication().setStatusBarStyle(uikit::StatusBarStyle::kLightContent);
}

void ZebLiveClassController::leave(uikit::Control& /*sender*/) {
  if (std::shared_ptr<ZebLiveSDKHost> host = host_.lock()) {
    host->ZebLiveClassEventNotify(ZebLiveSDKHost::kEventClassLeft, type_);
  }
}

void ZebLiveClassController::showState() {
  if (stateLabel_) {
    stateLabel_->setText(entered_ ? "in class" : "waiting");
  }
}

}  // namespace outside
