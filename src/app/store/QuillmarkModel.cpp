#include "app/store/QuillmarkModel.h"

#include "app/store/QMCourse.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "app/store/QMTask.h"

namespace app {

std::shared_ptr<const cd::ManagedObjectModel> quillmarkModel() {
  static const std::shared_ptr<const cd::ManagedObjectModel> model =
      std::make_shared<const cd::ManagedObjectModel>(
          std::string(kQuillmarkModelName),
          std::vector<cd::EntityDescription>{QMSeason::entityDescription(), QMSubject::entityDescription(),
                                             QMStage::entityDescription(), QMCourse::entityDescription(),
                                             QMFileCacheInfo::entityDescription(),
                                             QMTask::entityDescription()});
  return model;
}

}  // namespace app
