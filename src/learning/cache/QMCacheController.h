#pragma once

// QMCacheController: one page of the offline cache screen of a stage (QMCacheManageController). Type 0 is
// the downloaded page: the stage's finished lessons as a fully open tree (QMCachedCourseCell rows), a
// clear-all button, and a tap on a lesson plays it offline in the full-screen player. Type 1 is the
// downloading page: the unfinished lessons (QMCachingCourseCell rows that follow their records live), the
// pause-all / start-all toggle and a clear-all button; a tap on a lesson pauses it (waiting or
// downloading) or queues it again (paused or failed). Pausing the lesson being downloaded stops its
// transfer at once. On both pages a swipe deletes a row's lessons of the page's kind, and clear-all (after
// "确定清除所有缓存视频？") deletes all of them; the other page's lessons stay.
//
// Offline play: the lesson folder's file names are freed of query strings, the lesson is served by the
// page's own lesson server (QMLessonServer: 127.0.0.1 only, each lesson under its own path) and played from
// second 0. A lesson without a playlist name, a playlist that cannot be rewritten, or a server that cannot
// start shows "文件出错，无法播放" and plays nothing. Previous and next walk the page's lessons in tree
// order across chapters and units at any depth. Back, the end of a lesson and resigning active save the
// position into the subject and post "UpdateServerProgress".
//
// The presenter (QMCacheManageController) sets the stage, then the type, then the super controller, before
// the page's view loads. "QMDLSuccess" rebuilds the page; "QMDLPauseAll" sets the toggle to "全部开始".
//
// Thread-safety: main thread only, like every controller.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/base/QMBaseViewController.h"
#include "app/store/QMCourse.h"
#include "app/store/QMStage.h"
#include "learning/course/QMLessonServer.h"
#include "learning/player/ZBPlayerViewController.h"
#include "learning/tree/TRTreeNodeData.h"
#include "learning/tree/TRTreeView.h"
#include "learning/tree/TRTreeViewDelegate.h"
#include "platform/foundation/notify/Notification.h"
#include "platform/uikit/alerts/AlertViewDelegate.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/ImageView.h"

