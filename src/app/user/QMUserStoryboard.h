#pragma once

namespace app {

// QMUserStoryboard: the storyboard "User" of the user-centre screens, registered with the storyboard
// registry (uikit::Storyboard) at start-up. Its scenes are named after their controllers' classes.
//
// Thread-safety: main thread only.

class QMUserStoryboard {
 public:
  static constexpr char kName[] = "User";

  // Registers every scene of the storyboard: "QMUserLogController", the login screen.
  static void registerScenes();
};

}  // namespace app
