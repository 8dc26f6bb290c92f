#pragma once

// CustomEPlayerViewController: the application's own plug-in player screen
// (outside/EPlayerPluginViewController.h). It plays as the framework's does, and gives the title of the
// framework's right bar button a black colour for the normal state each time the framework sets that button
// while the screen is up.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "platform/foundation/notify/KeyValueObservation.h"
#include "platform/outside/EPlayerPluginViewController.h"

namespace learning {

class CustomEPlayerViewController : public outside::EPlayerPluginViewController {
 public:
  using outside::EPlayerPluginViewController::EPlayerPluginViewController;

  // Follows the navigation item's right button while the screen is up.
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

 private:
  void rightBarButtonItemChanged();

  ns::KeyValueObservation rightItemObservation_;
};

}  // namespace learning
