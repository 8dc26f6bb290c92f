#pragma once

// QMCourseStoryboard: the study scenes of storyboard "Course" and the nibs of their cells, registered with
// the registries (uikit::Storyboard, uikit::Nib) at start-up. Its initial scene, "QMDLBeginNav", is a
// navigation controller whose first screen is the lesson download picker (QMDLBeginController); a presenter
// gives the picker its stage before presenting it. Scene "QMListenController" is the lesson playback screen,
// whose presenter gives it its stage.
//
// Thread-safety: main thread only.

namespace learning {

class QMCourseStoryboard {
 public:
  static constexpr char kName[] = "Course";
  static constexpr char kDownloadNavigationScene[] = "QMDLBeginNav";

  // Registers the download picker's navigation scene as the initial scene, the playback screen's scene, and
  // the nibs "QMDownloadCell" and "QMCommonTreeCell".
  static void registerScenes();
};

}  // namespace learning
