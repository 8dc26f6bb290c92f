#pragma once

// QMLessonSequence: the lessons of a stage in the order the course tree shows them, top to bottom: the
// stage's top-level courses in their saved order, each followed by its children, depth first. Chapters and
// units are passed over, at any depth, so that previous and next move from lesson to lesson across them.
//
// Thread-safety: main thread only, as the store it reads.

#include <memory>
#include <vector>

namespace app {
class QMCourse;
class QMStage;
}  // namespace app

namespace learning {

class QMLessonSequence {
 public:
  // The lessons (course type 2) of `stage`'s course tree in display order.
  explicit QMLessonSequence(const app::QMStage& stage);

  const std::vector<std::shared_ptr<app::QMCourse>>& lessons() const { return lessons_; }

  // The first lesson, or nullptr for a stage without lessons.
  std::shared_ptr<app::QMCourse> first() const;
  // The lesson shown just before / after `lesson`; nullptr when `lesson` is the first / last, or is not a
  // lesson of the stage.
  std::shared_ptr<app::QMCourse> previous(const app::QMCourse& lesson) const;
  std::shared_ptr<app::QMCourse> next(const app::QMCourse& lesson) const;

 private:
  void appendLessonsOf(const std::vector<std::shared_ptr<app::QMCourse>>& courses);
  // The index of `lesson` in lessons_, or lessons_.size() when it is not there.
  std::size_t indexOf(const app::QMCourse& lesson) const;

  std::vector<std::shared_ptr<app::QMCourse>> lessons_;
};

}  // namespace learning
