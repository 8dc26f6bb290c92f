#pragma once

// QMCacheStoryboard: the download area's scenes of storyboard "Course" and the nibs of their cells,
// registered with the registries (uikit::Storyboard, uikit::Nib) at start-up: the subject list
// "QMDLSubjectController" (the scene the drawer menu presents inside a navigation controller), the stage
// list "QMDLStageController", the offline cache screen "QMCacheManageController" and its page
// "QMCacheController"; the segues from a subject row to the stage list and from a stage row to the cache
// screen (both pushed); the nibs "QMCachingCourseCell" and "QMCachedCourseCell".
//
// Thread-safety: main thread only.

namespace learning {

class QMCacheStoryboard {
 public:
  // Registers what the header comment lists. Call once at start-up.
  static void registerScenes();
};

}  // namespace learning
