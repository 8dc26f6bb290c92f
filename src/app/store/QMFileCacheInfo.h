#pragma once

// QMFileCacheInfo: the download record of one lesson: its status (QMDownloadStatus.h), progress, playlist
// URL and segment tasks, and the name of its folder on disk, Documents/<userId>/<fileDocment>/.
//
// setStatus() keeps the downloading and downloaded counters of the lesson's chain in step and deletes the
// lesson folder when the record goes back to "not queued".
//
// Not thread-safe: main thread only, as the store.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/store/QMDownloadStatus.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObject.h"

namespace app {

class QMCourse;
class QMTask;

class QMFileCacheInfo : public cd::ManagedObject {
 public:
  static constexpr std::string_view kEntityName = "QMFileCacheInfo";
  static constexpr std::string_view kStatusKey = "status";
  static constexpr std::string_view kProgressKey = "progress";
  static cd::EntityDescription entityDescription();

  // The lesson folder's name: "<subjectID>_@<stageID>_<courseID>".
  std::optional<std::string> fileDocment() const { return textValue(kFileDocment); }
  void setFileDocment(std::optional<std::string> value) { setTextValue(kFileDocment, std::move(value)); }
  std::optional<std::string> fileName() const { return textValue(kFileName); }
  void setFileName(std::optional<std::string> value) { setTextValue(kFileName, std::move(value)); }
  std::optional<std::string> fileURL() const { return textValue(kFileURL); }
  void setFileURL(std::optional<std::string> value) { setTextValue(kFileURL, std::move(value)); }
  std::optional<std::int64_t> index() const { return integerValue(kIndex); }
  void setIndex(std::optional<std::int64_t> value) { setIntegerValue(kIndex, value); }
  // Download progress, 0 to 100.
  std::optional<std::int64_t> progress() const { return integerValue(kProgress); }
  void setProgress(std::optional<std::int64_t> value) { setIntegerValue(kProgress, value); }
  std::optional<std::int64_t> status() const { return integerValue(kStatus); }
  std::optional<std::int64_t> taskCount() const { return integerValue(kTaskCount); }
  void setTaskCount(std::optional<std::int64_t> value) { setIntegerValue(kTaskCount, value); }

  std::shared_ptr<QMCourse> course() const;
  void setCourse(const std::shared_ptr<QMCourse>& lesson);
  std::vector<std::shared_ptr<QMTask>> ownTask() const;

  // Stores `status` and announces it, after moving the counters of the lesson's chain (starting at the
  // lesson's parent course, or its stage for a lesson directly under one) from the old status's phase to
  // the new one's: -1 on the counter the lesson leaves, +1 on the one it joins. A change back to 0 from any
  // other status also deletes the lesson folder, logging the outcome. Changes within one phase move
  // nothing.
  void setStatus(std::int64_t status);

  // The lesson folder, Documents/<userId>/<fileDocment>; std::nullopt when there is no logged-in user id or
  // either name is empty, ".", "..", or holds a "/", so that the path can never reach outside the user's
  // own folder.
  std::optional<std::string> lessonFolderPath() const;

 protected:
  QMFileCacheInfo() = default;

 private:
  enum Attribute { kFileDocment, kFileName, kFileURL, kIndex, kProgress, kStatus, kTaskCount };
  enum Relationship { kCourse, kOwnTask };

  void moveCounters(QMDownloadPhase from, QMDownloadPhase to);
  void removeLessonFolder(QMDownloadPhase from) const;
};

}  // namespace app
