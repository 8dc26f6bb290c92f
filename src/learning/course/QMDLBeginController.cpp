#include "learning/course/QMDLBeginController.h"

#include <algorithm>

#include "app/helpers/QMHelpler.h"
#include "learning/course/QMDownloadCell.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "platform/uikit/support/Seconds.h"
#include "ui/hud/ProgressHUD.h"

namespace learning {
namespace {

// The scene's layout: the tree over the screen below the navigation bar, and a bar of two buttons at the
// bottom.
constexpr double kTopBarHeight = 64;
constexpr double kBottomBarHeight = 60;
constexpr double kButtonHeight = 30;
constexpr double kButtonWidth = 120;
constexpr double kButtonInset = 15;

}  // namespace

void QMDLBeginController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(app::QMHelpler::colorWithHexString("#36343b"));

  myTreeView_ = uikit::outlet("myTreeView", std::make_shared<TRTreeView>(uikit::Rect(
                                                0, kTopBarHeight, bounds.width(),
                                                bounds.height() - kTopBarHeight - kBottomBarHeight)));
  const double buttonY = bounds.height() - kBottomBarHeight + (kBottomBarHeight - kButtonHeight) / 2;
  selectAllBtn_ = uikit::outlet("selectAllBtn", std::make_shared<uikit::Button>(uikit::Rect(
                                                    kButtonInset, buttonY, kButtonWidth, kButtonHeight)));
  selectAllBtn_->setTitle(kSelectAllTitle, uikit::kControlStateNormal);
  addDLBtn_ = uikit::outlet(
      "addDLBtn", std::make_shared<uikit::Button>(uikit::Rect(bounds.width() - kButtonInset - kButtonWidth,
                                                              buttonY, kButtonWidth, kButtonHeight)));
  addDLBtn_->setTitle(kDownloadTitle, uikit::kControlStateNormal);
  for (const std::shared_ptr<uikit::View>& part :
       std::initializer_list<std::shared_ptr<uikit::View>>{myTreeView_, selectAllBtn_, addDLBtn_}) {
    view->addSubview(part);
  }
  setView(std::move(view));

  navigationItem().setTitle(kTitle);
  auto back = std::make_shared<uikit::BarButtonItem>(kBackTitle);
  back->setTarget(self(), &QMDLBeginController::goBackAction);
  navigationItem().setLeftBarButtonItem(std::move(back));
  myTreeView_->setTreeDelegate(std::static_pointer_cast<TRTreeViewDelegate>(self()));
  selectAllBtn_->addTarget(self(), &QMDLBeginController::selectAllAction, uikit::kControlEventTouchUpInside);
  addDLBtn_->addTarget(self(), &QMDLBeginController::begainDownloadAction, uikit::kControlEventTouchUpInside);
}

void QMDLBeginController::viewDidLoad() {
  app::QMBaseViewController::viewDidLoad();
  dataModel_ = std::make_shared<app::QMCourseDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<app::QMCourseDataModelDelegate>(self()));
  addDLBtn_->layer().setCornerRadius(kDownloadButtonCornerRadius);
  reloadTreeView();
}

void QMDLBeginController::reloadTreeView() {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<app::QMStage> stage = myStageModel();
  const std::vector<std::shared_ptr<app::QMCourse>> courses =
      stage ? stage->uncacheRootCourse() : std::vector<std::shared_ptr<app::QMCourse>>{};
  if (courses.empty()) {
    addDLBtn_->setUserInteractionEnabled(false);
    selectAllBtn_->setUserInteractionEnabled(false);
    return;
  }
  auto root = std::make_shared<TRTreeNodeData>();
  for (const std::shared_ptr<app::QMCourse>& course : courses) {
    createTreeNodeDataWithCourse(course, root);
  }
  myTreeView_->setNodeData(std::move(root));
  addDLBtn_->setUserInteractionEnabled(true);
  selectAllBtn_->setUserInteractionEnabled(true);
}

void QMDLBeginController::createTreeNodeDataWithCourse(const std::shared_ptr<app::QMCourse>& course,
                                                       const std::shared_ptr<TRTreeNodeData>& upNode) {
  QM_DCHECK_MAIN_THREAD();
  auto node = std::make_shared<TRTreeNodeData>(course);
  node->setExpand(true);
  upNode->insertChild(node);
  for (const std::shared_ptr<app::QMCourse>& child : course->courseArrayWith(app::kQMDownloadNotQueued)) {
    createTreeNodeDataWithCourse(child, node);
  }
}

