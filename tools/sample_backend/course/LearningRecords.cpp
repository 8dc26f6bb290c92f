#include "sample_backend/course/LearningRecords.h"

namespace sample_backend::course {

void LearningRecords::seedOnce(const std::function<std::vector<Seed>()>& makeSeeds) {
  ns::MutexLock lock(mutex_);
  if (seeded_) {
    return;
  }
  seeded_ = true;
  for (Seed& seed : makeSeeds()) {
    saveLocked(seed.userId, seed.courseId, std::move(seed.played), seed.videoTime);
  }
}

void LearningRecords::save(const std::string& userId, const std::string& courseId, LastPlayed played,
                           const std::string& videoTime) {
  ns::MutexLock lock(mutex_);
  saveLocked(userId, courseId, std::move(played), videoTime);
}

void LearningRecords::saveLocked(const std::string& userId, const std::string& courseId, LastPlayed played,
                                 const std::string& videoTime) {
  videoTimes_[{userId, courseId, played.nodeId}] = videoTime;
  lastPlayed_[{userId, courseId}] = std::move(played);
}

std::optional<LastPlayed> LearningRecords::lastPlayed(const std::string& userId,
                                                      const std::string& courseId) const {
  ns::MutexLock lock(mutex_);
  const auto found = lastPlayed_.find({userId, courseId});
  return found != lastPlayed_.end() ? std::optional<LastPlayed>(found->second) : std::nullopt;
}

std::optional<std::string> LearningRecords::videoTime(const std::string& userId, const std::string& courseId,
                                                      const std::string& nodeId) const {
  ns::MutexLock lock(mutex_);
  const auto found = videoTimes_.find({userId, courseId, nodeId});
  return found != videoTimes_.end() ? std::optional<std::string>(found->second) : std::nullopt;
}

std::size_t LearningRecords::playedLessonCount(const std::string& userId, const std::string& courseId) const {
  ns::MutexLock lock(mutex_);
  std::size_t count = 0;
  for (auto entry = videoTimes_.lower_bound({userId, courseId, ""});
       entry != videoTimes_.end() && std::get<0>(entry->first) == userId &&
       std::get<1>(entry->first) == courseId;
       ++entry) {
    ++count;
  }
  return count;
}

void LearningRecords::sign(const std::string& userId, const std::string& protocolId) {
  ns::MutexLock lock(mutex_);
  signatures_.insert({userId, protocolId});
}

bool LearningRecords::hasSigned(const std::string& userId, const std::string& protocolId) const {
  ns::MutexLock lock(mutex_);
  return signatures_.count({userId, protocolId}) != 0;
}

}  // namespace sample_backend::course
