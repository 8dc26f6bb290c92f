#include "app/store/QMDownloadStatus.h"

namespace app {

QMDownloadPhase downloadPhaseOf(std::optional<std::int64_t> status) {
  switch (status.value_or(kQMDownloadNotQueued)) {
    case kQMDownloadNotQueued:
      return QMDownloadPhase::kNotQueued;
    case kQMDownloadDone:
      return QMDownloadPhase::kDone;
    default:
      return QMDownloadPhase::kUnderway;
  }
}

}  // namespace app
