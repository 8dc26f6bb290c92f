#pragma once

// QMLearningPosition: where the learner left off in a subject, as the playback screen reads and writes it.
// The subject keeps the lesson (onClassID), its stage (onStageID), the second reached (onClassProgress)
// and when (onClassTime); the subject screen decides whether the position goes to the back end when it
// hears kUpdateServerProgressNotification.
//
// Thread-safety: main thread only, as the store.

#include <cstdint>
#include <memory>
#include <optional>

namespace app {
class QMCourse;
class QMStage;
}  // namespace app

namespace learning {

class QMLearningPosition {
 public:
  struct LastPlayed {
    std::shared_ptr<app::QMCourse> lesson;
    // The second to start from.
    std::uint32_t second = 0;
  };

  // The lesson of `stage` that its subject last played, with the second it reached; std::nullopt when the
  // subject's last lesson lies in another stage or subject, or is not stored.
  static std::optional<LastPlayed> lastPlayedLessonOf(const app::QMStage& stage);

  // Saves `lesson` and `second` as its subject's last play position, timed now, saves the store and posts
  // kUpdateServerProgressNotification with the subject. Does nothing for a lesson outside any subject.
  static void save(const std::shared_ptr<app::QMCourse>& lesson, std::uint32_t second);
};

}  // namespace learning
