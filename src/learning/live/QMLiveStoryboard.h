#pragma once

// QMLiveStoryboard: registers the live screens among the scenes of storyboard "Course" (uikit::Storyboard) at
// start-up, named after their controllers' classes.
//
// Thread-safety: main thread only.

namespace learning {

class QMLiveStoryboard {
 public:
  static constexpr char kLiveDetailScene[] = "QMLiveDetailController";

  // Registers "QMLiveDetailController", the live-detail screen.
  static void registerScenes();
};

}  // namespace learning