void QMDLBeginController::setSelectAllState(bool allSelected) {
  selectAllBtn_->setTag(allSelected ? 1 : 0);
  selectAllBtn_->setImage(uikit::Image::imageNamed(allSelected ? kSelectAllOnImage : kSelectAllOffImage),
                          uikit::kControlStateNormal);
}

void QMDLBeginController::checkAllSelectedStaus() {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<TRTreeNodeData>& root = myTreeView_->nodeData();
  const bool allSelected = root && std::all_of(root->child().begin(), root->child().end(),
                                               [](const auto& node) { return node->isSelected(); });
  setSelectAllState(allSelected);
}

void QMDLBeginController::selectAllAction(uikit::Button& sender) {
  QM_DCHECK_MAIN_THREAD();
  const bool selectAll = sender.tag() == 0;
  setSelectAllState(selectAll);
  if (const std::shared_ptr<TRTreeNodeData>& root = myTreeView_->nodeData()) {
    root->setSelected(selectAll);
  }
  myTreeView_->reloadData();
}

void QMDLBeginController::begainDownloadAction(uikit::Button&) {
  QM_DCHECK_MAIN_THREAD();
  // The lessons are queued already and the screen is about to close: a second tap must not queue them
  // (or a lesson that failed meanwhile) again.
  if (downloadStarted_) {
    return;
  }
  const std::shared_ptr<TRTreeNodeData>& root = myTreeView_->nodeData();
  const std::vector<std::shared_ptr<TRTreeNodeData>> selected =
      root ? root->selectedChildren() : std::vector<std::shared_ptr<TRTreeNodeData>>{};
  if (selected.empty()) {
    ui::ProgressHUD::showAlertWithText(kNothingSelectedText, kNoticeSeconds);
    return;
  }
  downloadStarted_ = true;
  for (const std::shared_ptr<TRTreeNodeData>& node : selected) {
    const auto course = ns::objectAs<app::QMCourse>(node->dataModel());
    if (course && course->isLesson()) {
      QMDownloadHelper::sharedInstance()->add(course);
    }
  }
  ui::ProgressHUD::showAlertWithText(kQueuedText, kNoticeSeconds);
  std::weak_ptr<QMDLBeginController> weakSelf = self();
  ns::Timer::scheduled(ns::RunLoop::main(), uikit::durationFromSeconds(kCloseDelaySeconds),
                       ns::Timer::Repeats::kNo, [weakSelf](ns::Timer&) {
                         if (const auto screen = weakSelf.lock()) {
                           screen->close();
                         }
                       });
}

void QMDLBeginController::goBackAction(uikit::BarButtonItem&) {
  QM_DCHECK_MAIN_THREAD();
  close();
}

void QMDLBeginController::close() {
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->dismissViewControllerAnimated(true);
  }
}

double QMDLBeginController::treeHeightForNodeData(TRTreeView&, TRTreeNodeData&) {
  return kRowHeight;
}

std::shared_ptr<TRTreeNodeCell> QMDLBeginController::treeCellForNodeData(
    TRTreeView& tree, const std::shared_ptr<TRTreeNodeData>&) {
  if (auto reused = std::dynamic_pointer_cast<TRTreeNodeCell>(
          tree.dequeueReusableCellWithIdentifier(QMDownloadCell::kNibName))) {
    return reused;
  }
  // Without its nib (QMCourseStoryboard registers it) there is no cell, which the table refuses loudly.
  const auto views = uikit::Nib::loadNibNamed(QMDownloadCell::kNibName, self());
  return views.ok() && !views.value().empty()
             ? std::dynamic_pointer_cast<TRTreeNodeCell>(views.value().front())
             : nullptr;
}

std::optional<bool> QMDLBeginController::treeShouldExpandAtSeletedNode(TRTreeView&, TRTreeNodeCell&) {
  return false;
}

void QMDLBeginController::treeDidSelectNodeCell(TRTreeView&, TRTreeNodeCell& cell) {
  QM_DCHECK_MAIN_THREAD();
  if (const std::shared_ptr<TRTreeNodeData> node = cell.nodeData()) {
    node->setSelected(!node->isSelected());
  }
  checkAllSelectedStaus();
  myTreeView_->reloadData();
}

}  // namespace learning
