#pragma once

namespace app {

// QMMoreStoryboard: the storyboard "More" of the settings, about, feedback and agreement screens, registered
// with the storyboard registry (uikit::Storyboard) at start-up.
//
// Its initial scene, kSettingNavScene, is the settings screen in a navigation stack
// (QMBaseNavigationController), which the drawer menu presents; the settings rows lead to the about and
// feedback screens by the push segues kAboutSegue and kFeedbackSegue. kProtocolNavScene is the agreement
// screen in a navigation stack of its own, which the subject screen presents while the learner must sign.
// Each screen is also a scene named after its controller's class.
//
// Thread-safety: main thread only.

class QMMoreStoryboard {
 public:
  static constexpr char kName[] = "More";
  static constexpr char kSettingNavScene[] = "QMSettingNav";
  static constexpr char kProtocolNavScene[] = "QMProtocolNav";
  static constexpr char kSettingScene[] = "QMSettingController";
  static constexpr char kAboutScene[] = "QMAboutController";
  static constexpr char kFeedbackScene[] = "QMFeedbackController";
  static constexpr char kProtocolScene[] = "QMProtocolController";
  static constexpr char kAboutSegue[] = "showAbout";
  static constexpr char kFeedbackSegue[] = "showFeedback";

  // Registers every scene and segue of the storyboard, and its initial scene.
  static void registerScenes();
};

}  // namespace app
