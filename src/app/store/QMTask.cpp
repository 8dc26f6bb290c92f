#include "app/store/QMTask.h"

#include "app/store/QMFileCacheInfo.h"
#include "platform/foundation/check/Check.h"

namespace app {

cd::EntityDescription QMTask::entityDescription() {
  return cd::EntityDescription(
      std::string(kEntityName), cd::makeObjectOf<QMTask>,
      {{"index", cd::AttributeType::kInteger}, {"taskURL", cd::AttributeType::kText}},
      {{"ownByFileCache", std::string(QMFileCacheInfo::kEntityName), cd::Cardinality::kToOne, "ownTask",
        cd::DeleteRule::kNullify}});
}

std::shared_ptr<QMFileCacheInfo> QMTask::ownByFileCache() const {
  return relatedObjectAs<QMFileCacheInfo>(kOwnByFileCache);
}

void QMTask::setOwnByFileCache(const std::shared_ptr<QMFileCacheInfo>& record) {
  QM_DCHECK_MAIN_THREAD();
  setRelatedObject(kOwnByFileCache, record);
}

}  // namespace app
