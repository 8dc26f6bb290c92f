#pragma once

// QMListenController: the screen on which the learner watches the lessons of one stage. The video player
// fills the upper part; below it the title line ("<subject>－<stage>") with the download button, and the
// stage's course tree (chapters, units, lessons).
//
// The presenter sets the stage and whether to resume the subject's last-played lesson, then presents the
// screen. At load the screen asks the back end for the stage's course tree; once it is stored, the tree is
// shown and a lesson plays: the last-played one (from the second it reached) when asked and it lies in this
// stage, else the first lesson in tree order (which starts at 0). A lesson downloaded completely plays
// offline from the lesson server on 127.0.0.1 (QMLessonServer); any other plays online through its signed
// playlist URL, and the play is reported to the statistics server once the player knows whether it loads
// (success 1 when the item is ready, 0 when it fails). On a cellular network with the Wi-Fi-only play switch
// on and no remembered choice the learner is asked first ("继续播放" or "取消", with a remember box); nothing
// is fetched or played before the answer.
//
// A tapped lesson row, the player's previous and next buttons and the end of a lesson choose another
// lesson, in tree order across chapters and units. Turning the device to landscape moves the player to full
// screen on the key window, back to portrait returns it, unless the player is locked. Back, the end of a
// lesson and resigning active save the position into the subject and post "UpdateServerProgress"; back
// closes the statistics connection, an open question and the player and dismisses the screen. "UserLogout"
// does the same without saving.
//
// Thread-safety: main thread only, like every controller.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/course/QMCourseDataModel.h"
#include "app/course/QMCourseDataModelDelegate.h"
#include "app/helpers/ZBAlertViewDelegate.h"
#include "learning/course/QMLessonServer.h"
#include "learning/player/RunLoopSocketModel.h"
#include "learning/player/ZBPlayer.h"
#include "learning/player/ZBPlayerDelegate.h"
#include "learning/tree/TRTreeNodeData.h"
#include "learning/tree/TRTreeView.h"
#include "learning/tree/TRTreeViewDelegate.h"
#include "platform/foundation/notify/KeyValueObservation.h"
#include "platform/foundation/notify/Notification.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/views/Label.h"

namespace app {
class QMCourse;
class QMStage;
}  // namespace app

