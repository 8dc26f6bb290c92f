#pragma once

// QMSubjectController: the home screen of the study area, the root of the navigation stack in the drawer's
// centre while a learner is signed in. From top to bottom: the menu button ("菜单", opens the drawer when it
// is closed and closes it in any other state), the season button (the selected season's code; it drops down
// the list of the learner's seasons and is hidden with fewer than two), the learning summary (days left, the
// number of subjects studied, the overall progress as a ring and as "<n>%"), the segmented control of the
// course tab and the live tab, and below it the tab's content.
//
// The course tab is a tree of the learner's subjects (QMSubjectTree): a tapped subject opens to its
// recently-played row and its stages when it is available ("正常") and has stages, or explains itself in an
// alert with the single button "确认"; a tapped stage presents the playback screen (scene
// "QMListenController" of storyboard "Course") from its first lesson, a tapped recently-played row from the
// lesson last played. With no subject, `noSubjectView` shows as the tree's footer. The live tab lists the
// season's live groups (page 1, refreshed by pulling the list down and each time the tab is chosen); a
// tapped group presents the live-detail screen in a navigation stack of its own; with no group, `noLiveView`
// shows, on the live tab only.
//
// Each time the screen appears it asks whether the learner must sign the course agreement (then the
// agreement screen, scene "QMProtocolNav" of storyboard "More", is presented) and for the subjects of the
// selected season, which rebuild the summary and merge into the tree, in the reply's order. Subjects the
// reply no longer lists are deleted from the store, with their lessons' downloads (records and folders,
// through the download manager), so that choosing another season removes the previous season's subjects.
//
// It turns the store's progress notifications into back-end calls: "UpdateServerProgress" sends the
// subject's position, "GetServerProgress" fetches the server's. Without a network a position is neither
// sent nor fetched and nothing is shown: it stays stored, and the next subject list sends the newer one or
// fetches the server's.
//
// Thread-safety: main thread only, like every controller.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/base/QMBaseViewController.h"
#include "app/course/QMCourseDataModel.h"
#include "app/course/QMCourseDataModelDelegate.h"
#include "learning/tree/TRTreeView.h"
#include "learning/tree/TRTreeViewDelegate.h"
#include "platform/foundation/notify/Notification.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/controls/SegmentedControl.h"
#include "platform/uikit/tables/TableView.h"
#include "platform/uikit/tables/TableViewDataSource.h"
#include "platform/uikit/tables/TableViewDelegate.h"
#include "platform/uikit/views/ImageView.h"
#include "platform/uikit/views/Label.h"
#include "ui/drawer/DrawerController.h"
#include "ui/drawer/DrawerControllerChild.h"
#include "ui/drawer/DrawerControllerPresenting.h"
#include "ui/progress/CircleProgressView.h"

namespace app {
class QMLiveGroupModel;
class QMSeason;
class QMStage;
class QMSubject;
}  // namespace app

