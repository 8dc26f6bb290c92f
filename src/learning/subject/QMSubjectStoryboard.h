#pragma once

// QMSubjectStoryboard: registers the subject screen as scene "QMSubjectController" of storyboard "Course",
// and the nibs of its rows, "QMSubjectCell" and "QMNearlyPlayCell" (the stage rows use "QMCommonTreeCell",
// which QMCourseStoryboard registers).
//
// Thread-safety: main thread only.

namespace learning {

class QMSubjectStoryboard {
 public:
  // Registers the scene and the nibs of the header comment; a scene registered before under the same name
  // is replaced.
  static void registerScenes();
};

}  // namespace learning
