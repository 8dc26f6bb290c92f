#include "platform/outside/EPlayerPluginViewController.h"

#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "platform/uikit/views/Label.h"

namespace outside {

EPlayerPluginViewController::EPlayerPluginViewController(std::shared_ptr<EPlayerData> data)
    : data_(std::move(data)) {
  QM_DCHECK(data_ != nullptr, "a player is made for a lesson's data");
}

void EPlayerPluginViewController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::black());
  auto classLabel = uikit::outlet(
      "classLabel", std::make_shared<uikit::Label>(uikit::Rect(20, 84, bounds.width() - 40, 30)));
  classLabel->setText((data_->playModel() == EPlayerData::kPlayModelLive ? "live class " : "replay ") +
                      data_->liveClassroomId());
  classLabel->setTextColor(uikit::Color::white(1));
  view->addSubview(classLabel);
  setView(view);
}

void EPlayerPluginViewController::viewDidLoad() {
  navigationItem().setHidesBackButton(true);
}

void EPlayerPluginViewController::viewDidAppear(bool /*animated*/) {
  auto leaveButton = uikit::outlet("leaveBtn", std::make_shared<uikit::Button>());
  leaveButton->setTitle(kLeaveTitle, uikit::kControlStateNormal);
  leaveButton->setTitleColor(uikit::Color::white(1), uikit::kControlStateNormal);
  leaveButton->addTarget(std::static_pointer_cast<EPlayerPluginViewController>(shared_from_this()),
                         &EPlayerPluginViewController::leave, uikit::kControlEventTouchUpInside);
  navigationItem().setRightBarButtonItem(std::make_shared<uikit::BarButtonItem>(leaveButton));
}

void EPlayerPluginViewController::leave(uikit::Button& /*sender*/) {
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->popViewControllerAnimated(true);
  }
}

}  // namespace outside
