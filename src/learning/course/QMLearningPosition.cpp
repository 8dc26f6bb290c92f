#include "learning/course/QMLearningPosition.h"

#include <algorithm>
#include <limits>
#include <string>

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/text/DateFormatter.h"
#include "platform/foundation/values/Date.h"
#include "platform/foundation/values/TextNumbers.h"

namespace learning {

namespace {

// The second a stored position names: its leading number, within the range of a position.
std::uint32_t secondOf(const std::optional<std::string>& progress) {
  const std::int64_t second = ns::integerValueOfText(progress.value_or(""));
  return static_cast<std::uint32_t>(
      std::clamp<std::int64_t>(second, 0, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace

std::optional<QMLearningPosition::LastPlayed> QMLearningPosition::lastPlayedLessonOf(
    const app::QMStage& stage) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMSubject> subject = stage.ownBySubject();
  if (!subject || !subject->onClassID()) {
    return std::nullopt;
  }
  const auto candidates = app::QMCoreDataHelper::sharedInstance().fetchEntitiesOf<app::QMCourse>(
      cd::Predicate::equals("courseID", *subject->onClassID()));
  for (const std::shared_ptr<app::QMCourse>& course : candidates) {
    const std::shared_ptr<app::QMCourse> root = course->rootCourse();
    const std::shared_ptr<app::QMStage> courseStage = root ? root->ownByStage() : nullptr;
    const std::shared_ptr<app::QMSubject> courseSubject = courseStage ? courseStage->ownBySubject() : nullptr;
    // The lesson must lie in the stage shown: a lesson of another stage has no row here to play from.
    if (courseSubject && courseSubject->subjectID() == subject->subjectID() &&
        courseStage->stageID() == subject->onStageID() && courseStage.get() == &stage) {
      return LastPlayed{course, secondOf(subject->onClassProgress())};
    }
  }
  return std::nullopt;
}

void QMLearningPosition::save(const std::shared_ptr<app::QMCourse>& lesson, std::uint32_t second) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMCourse> root = lesson ? lesson->rootCourse() : nullptr;
  const std::shared_ptr<app::QMStage> stage = root ? root->ownByStage() : nullptr;
  const std::shared_ptr<app::QMSubject> subject = stage ? stage->ownBySubject() : nullptr;
  if (!subject) {
    return;
  }
  subject->setOnClassID(lesson->courseID());
  subject->setOnStageID(stage->stageID());
  // The learner reads this time as it stands ("最近一次播放"): it is the device's wall clock. The store
  // compares it with the back end's as wall-clock texts (QMSubject.h).
  const ns::DateFormatter formatter(app::QMSubject::kClassTimeFormat, ns::DateFormatter::Zone::kLocal);
  subject->setOnClassTime(formatter.stringFromDate(ns::Date::now()));
  subject->setOnClassProgress(std::to_string(second));
  app::QMCoreDataHelper::sharedInstance().saveContext();
  ns::NotificationCenter::defaultCenter().postNotificationName(
      std::string(app::kUpdateServerProgressNotification), subject);
}

}  // namespace learning
