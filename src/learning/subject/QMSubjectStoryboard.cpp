#include "learning/subject/QMSubjectStoryboard.h"

#include <memory>

#include "learning/course/QMCourseStoryboard.h"
#include "learning/subject/QMNearlyPlayCell.h"
#include "learning/subject/QMSubjectCell.h"
#include "learning/subject/QMSubjectController.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/storyboard/Storyboard.h"

namespace learning {

void QMSubjectStoryboard::registerScenes() {
  QM_DCHECK_MAIN_THREAD();
  uikit::Storyboard::registerScene(QMCourseStoryboard::kName, QMSubjectController::kSceneIdentifier,
                                   [] { return std::make_shared<QMSubjectController>(); });
  QMSubjectCell::registerNib();
  QMNearlyPlayCell::registerNib();
}

}  // namespace learning
