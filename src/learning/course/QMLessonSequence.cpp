#include "learning/course/QMLessonSequence.h"

#include "app/store/QMCourse.h"
#include "app/store/QMStage.h"
#include "platform/foundation/check/Check.h"

namespace learning {

QMLessonSequence::QMLessonSequence(const app::QMStage& stage) {
  QM_DCHECK_MAIN_THREAD();
  appendLessonsOf(stage.sortedCourseArray());
}

void QMLessonSequence::appendLessonsOf(const std::vector<std::shared_ptr<app::QMCourse>>& courses) {
  for (const std::shared_ptr<app::QMCourse>& course : courses) {
    if (course->isLesson()) {
      lessons_.push_back(course);
    }
    appendLessonsOf(course->sortedCourseArray());
  }
}

std::shared_ptr<app::QMCourse> QMLessonSequence::first() const {
  return lessons_.empty() ? nullptr : lessons_.front();
}

std::shared_ptr<app::QMCourse> QMLessonSequence::previous(const app::QMCourse& lesson) const {
  const std::size_t index = indexOf(lesson);
  return index == 0 || index == lessons_.size() ? nullptr : lessons_[index - 1];
}

std::shared_ptr<app::QMCourse> QMLessonSequence::next(const app::QMCourse& lesson) const {
  const std::size_t index = indexOf(lesson);
  return index + 1 >= lessons_.size() ? nullptr : lessons_[index + 1];
}

std::size_t QMLessonSequence::indexOf(const app::QMCourse& lesson) const {
  for (std::size_t index = 0; index < lessons_.size(); ++index) {
    if (lessons_[index].get() == &lesson) {
      return index;
    }
  }
  return lessons_.size();
}

}  // namespace learning
