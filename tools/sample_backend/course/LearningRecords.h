#pragma once

// sample_backend::course::LearningRecords: what learners did while the back end ran: the last lesson each
// learner played in each subject (with its stage and the server time of the save), the play position of
// every lesson saved, and the agreements signed. It starts from the seeds handed to seedOnce() (where
// learners left off before the back end started); a position saved later takes the place of a seeded one.
// Kept in a state file (keepIn), the records outlive a restart of the back end.
//
// Thread-safety: every method may be called from any thread.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/values/Result.h"
#include "sample_backend/state/StateFile.h"

namespace sample_backend::course {

struct LastPlayed {
  std::string nodeId;
  std::string stageId;
  // "yyyy.MM.dd HH:mm" on the back end's wall clock (its host's time zone).
  std::string date;
};

class LearningRecords {
 public:
  struct Seed {
    std::string userId;
    std::string courseId;
    LastPlayed played;
    std::string videoTime;
  };

  // Takes the records saved in `file`, if it exists, and saves every later change there. Returns an error
  // naming the file when it is damaged; the records are then left as they were.
  // REQUIRES: nothing recorded or seeded yet.
  ns::Status keepIn(state::StateFile file);

  // Takes the positions that `makeSeeds` returns, unless positions were taken before; `makeSeeds` runs at
  // most once, under the records' lock.
  void seedOnce(const std::function<std::vector<Seed>()>& makeSeeds);

  // Records that the learner `userId` played lesson `played.nodeId` of subject `courseId` up to
  // `videoTime` seconds, as the last lesson of the subject.
  void save(const std::string& userId, const std::string& courseId, LastPlayed played,
            const std::string& videoTime);

  // Returns the last lesson the learner played in the subject, or std::nullopt.
  std::optional<LastPlayed> lastPlayed(const std::string& userId, const std::string& courseId) const;
  // Returns the saved position of the lesson, or std::nullopt.
  std::optional<std::string> videoTime(const std::string& userId, const std::string& courseId,
                                       const std::string& nodeId) const;
  // Returns the number of lessons of the subject with a saved position.
  std::size_t playedLessonCount(const std::string& userId, const std::string& courseId) const;

  void sign(const std::string& userId, const std::string& protocolId);
  bool hasSigned(const std::string& userId, const std::string& protocolId) const;

 private:
  // A learner and a subject (or an agreement).
  using LearnerKey = std::tuple<std::string, std::string>;
  using LessonKey = std::tuple<std::string, std::string, std::string>;

  void saveLocked(const std::string& userId, const std::string& courseId, LastPlayed played,
                  const std::string& videoTime) QM_REQUIRES(mutex_);
  void writeFileLocked() const QM_REQUIRES(mutex_);

  mutable ns::Mutex mutex_;
  bool seeded_ QM_GUARDED_BY(mutex_) = false;
  std::map<LearnerKey, LastPlayed> lastPlayed_ QM_GUARDED_BY(mutex_);
  std::map<LessonKey, std::string> videoTimes_ QM_GUARDED_BY(mutex_);
  std::set<LearnerKey> signatures_ QM_GUARDED_BY(mutex_);
  std::optional<state::StateFile> file_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::course