namespace learning {

class QMCacheController : public app::QMBaseViewController,
                          public TRTreeViewDelegate,
                          public uikit::AlertViewDelegate {
 public:
  static constexpr char kSceneIdentifier[] = "QMCacheController";
  enum PageType : std::int64_t { kCachedPage = 0, kCachingPage = 1 };

  static constexpr double kRowHeight = 60;
  static constexpr double kWarningSeconds = 2.0;
  static constexpr char kNoCourseImage[] = "DL_no_course";
  static constexpr char kNoCachingCourseImage[] = "DL_no_dlcourse";
  static constexpr char kPauseAllTitle[] = "全部暂停";
  static constexpr char kStartAllTitle[] = "全部开始";
  static constexpr char kPauseAllImage[] = "DL_pause_all";
  static constexpr char kStartAllImage[] = "DL_start_all";
  static constexpr char kCleanAllTitle[] = "清除全部";
  static constexpr char kCleanAllQuestion[] = "确定清除所有缓存视频？";
  static constexpr char kCancelTitle[] = "取消";
  static constexpr char kConfirmTitle[] = "确定";
  static constexpr char kFileErrorMessage[] = "文件出错，无法播放";
  static constexpr char kFirstLessonWarning[] = "已经是第一个课程了";
  static constexpr char kLastLessonWarning[] = "已经是最后一个课程了";
  // The pause-all button's tag while it offers "全部暂停" / "全部开始".
  static constexpr std::int64_t kOffersPauseAll = 0;
  static constexpr std::int64_t kOffersStartAll = 1;

  QMCacheController() = default;
  ~QMCacheController() override;

  std::int64_t type() const { return type_; }
  // Stores the type and takes the stage's courses of that kind (resetCourseArray()).
  void setType(std::int64_t type);
  // Held weakly (the store holds it).
  std::shared_ptr<app::QMStage> myStage() const { return myStage_.lock(); }
  void setMyStage(const std::shared_ptr<app::QMStage>& stage) { myStage_ = stage; }
  // The screen that holds the page, held weakly; its navigation controller presents the player.
  void setSuperController(const std::shared_ptr<uikit::ViewController>& controller) {
    superController_ = controller;
  }

  void loadView() override;
  // Builds the page and observes "QMDLSuccess", "QMDLPauseAll" and the application's resign-active and
  // become-active notifications.
  void viewDidLoad() override;

  // The stage's top-level courses holding lessons of the page's kind, sorted by courseID.
  void resetCourseArray();
  // Rebuilds the tree, the empty-state picture and the buttons from courseArray().
  void setupSubviews();
  // Pauses or queues again the lesson of the downloading page, as the header comment says.
  void changeCourseDLStatus(const std::shared_ptr<app::QMCourse>& lesson);
  // Plays `lesson` (a downloaded lesson) offline from second 0.
  void playVideoWithCourse(const std::shared_ptr<app::QMCourse>& lesson);
  // Saves the playing lesson's position into its subject; nothing without a lesson playing.
  void saveLearningProgress();

  // Buttons.
  void pauseAllAction(uikit::Button& sender);
  void cleanAllAction(uikit::Button& sender);

  // TRTreeViewDelegate: rows of 60 points; the tree never folds; every row can be swiped to delete.
  double treeHeightForNodeData(TRTreeView& tree, TRTreeNodeData& node) override;
  std::shared_ptr<TRTreeNodeCell> treeCellForNodeData(TRTreeView& tree,
                                                      const std::shared_ptr<TRTreeNodeData>& node) override;
  std::optional<bool> treeShouldExpandAtSeletedNode(TRTreeView& tree, TRTreeNodeCell& cell) override;
  void treeDidSelectNodeCell(TRTreeView& tree, TRTreeNodeCell& cell) override;
  bool treeCanEditRowAtNodeCell(TRTreeView& tree, TRTreeNodeCell& cell) override;
  void treeDidDeleteRowAtNodeCell(TRTreeView& tree, TRTreeNodeCell& cell) override;

  // uikit::AlertViewDelegate: "确定" on the clear-all question.
  void alertViewClickedButtonAtIndex(uikit::AlertView& alertView, std::int64_t index) override;

  // The full-screen player's callbacks, forwarded by its controller.
  void playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error);
  void playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded);
  void playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url);
  void playerOnClickedLast(ZBPlayer& player, const std::optional<ns::URL>& url);
  void playerOnClickedNext(ZBPlayer& player, const std::optional<ns::URL>& url);

  // Notifications.
  void QMDLSuccessHandler(const ns::Notification& notification);
  void QMDLPauseAllHandler(const ns::Notification& notification);
  void applicationWillResignActive(const ns::Notification& notification);
  void applicationBecomeActive(const ns::Notification& notification);

  // State and outlets, for the tests to read.
  const std::vector<std::shared_ptr<app::QMCourse>>& courseArray() const { return courseArray_; }
  const std::shared_ptr<TRTreeView>& myTreeView() const { return myTreeView_; }
  const std::shared_ptr<uikit::ImageView>& noCourseImageView() const { return noCourseImageView_; }
  const std::shared_ptr<uikit::Button>& cachedOpBtn() const { return cachedOpBtn_; }
  const std::shared_ptr<uikit::View>& cachingOpView() const { return cachingOpView_; }
  const std::shared_ptr<uikit::Button>& pauseAllBtn() const { return pauseAllBtn_; }
  const std::shared_ptr<ZBPlayerViewController>& playerController() const { return playerController_; }
  const std::shared_ptr<TRTreeNodeData>& playingNode() const { return playingNode_; }
  // Stores the node and plays its lesson.
  void setPlayingNode(const std::shared_ptr<TRTreeNodeData>& node);
  // The page's lesson server, or nullptr before the first offline play.
  const QMLessonServer* localServer() const { return localServer_.get(); }

 private:
  std::shared_ptr<QMCacheController> self() {
    return std::static_pointer_cast<QMCacheController>(shared_from_this());
  }
  void createTreeNodeDataWithCourse(const std::shared_ptr<app::QMCourse>& course,
                                    const std::shared_ptr<TRTreeNodeData>& upNode);
  void setPauseAllState(std::int64_t tag);
  // Deletes the lessons of the page's kind at or below `course`, as a swipe does.
  void deletePageLessons(const std::shared_ptr<app::QMCourse>& course);
  void deleteCachDoneVideoWith(const std::shared_ptr<app::QMCourse>& course);
  void deleteCachingVideoWith(const std::shared_ptr<app::QMCourse>& course);
  // The lesson rows of the tree in the order shown.
  std::vector<std::shared_ptr<TRTreeNodeData>> lessonNodes() const;
  // Plays the lesson `step` rows away from the playing one, or shows `warningAtTheEnd`.
  void moveBy(int step, const char* warningAtTheEnd);
  void playInPlayer(const ns::URL& url, const std::string& title);
  void closePlayer();
  void showWarnningWithText(const std::string& text);
  void showFileErrorAlert();

  std::int64_t type_ = kCachedPage;
  std::weak_ptr<app::QMStage> myStage_;
  std::weak_ptr<uikit::ViewController> superController_;

  std::shared_ptr<TRTreeView> myTreeView_;
  std::shared_ptr<uikit::ImageView> noCourseImageView_;
  std::shared_ptr<uikit::Button> cachedOpBtn_;
  std::shared_ptr<uikit::View> cachingOpView_;
  std::shared_ptr<uikit::Button> pauseAllBtn_;
  std::shared_ptr<uikit::Button> cachingCleanBtn_;

  std::unique_ptr<QMLessonServer> localServer_;
  std::shared_ptr<ZBPlayerViewController> playerController_;
  std::vector<std::shared_ptr<app::QMCourse>> courseArray_;
  std::shared_ptr<TRTreeNodeData> playingNode_;
};

}  // namespace learning
