#pragma once

// QMDownloadHelper: the download manager, one per process. Its queue is the set of download records in the
// object store (QMFileCacheInfo, one per lesson): status 1 waits, 2 downloads, 3 is paused, 4 failed, 5 is
// done, 0 is not queued. It works on one lesson at a time and on one transfer at a time: the server time,
// the lesson's signed playlist (stored as "index.m3u8" beside a copy of the bundle's "K.bin"), one pending
// segment task per segment, then the segments one after the other, each stored under segmentFileName() of
// its URL in the lesson folder Documents/<userId>/<fileDocment>/. Every file is replaced atomically, so a
// crash never leaves part of a file under its final name, and a resumed lesson fetches only its pending
// segments.
//
// The last segment sets the record to 5 with progress 100 and posts kQMDLSuccessNotification (object: the
// record). Every failure of a lesson's step sets it to 4 and moves on to the next lesson; nothing is retried
// by itself. A lost network pauses everything; on a cellular network with the Wi-Fi-only download switch
// on and no remembered choice, the end of each transfer pauses everything and shows
// "非WiFi网络环境，暂停缓存" for 2.0 s. Every pauseAll() posts kQMDLPauseAllNotification.
//
// Thread-safety: main thread only; transfers run on the main run loop.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/course/QMCourseDataModel.h"
#include "app/helpers/ZBAlertViewDelegate.h"
#include "learning/downloads/QMDownloadTransfer.h"
#include "learning/downloads/ZBM3U8Set.h"
#include "platform/foundation/notify/Notification.h"
#include "platform/foundation/values/Object.h"

namespace app {
class QMCourse;
class QMFileCacheInfo;
class QMStage;
class QMTask;
}  // namespace app

namespace learning {

inline constexpr char kQMDLSuccessNotification[] = "QMDLSuccess";
inline constexpr char kQMDLPauseAllNotification[] = "QMDLPauseAll";

class QMDownloadHelper : public ns::Object,
                         public app::QMCourseDataModelDelegate,
                         public app::ZBAlertViewDelegate {
 public:
  // Returns the manager, made on first use: it then observes the reachability change notification for the
  // rest of its life.
  static const std::shared_ptr<QMDownloadHelper>& sharedInstance();
  // Drops the manager, cancelling its transfer, as a new process would start.
  static void resetSharedInstanceForTesting();

  // Queues `lesson`: a record in status 0, 3 or 4 goes to 1 (a waiting, running or finished lesson stays as
  // it is); then starts the queue.
  void add(const std::shared_ptr<app::QMCourse>& lesson);
  // Starts the queue unless a lesson is being worked on. A current lesson that a screen paused or failed
  // does not count: its transfer is cancelled and the next lesson is chosen.
  void launchDownloader();
  // Cancels the transfer, sets every record that is neither 0 nor 5 to 3, saves, and posts
  // kQMDLPauseAllNotification, also when nothing changed.
  void pauseAll();
  // Sets every record of status 3 or 4 to 1 and, when there was one, saves and starts the queue afresh.
  void startAll();

  // Deletes `lesson`'s download: its record goes to 0 (which removes the folder), then its pending tasks and
  // the record leave the store. A lesson being downloaded has its transfer cancelled; the queue is not
  // restarted. A lesson without a record is left alone.
  void deleteVideo(const std::shared_ptr<app::QMCourse>& lesson);
  // deleteVideo() for every lesson at or below `node`.
  void deleteCourse(const std::shared_ptr<app::QMCourse>& node);
  // deleteVideo() for every queued or stored lesson under `stage`.
  void deleteStageCourse(const std::shared_ptr<app::QMStage>& stage);
  // deleteVideo() for every queued or stored lesson.
  void deleteAllCourse();

  // The buttons of a cellular question, by their index in the panel's row (ZBAlertView tags each button
  // with it): "取消" then "继续下载".
  enum CellularQuestionButton : std::int64_t { kCancelButtonIndex = 0, kGoOnButtonIndex = 1 };
  // The choice on a cellular question: "继续下载" goes on and remembers it, "取消" pauses everything and
  // forgets it; other buttons do nothing.
  void alertViewDidOnClickedButton(app::ZBAlertView& alertView, app::MyButton& button) override;

  // The server time asked for the current lesson's signed playlist URL. A reply that comes when no lesson
  // waits for one (its lesson was deleted or paused meanwhile) is ignored.
  void networkGetServerTimeSuccess(double serverTime) override;
  void networkGetServerTimeFailed() override;

 private:
  QMDownloadHelper();

  void next();
  void setCurrentFCI(const std::shared_ptr<app::QMFileCacheInfo>& record);
  void run();
  void startNewURLRequest();
  void transferEnded(ns::Result<ns::Data> body);
  void m3u8FileRequestFinish(const ns::Data& body);
  void TSRequestFinished(const ns::Data& body);
  void createTSTaskWithM3U8Set(const ZBM3U8Set& playlist);
  std::optional<std::string> currentFCIDLPath();
  void currentFCIDownloadFailed();
  void cancelCurrentConnection();
  void reachabilityChanged(const ns::Notification& notification);
  void showPauseAllAlert();
  // True on a cellular network with the Wi-Fi-only download switch on and no remembered choice.
  bool isHeldByCellularRule() const;

  // The step of the current lesson's work. A lesson counts as being worked on (nothing new is chosen for
  // it) in kPlaylist and kSegment, from the moment its work starts until its transfer ends.
  enum class Step {
    kIdle,        // No lesson's work under way (a current lesson may wait to be chosen again).
    kServerTime,  // A lesson is chosen; the server time for its signed playlist URL is asked for.
    kPlaylist,    // The lesson's playlist is fetched (its segments are not counted yet).
    kSegment,     // The lesson's pending segments are fetched, one at a time.
  };
  // The step the current lesson's work takes next: its playlist until its segments are counted.
  static Step workStepOf(const app::QMFileCacheInfo* record);
  bool isWorking() const { return step_ == Step::kPlaylist || step_ == Step::kSegment; }

  std::shared_ptr<app::QMCourseDataModel> courseDataModel_;
  Step step_ = Step::kIdle;
  // The transfer in flight (there is at most one), or nullptr.
  std::shared_ptr<QMDownloadTransfer> transfer_;
  std::string currentURL_;
  std::weak_ptr<app::QMTask> currentTask_;
  std::weak_ptr<app::QMFileCacheInfo> currentFCI_;
};

}  // namespace learning
