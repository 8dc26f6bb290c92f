#pragma once

// The download status of a lesson's record (QMFileCacheInfo.status) and the three phases the store's
// counters tell apart. The download manager moves records between the statuses; the store counts each
// lesson in the phase of its status. Thread-safe: constants and a pure function.

#include <cstdint>
#include <optional>

namespace app {

enum QMDownloadStatus : std::int64_t {
  kQMDownloadNotQueued = 0,
  kQMDownloadWaiting = 1,
  kQMDownloadRunning = 2,
  kQMDownloadPaused = 3,
  kQMDownloadFailed = 4,
  kQMDownloadDone = 5,
};

enum class QMDownloadPhase {
  kNotQueued,  // status 0, or none: nothing on disk, counted nowhere
  kUnderway,   // any other status but 5: counted as downloading ("caching")
  kDone,       // status 5: counted as downloaded ("cached")
};

// Returns the phase of `status`; a missing status reads as 0.
QMDownloadPhase downloadPhaseOf(std::optional<std::int64_t> status);

}  // namespace app
