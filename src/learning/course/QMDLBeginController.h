#pragma once

// QMDLBeginController: the lesson download picker. It shows, as a fully open tree, the courses of one stage
// that still hold lessons not downloaded (record status 0), each row with a check box; ticking a node ticks
// its children and brings its parents in step, and the select-all button ticks or unticks everything. The
// download button queues the ticked lessons with the download manager and closes the screen 2.0 s later.
// It is the first screen of the navigation controller that is the initial scene of storyboard "Course"
// (QMCourseStoryboard.h); the presenter sets the stage before the screen loads.
//
// A stage with nothing left to download shows an empty tree, and neither button reacts. A tap on the download
// button with nothing ticked shows "请选择需要下载的课件"; once the lessons are queued, further taps do
// nothing while the screen waits to close.
//
// Thread-safety: main thread only, like every controller.

#include <memory>

#include "app/base/QMBaseViewController.h"
#include "app/course/QMCourseDataModel.h"
#include "app/course/QMCourseDataModelDelegate.h"
#include "app/store/QMCourse.h"
#include "app/store/QMStage.h"
#include "learning/tree/TRTreeView.h"
#include "learning/tree/TRTreeViewDelegate.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controls/Button.h"

namespace learning {

class QMDLBeginController : public app::QMBaseViewController,
                            public TRTreeViewDelegate,
                            public app::QMCourseDataModelDelegate {
 public:
  static constexpr char kNothingSelectedText[] = "请选择需要下载的课件";
  static constexpr char kQueuedText[] = "请到下载查看进度";
  static constexpr double kNoticeSeconds = 2.0;
  // How long after queueing the screen closes by itself.
  static constexpr double kCloseDelaySeconds = 2.0;
  static constexpr double kRowHeight = 60;
  static constexpr double kDownloadButtonCornerRadius = 15.0;
  static constexpr char kSelectAllOnImage[] = "DL_selectAll_on";
  static constexpr char kSelectAllOffImage[] = "DL_selectAll_off";
  static constexpr char kTitle[] = "选择下载";
  static constexpr char kBackTitle[] = "返回";
  static constexpr char kSelectAllTitle[] = "全选";
  static constexpr char kDownloadTitle[] = "开始下载";

  QMDLBeginController() = default;

  // The stage whose lessons are offered, held weakly (the store holds it). Set before the screen loads.
  std::shared_ptr<app::QMStage> myStageModel() const { return myStageModel_.lock(); }
  void setMyStageModel(const std::shared_ptr<app::QMStage>& stage) { myStageModel_ = stage; }

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<TRTreeView>& myTreeView() const { return myTreeView_; }
  const std::shared_ptr<uikit::Button>& addDLBtn() const { return addDLBtn_; }
  // Its tag is 1 while everything is ticked, else 0.
  const std::shared_ptr<uikit::Button>& selectAllBtn() const { return selectAllBtn_; }
  // The screen's course API client, made at load; the screen sends no request with it.
  const std::shared_ptr<app::QMCourseDataModel>& dataModel() const { return dataModel_; }

  // Builds the tree, the buttons and the back item, wired to this controller.
  void loadView() override;
  // Makes the data model, rounds the download button and builds the tree.
  void viewDidLoad() override;

  // Builds the tree from the stage, as the header comment describes.
  void reloadTreeView();
  // Adds an open node for `course` under `upNode`, and below it the children that hold lessons not
  // downloaded, in courseID order.
  void createTreeNodeDataWithCourse(const std::shared_ptr<app::QMCourse>& course,
                                    const std::shared_ptr<TRTreeNodeData>& upNode);
  // Shows select-all as on exactly when every top-level node is ticked.
  void checkAllSelectedStaus();
  // Ticks or unticks everything.
  void selectAllAction(uikit::Button& sender);
  // Queues the ticked lessons, as the header comment describes.
  void begainDownloadAction(uikit::Button& sender);
  // Dismisses the navigation controller that holds the screen, animated.
  void goBackAction(uikit::BarButtonItem& sender);

  double treeHeightForNodeData(TRTreeView& tree, TRTreeNodeData& node) override;
  std::shared_ptr<TRTreeNodeCell> treeCellForNodeData(TRTreeView& tree,
                                                      const std::shared_ptr<TRTreeNodeData>& node) override;
  // Rows never fold.
  std::optional<bool> treeShouldExpandAtSeletedNode(TRTreeView& tree, TRTreeNodeCell& cell) override;
  // Flips the tapped node's tick.
  void treeDidSelectNodeCell(TRTreeView& tree, TRTreeNodeCell& cell) override;

 private:
  std::shared_ptr<QMDLBeginController> self() {
    return std::static_pointer_cast<QMDLBeginController>(shared_from_this());
  }
  void setSelectAllState(bool allSelected);
  void close();

  std::weak_ptr<app::QMStage> myStageModel_;
  std::shared_ptr<TRTreeView> myTreeView_;
  std::shared_ptr<uikit::Button> addDLBtn_;
  std::shared_ptr<uikit::Button> selectAllBtn_;
  std::shared_ptr<app::QMCourseDataModel> dataModel_;
  // Set once lessons have been queued: the screen is about to close, and the button does nothing more.
  bool downloadStarted_ = false;
};

}  // namespace learning