namespace learning {

class QMSubjectController : public app::QMBaseViewController,
                            public TRTreeViewDelegate,
                            public ui::DrawerControllerChild,
                            public ui::DrawerControllerPresenting,
                            public app::QMCourseDataModelDelegate,
                            public uikit::TableViewDataSource,
                            public uikit::TableViewDelegate {
 public:
  static constexpr char kSceneIdentifier[] = "QMSubjectController";
  static constexpr char kMenuButtonTitle[] = "菜单";
  static constexpr char kCourseTabTitle[] = "课程";
  static constexpr char kLiveTabTitle[] = "直播";
  static constexpr char kAvailableStatus[] = "正常";
  static constexpr char kConfirmTitle[] = "确认";
  static constexpr char kSeasonCellIdentifier[] = "QMSeasonCell";
  static constexpr char kSeasonDownImage[] = "home_down";
  static constexpr char kSeasonUpImage[] = "home_up";
  static constexpr char kNoLiveImage[] = "home_nolive";
  static constexpr double kSubjectRowHeight = 75;
  static constexpr double kOtherRowHeight = 60;
  static constexpr double kSeasonRowHeight = 30;

  QMSubjectController() = default;
  ~QMSubjectController() override;

  std::string className() const override { return kSceneIdentifier; }

  // Life cycle: the views in loadView(); their styling, the live list's refresh header (while signed in),
  // the stored selected season, the first live refresh and the progress observers in viewDidLoad(); the
  // agreement status and the subject list on every appearance while signed in.
  void loadView() override;
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

  // The seasons of the last subject list. Setting them hides the season button below two seasons, selects
  // the first when none is selected, and reloads the season list.
  const std::vector<std::shared_ptr<app::QMSeason>>& seasonArray() const { return seasonArray_; }
  void setSeasonArray(std::vector<std::shared_ptr<app::QMSeason>> seasons);
  // The season whose subjects show. Setting it marks it as the one selected among seasonArray() (and
  // unmarks the others), saves the store and titles the season button with its code.
  const std::shared_ptr<app::QMSeason>& selectedSeason() const { return selectedSeason_; }
  void setSelectedSeason(std::shared_ptr<app::QMSeason> season);

  // The summary, the empty state and the tree, from the session and subjectModelArray().
  void reloadSubviews();
  // Merges subjectModelArray() into the tree shown and deletes the subjects it no longer holds.
  void updateTreeNode();

  // Opens the playback screen for `stage`; `playRecord` resumes the subject's last-played lesson.
  void goWatchVideoWith(const std::shared_ptr<app::QMStage>& stage, bool playRecord);
  // Presents the agreement screen from the drawer.
  void showProtocolSignController();

  // Controls.
  void selectSeasonAction(uikit::Button& sender);
  void showSeasonSelection();
  void hideSeasonSelection();
  void showMenuAction(uikit::Button& sender);
  void courseTypeChanged(uikit::SegmentedControl& sender);

  // The progress notifications (object: the subject).
  void updateServerProgress(const ns::Notification& notification);
  void getServerProgress(const ns::Notification& notification);

  // TRTreeViewDelegate.
  double treeHeightForNodeData(TRTreeView& tree, TRTreeNodeData& node) override;
  std::shared_ptr<TRTreeNodeCell> treeCellForNodeData(TRTreeView& tree,
                                                      const std::shared_ptr<TRTreeNodeData>& node) override;
  std::optional<bool> treeShouldExpandAtSeletedNode(TRTreeView& tree, TRTreeNodeCell& cell) override;
  void treeDidSelectNodeCell(TRTreeView& tree, TRTreeNodeCell& cell) override;
  // The tap rules of a tree row (the header comment).
  void nodeCellIsSelected(TRTreeNodeCell& cell);

  // The season list and the live list.
  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  std::optional<double> heightForRowAtIndexPath(uikit::TableView& tableView,
                                                const uikit::IndexPath& indexPath) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;

  // The drawer, held weakly; the app shell hands it over.
  std::shared_ptr<ui::DrawerController> drawer() const { return drawer_.lock(); }
  void setDrawer(std::weak_ptr<ui::DrawerController> drawer) override { drawer_ = std::move(drawer); }
  // While the drawer opens the screen takes no touches; once it closed it takes them again.
  void drawerControllerWillOpen(ui::DrawerController& drawer) override;
  void drawerControllerDidClose(ui::DrawerController& drawer) override;

  // QMCourseDataModelDelegate.
  void networkGetAllSubjectsSuccess(const std::vector<std::shared_ptr<app::QMSubject>>& subjects,
                                    const std::vector<std::shared_ptr<app::QMSeason>>& seasons) override;
  void networkGetLiveCourseSuccess(const std::vector<std::shared_ptr<app::QMLiveGroupModel>>& groups,
                                   int sumNumber) override;
  void networkGetLiveCourseFailed() override;
  void networkGetUserProtocolStatusSuccess() override;

  // State and views, for the tests to read.
  const std::vector<std::shared_ptr<app::QMSubject>>& subjectModelArray() const { return subjectModelArray_; }
  const std::vector<std::shared_ptr<app::QMLiveGroupModel>>& liveCourseArray() const {
    return liveCourseArray_;
  }
  const std::shared_ptr<TRTreeView>& myTreeView() const { return myTreeView_; }
  const std::shared_ptr<uikit::TableView>& liveTable() const { return liveTable_; }
  const std::shared_ptr<uikit::TableView>& seasonTable() const { return seasonTable_; }
  const std::shared_ptr<uikit::ImageView>& noLiveView() const { return noLiveView_; }
  const std::shared_ptr<uikit::View>& noSubjectView() const { return noSubjectView_; }
  const std::shared_ptr<uikit::Button>& seasonBtn() const { return seasonBtn_; }
  const std::shared_ptr<uikit::SegmentedControl>& courseTypeSegment() const { return courseTypeSegment_; }
  const std::shared_ptr<ui::CircleProgressView>& circleProgressView() const { return circleProgressView_; }
  const std::shared_ptr<uikit::Label>& progressLabel() const { return progressLabel_; }
  const std::shared_ptr<uikit::Label>& dayLabel() const { return dayLabel_; }
  const std::shared_ptr<uikit::Label>& subjectNumberLabel() const { return subjectNumberLabel_; }

 private:
  std::shared_ptr<QMSubjectController> self();
  const std::shared_ptr<app::QMCourseDataModel>& dataModel();
  void setupMySubviews();
  void setupData();
  void beginLiveRefresh();
  void deleteSubjects(const std::vector<std::shared_ptr<app::QMSubject>>& subjects);
  void showStatusAlert(const std::string& status);
  // The controller that presents the study screens: the drawer, or this screen without one.
  std::shared_ptr<uikit::ViewController> presenter();

  std::shared_ptr<uikit::Label> dayLabel_;
  std::shared_ptr<uikit::Label> subjectNumberLabel_;
  std::shared_ptr<ui::CircleProgressView> circleProgressView_;
  std::shared_ptr<uikit::Label> progressLabel_;
  std::shared_ptr<uikit::View> noSubjectView_;
  std::shared_ptr<uikit::Button> menuBtn_;
  std::shared_ptr<uikit::Button> seasonBtn_;
  std::shared_ptr<uikit::TableView> seasonTable_;
  std::shared_ptr<uikit::TableView> liveTable_;
  std::shared_ptr<uikit::SegmentedControl> courseTypeSegment_;
  std::shared_ptr<uikit::ImageView> noLiveView_;
  std::shared_ptr<TRTreeView> myTreeView_;

  std::shared_ptr<app::QMCourseDataModel> dataModel_;
  std::vector<std::shared_ptr<app::QMSubject>> subjectModelArray_;
  std::vector<std::shared_ptr<app::QMLiveGroupModel>> liveCourseArray_;
  std::vector<std::shared_ptr<app::QMSeason>> seasonArray_;
  std::shared_ptr<app::QMSeason> selectedSeason_;
  std::weak_ptr<ui::DrawerController> drawer_;
};

}  // namespace learning
