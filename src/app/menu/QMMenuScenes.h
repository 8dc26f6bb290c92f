#pragma once

// QMMenuScenes: the scenes of the drawer menu and of the purchase flow, registered with the storyboard
// registry (uikit::Storyboard) at start-up: the scene "QMMenuController" of storyboard "Course", and the
// initial scene "QMPurchaseNav" of storyboard "Perchase", a navigation controller whose first screen is
// QMPurchaseUnavailableController.
//
// Thread-safety: main thread only.

namespace app {

class QMMenuScenes {
 public:
  static constexpr char kPurchaseNavigationScene[] = "QMPurchaseNav";

  static void registerScenes();
};

}  // namespace app