namespace learning {

class QMListenController : public uikit::ViewController,
                           public TRTreeViewDelegate,
                           public app::QMCourseDataModelDelegate,
                           public app::ZBAlertViewDelegate {
 public:
  // The player area's height over the screen's width.
  static constexpr double kPlayerAspect = 230.0 / 375.0;
  static constexpr double kRowHeight = 60;
  static constexpr double kTitleHeight = 44;
  static constexpr double kWarningSeconds = 2.0;
  // The full screen orientation the player turns to by its own button: landscape left.
  static constexpr std::int64_t kDefaultFullOrientation = 3;

  static constexpr char kSceneIdentifier[] = "QMListenController";
  static constexpr char kCellularQuestion[] = "当前为非WiFi网络，播放视频会消耗流量,确定继续播放?";
  static constexpr char kRememberChoice[] = "记住我的选择";
  static constexpr char kCancelTitle[] = "取消";
  static constexpr char kGoOnTitle[] = "继续播放";
  static constexpr char kFirstLessonWarning[] = "已经是第一个课程了";
  static constexpr char kLastLessonWarning[] = "已经是最后一个课程了";
  static constexpr char kNoNetworkWarning[] = "暂无网络，请检查网络";
  static constexpr char kFileErrorMessage[] = "文件出错，无法播放";
  static constexpr char kDownloadTitle[] = "下载";

  // Which Wi-Fi question is open.
  enum AlertTag : std::int32_t {
    kNoQuestion = 0,
    // Asked before an online play.
    kQuestionBeforePlay = 1,
    // Asked when the network turned cellular during a play.
    kQuestionAfterSwitch = 2,
  };

  QMListenController();
  ~QMListenController() override;

  // Set by the presenter before the screen loads: the stage shown, and whether to resume the subject's
  // last-played lesson.
  const std::shared_ptr<app::QMStage>& stageModel() const { return stageModel_; }
  void setStageModel(std::shared_ptr<app::QMStage> stage) { stageModel_ = std::move(stage); }
  bool isPlayRecord() const { return isPlayRecord_; }
  void setIsPlayRecord(bool resume) { isPlayRecord_ = resume; }

  // Life cycle: the view with the player area and the title line; at load the tree is asked for and the
  // notifications observed; leaving pauses the player and shows the status bar.
  void loadView() override;
  void viewDidLoad() override;
  void viewWillDisappear(bool animated) override;
  // The screen turns with the device unless the player is locked; portrait and both landscapes.
  bool shouldAutorotate() const override;
  uikit::InterfaceOrientationMask supportedInterfaceOrientations() const override {
    return uikit::kInterfaceOrientationMaskAllButUpsideDown;
  }

  // Plays `lesson` (a lesson of the stage) from its start, as a tap on its row does.
  void chooseLesson(const std::shared_ptr<app::QMCourse>& lesson);

  // TRTreeViewDelegate: rows of 60 points drawn by QMCommonTreeCell; a tapped lesson row plays its lesson,
  // other rows open or close.
  double treeHeightForNodeData(TRTreeView& tree, TRTreeNodeData& node) override;
  std::shared_ptr<TRTreeNodeCell> treeCellForNodeData(TRTreeView& tree,
                                                      const std::shared_ptr<TRTreeNodeData>& node) override;
  void treeDidSelectNodeCell(TRTreeView& tree, TRTreeNodeCell& cell) override;

  // The player's callbacks (its delegate forwards them while this screen lives).
  void playerDidStop(ZBPlayer& player, const std::optional<ns::Error>& error);
  void playerOnClickedPlayAtEnded(ZBPlayer& player, bool atEnded);
  void playerOnClickedNavBack(ZBPlayer& player, const std::optional<ns::URL>& url);
  void playerOnClickedLast(ZBPlayer& player, const std::optional<ns::URL>& url);
  void playerOnClickedNext(ZBPlayer& player, const std::optional<ns::URL>& url);

  // QMCourseDataModelDelegate: the stored tree is shown and played; the server time signs the online URL.
  void networkGetCourseTreeSuccess(const std::shared_ptr<app::QMStage>& stage) override;
  void networkGetServerTimeSuccess(double serverTime) override;
  void networkGetServerTimeFailed() override;

  // ZBAlertViewDelegate: the answer to the Wi-Fi question.
  void alertViewDidOnClickedButton(app::ZBAlertView& alertView, app::MyButton& button) override;

  // Notifications.
  void onChangeOrenation(const ns::Notification& notification);
  void reachabilityChanged(const ns::Notification& notification);
  void applicationWillResignActive(const ns::Notification& notification);
  void userLogout(const ns::Notification& notification);

  // Pauses the player and presents the download picker for the stage.
  void goDownloadAction(uikit::Button& sender);

  // State, for the tests to read.
  const std::shared_ptr<ZBPlayer>& playerView() const { return playerView_; }
  const std::shared_ptr<app::QMCourse>& playingCourse() const { return playingCourse_; }
  std::int32_t recordProgress() const { return recordProgress_; }
  std::int32_t alertTag() const { return alertTag_; }
  bool isOutline() const { return isOutline_; }
  bool isPlayerNetError() const { return isPlayerNetError_; }
  uikit::Rect smallRect() const { return smallRect_; }
  double headerDistance() const { return headerDistance_; }
  const QMLessonServer& localServer() const { return localServer_; }
  const std::shared_ptr<RunLoopSocketModel>& socketModel() const { return socketModel_; }
  const std::shared_ptr<uikit::Label>& phaseNameLabel() const { return phaseNameLabel_; }
  const std::shared_ptr<TRTreeView>& myTreeView() const { return myTreeView_; }
  // The tree node of the lesson playing, nullptr before the tree is shown.
  const std::shared_ptr<TRTreeNodeData>& playingTreeNode() const { return playingTreeNode_; }

 private:
  // An online play waiting for the server time that signs its URL.
  struct PendingOnlinePlay {
    std::uint32_t fromSecond = 0;
    bool reports = false;
    // The learner allowed this play on a cellular network.
    bool allowedOnCellular = false;
  };
  // A play whose report waits until the player knows whether it loads.
  struct PendingReport {
    std::int32_t startSecond = 0;
    std::string url;
  };

  std::shared_ptr<QMListenController> self();

  void loadInitData();
  void loadInitView();
  void loadTreeView();
  void createTreeNodeDataWithCourse(const std::shared_ptr<app::QMCourse>& course,
                                    const std::shared_ptr<TRTreeNodeData>& upNode);
  // The node of `course` in the tree shown, or nullptr.
  std::shared_ptr<TRTreeNodeData> treeNodeOf(const app::QMCourse& course) const;
  void observeNotifications();

  // Plays playingCourse_ by its road (QMLessonRoad).
  void playVideo();
  void playLocalVideo();
  // Asks for the server time, then plays playingCourse_ online.
  void requestOnlinePlay(PendingOnlinePlay play);
  void playOnlineVideo(const PendingOnlinePlay& play);
  // Plays `url` of playingCourse_ from `fromSecond`, starting by itself once loaded.
  void startPlayer(const ns::URL& url, std::uint32_t fromSecond);
  // Raises the Wi-Fi question about playingCourse_, or, while one is open, makes the open one this question:
  // one panel at a time. The player stops; before a play it shows the lesson asked about, unopened.
  void askAboutCellular(AlertTag tag);
  // Takes an open question off the screen unanswered: the lesson chosen since plays without one.
  void withdrawQuestion();
  void watchForReport(PendingReport report);
  void sendReport(bool success);
  void moveTo(const std::shared_ptr<app::QMCourse>& lesson, const char* warningAtTheEnd);
  void saveLearningProgress();
  // Ends what the screen runs before it goes: the statistics connection, an open question, which would
  // otherwise stay above the screens that follow, and the player.
  void leaveScreen();
  void deallocPlayer();
  void enterFullScreen();
  void enterHalfScreen();
  void showWarnningWithText(const std::string& text);
  void showFileErrorAlert();

  // Set by the presenter.
  std::shared_ptr<app::QMStage> stageModel_;
  bool isPlayRecord_ = false;

  std::shared_ptr<app::QMCourseDataModel> dataModel_;
  std::shared_ptr<RunLoopSocketModel> socketModel_;
  QMLessonServer localServer_;
  std::shared_ptr<ZBPlayer> playerView_;
  std::shared_ptr<ZBPlayerDelegate> playerEvents_;

  std::shared_ptr<uikit::View> titleView_;
  std::shared_ptr<uikit::Label> phaseNameLabel_;
  std::shared_ptr<uikit::Button> downloadButton_;
  std::shared_ptr<TRTreeView> myTreeView_;
  std::shared_ptr<TRTreeNodeData> playingTreeNode_;
  uikit::Rect smallRect_;
  double headerDistance_ = 0;

  std::shared_ptr<app::QMCourse> playingCourse_;
  std::int32_t recordProgress_ = 0;
  bool isPlayerNetError_ = false;
  bool isOutline_ = false;
  std::int32_t alertTag_ = kNoQuestion;
  // The session of the open question's panel.
  std::optional<std::int64_t> questionSession_;
  // The last play ended in a failure; the play button then tries the lesson again.
  bool lastPlayFailed_ = false;

  std::optional<PendingOnlinePlay> pendingOnlinePlay_;
  std::optional<PendingReport> pendingReport_;
  std::optional<ns::KeyValueObservation> itemStatusObservation_;
};

}  // namespace learning
