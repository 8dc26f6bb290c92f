#include "sample_backend/course/LearningRecords.h"

namespace sample_backend::course {
namespace {

constexpr char kSeededKey[] = "seeded";
constexpr char kLastPlayedKey[] = "lastPlayed";
constexpr char kVideoTimesKey[] = "videoTimes";
constexpr char kSignaturesKey[] = "signatures";

// A last play on file: learner, subject, lesson, stage, date.
using LastPlayedRow = std::tuple<std::string, std::string, std::string, std::string, std::string>;

}  // namespace

ns::Status LearningRecords::keepIn(state::StateFile file) {
  ns::Result<nlohmann::json> saved = file.read();
  if (!saved.ok()) {
    return saved.error();
  }
  ns::MutexLock lock(mutex_);
  if (!saved->is_null()) {
    try {
      std::map<LearnerKey, LastPlayed> lastPlayed;
      for (const auto& [userId, courseId, nodeId, stageId, date] :
           saved->at(kLastPlayedKey).get<std::vector<LastPlayedRow>>()) {
        lastPlayed[{userId, courseId}] = LastPlayed{nodeId, stageId, date};
      }
      auto videoTimes = saved->at(kVideoTimesKey).get<std::map<LessonKey, std::string>>();
      auto signatures = saved->at(kSignaturesKey).get<std::set<LearnerKey>>();
      seeded_ = saved->at(kSeededKey).get<bool>();
      lastPlayed_ = std::move(lastPlayed);
      videoTimes_ = std::move(videoTimes);
      signatures_ = std::move(signatures);
    } catch (const nlohmann::json::exception& error) {
      return state::damagedStateError(file.path(),
                                      std::string("does not hold learning records: ") + error.what());
    }
  }
  file_ = std::move(file);
  return {};
}

void LearningRecords::writeFileLocked() const {
  if (!file_) {
    return;
  }
  std::vector<LastPlayedRow> lastPlayed;
  for (const auto& [key, played] : lastPlayed_) {
    lastPlayed.emplace_back(std::get<0>(key), std::get<1>(key), played.nodeId, played.stageId, played.date);
  }
  file_->saveOrWarn({{kSeededKey, seeded_},
                     {kLastPlayedKey, lastPlayed},
                     {kVideoTimesKey, videoTimes_},
                     {kSignaturesKey, signatures_}});
}

void LearningRecords::seedOnce(const std::function<std::vector<Seed>()>& makeSeeds) {
  ns::MutexLock lock(mutex_);
  if (seeded_) {
    return;
  }
  seeded_ = true;
  for (Seed& seed : makeSeeds()) {
    saveLocked(seed.userId, seed.courseId, std::move(seed.played), seed.videoTime);
  }
  writeFileLocked();
}

void LearningRecords::save(const std::string& userId, const std::string& courseId, LastPlayed played,
                           const std::string& videoTime) {
  ns::MutexLock lock(mutex_);
  saveLocked(userId, courseId, std::move(played), videoTime);
  writeFileLocked();
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
  writeFileLocked();
}

bool LearningRecords::hasSigned(const std::string& userId, const std::string& protocolId) const {
  ns::MutexLock lock(mutex_);
  return signatures_.count({userId, protocolId}) != 0;
}

}  // namespace sample_backend::course
