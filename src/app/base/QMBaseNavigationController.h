#pragma once

// QMBaseNavigationController: the navigation stack of the drawer's centre and of the screens presented from
// the menu and the user centre. Its bar shows white bold 18-point titles on the application's blue-green
// tint (hue 0.51, saturation 0.598, brightness 0.8), and it keeps its screens in portrait.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "platform/uikit/controllers/NavigationController.h"

namespace app {

class QMBaseNavigationController : public uikit::NavigationController {
 public:
  using uikit::NavigationController::NavigationController;

  // The tint of every bar of this class.
  static uikit::Color barTint();

  // Gives the navigation bar its tint and title style.
  void viewDidLoad() override;

  bool shouldAutorotate() const override { return true; }
  uikit::InterfaceOrientationMask supportedInterfaceOrientations() const override {
    return uikit::kInterfaceOrientationMaskPortrait;
  }
};

}  // namespace app
