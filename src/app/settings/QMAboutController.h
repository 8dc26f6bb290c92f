#pragma once

// QMAboutController: the about screen. It shows the application's version ("版本
// v<CFBundleShortVersionString>" in versionLabel) and a button (phoneCallBtn) that calls customer service:
// each tap loads the URL "tel:<kCustomerServiceNumber>" in a new web view of zero size on the screen's view,
// so that the system offers to call that number. The back button "返回" pops the screen.
//
// The scene "QMAboutController" of storyboard "More" makes it; the settings screen pushes it.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "app/base/QMBaseViewController.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMAboutController : public QMBaseViewController {
 public:
  static constexpr char kTitle[] = "关于我们";
  static constexpr char kBackTitle[] = "返回";
  // The customer-service line the screen offers to call.
  static constexpr char kCustomerServiceNumber[] = "4006009000";
  static constexpr char kPhoneCallTitle[] = "客服电话：4006009000";

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::Label>& versionLabel() const { return versionLabel_; }
  const std::shared_ptr<uikit::Button>& phoneCallBtn() const { return phoneCallBtn_; }

  // Builds the version label, the call button and the back button.
  void loadView() override;
  // Shows the bundle's version.
  void viewDidLoad() override;

  // The call button's action.
  void phoneCallAction(uikit::Button& sender);
  // The back button's action: pops the screen, animated.
  void goBack(uikit::BarButtonItem& sender);

 private:
  std::shared_ptr<uikit::Label> versionLabel_;
  std::shared_ptr<uikit::Button> phoneCallBtn_;
};

}  // namespace app
