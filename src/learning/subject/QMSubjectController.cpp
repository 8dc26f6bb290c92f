#include "learning/subject/QMSubjectController.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "app/base/QMBaseNavigationController.h"
#include "app/course/QMLiveGroupModel.h"
#include "app/helpers/QMHelpler.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/store/ConsoleLog.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "app/store/ServerValue.h"
#include "learning/course/QMCommonTreeCell.h"
#include "learning/course/QMCourseStoryboard.h"
#include "learning/course/QMListenController.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/live/QMLiveDetailController.h"
#include "learning/live/QMLiveGroupCell.h"
#include "learning/live/QMLiveStoryboard.h"
#include "learning/subject/QMNearlyPlayCell.h"
#include "learning/subject/QMSubjectCell.h"
#include "learning/subject/QMSubjectTree.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/Reachability.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Nib.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "platform/uikit/storyboard/Storyboard.h"
#include "ui/refresh/RefreshNormalHeader.h"
#include "ui/refresh/ScrollViewRefresh.h"

namespace learning {

namespace {

// The storyboard and scene of the agreement screen.
constexpr char kMoreStoryboard[] = "More";
constexpr char kProtocolNavScene[] = "QMProtocolNav";

// The top of the tab's content, below the summary and the segmented control.
constexpr double kContentTop = 200;

uikit::Color selectedSeasonColor() {
  return uikit::Color::hsba(0.51, 0.397, 0.859, 1);
}

uikit::Color hex(std::string_view text) {
  return app::QMHelpler::colorWithHexString(text);
}

// Returns a new controller of `scene` in `storyboardName`, or nullptr after logging why there is none.
std::shared_ptr<uikit::ViewController> instantiate(const std::string& storyboardName,
                                                   const std::string& scene) {
  ns::Result<uikit::Storyboard> storyboard = uikit::Storyboard::storyboardWithName(storyboardName);
  ns::Result<std::shared_ptr<uikit::ViewController>> controller =
      storyboard.ok() ? storyboard->instantiateViewControllerWithIdentifier(scene)
                      : ns::Result<std::shared_ptr<uikit::ViewController>>(storyboard.error());
  if (!controller.ok()) {
    app::consoleLog("Cannot open a screen: " + controller.error().localizedDescription());
    return nullptr;
  }
  return *controller;
}

// Returns the first view of the nib `name`, loaded for `owner`, as a T; nullptr when the nib is missing.
template <typename T>
std::shared_ptr<T> loadCell(const char* name, const std::shared_ptr<ns::Object>& owner) {
  const auto views = uikit::Nib::loadNibNamed(name, owner);
  return views.ok() && !views.value().empty() ? std::dynamic_pointer_cast<T>(views.value().front()) : nullptr;
}

bool isAvailable(const app::QMSubject& subject) {
  return subject.subjectStaus() == QMSubjectController::kAvailableStatus;
}

bool networkIsUp() {
  return app::QMAppServices::myReachable()->currentReachabilityStatus() != outside::NotReachable;
}

}  // namespace

QMSubjectController::~QMSubjectController() {
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  center.removeObserver(this, std::string(app::kUpdateServerProgressNotification), nullptr);
  center.removeObserver(this, std::string(app::kGetServerProgressNotification), nullptr);
}

std::shared_ptr<QMSubjectController> QMSubjectController::self() {
  return std::static_pointer_cast<QMSubjectController>(shared_from_this());
}

const std::shared_ptr<app::QMCourseDataModel>& QMSubjectController::dataModel() {
  if (!dataModel_) {
    dataModel_ = std::make_shared<app::QMCourseDataModel>();
    dataModel_->setDelegate(std::static_pointer_cast<app::QMCourseDataModelDelegate>(self()));
  }
  return dataModel_;
}

// Views

void QMSubjectController::loadView() {
  const uikit::Rect screen = uikit::Screen::mainScreen().bounds();
  const double width = screen.width();
  auto view = std::make_shared<uikit::View>(screen);
  view->setBackgroundColor(uikit::Color::white(1));

  menuBtn_ = uikit::outlet("menuBtn", std::make_shared<uikit::Button>(uikit::Rect(10, 20, 60, 32)));
  menuBtn_->setTitle(kMenuButtonTitle, uikit::kControlStateNormal);
  seasonBtn_ =
      uikit::outlet("seasonBtn", std::make_shared<uikit::Button>(uikit::Rect(width - 130, 20, 120, 32)));
  seasonBtn_->setImage(uikit::Image::imageNamed(kSeasonDownImage), uikit::kControlStateNormal);

  dayLabel_ = uikit::outlet("dayLabel", std::make_shared<uikit::Label>(uikit::Rect(20, 70, 90, 30)));
  subjectNumberLabel_ =
      uikit::outlet("subjectNumberLabel", std::make_shared<uikit::Label>(uikit::Rect(20, 110, 90, 30)));
  circleProgressView_ =
      uikit::outlet("circleProgressView",
                    std::make_shared<ui::CircleProgressView>(uikit::Rect(width / 2 - 45, 60, 90, 90)));
  progressLabel_ =
      uikit::outlet("progressLabel", std::make_shared<uikit::Label>(uikit::Rect(width / 2 - 30, 90, 60, 30)));

  courseTypeSegment_ = uikit::outlet(
      "courseTypeSegment",
      std::make_shared<uikit::SegmentedControl>(std::vector<std::string>{kCourseTabTitle, kLiveTabTitle}));
  courseTypeSegment_->setFrame(uikit::Rect(40, 160, width - 80, 30));
  courseTypeSegment_->setSelectedSegmentIndex(0);

  const uikit::Rect content(0, kContentTop, width, screen.height() - kContentTop);
  myTreeView_ = uikit::outlet("myTreeView", std::make_shared<TRTreeView>(content));
  liveTable_ = uikit::outlet("liveTable", std::make_shared<uikit::TableView>(content));
  liveTable_->setHidden(true);
  noLiveView_ = uikit::outlet("noLiveView", std::make_shared<uikit::ImageView>(content));
  noLiveView_->setImage(uikit::Image::imageNamed(kNoLiveImage));
  noLiveView_->setHidden(true);
  noSubjectView_ =
      uikit::outlet("noSubjectView", std::make_shared<uikit::View>(uikit::Rect(0, 0, width, 200)));
  noSubjectView_->setHidden(true);
  seasonTable_ =
      uikit::outlet("seasonTable", std::make_shared<uikit::TableView>(uikit::Rect(width - 130, 57, 120, 0)));
  seasonTable_->setHidden(true);

  for (const std::shared_ptr<uikit::View>& part : std::initializer_list<std::shared_ptr<uikit::View>>{
           menuBtn_, seasonBtn_, dayLabel_, subjectNumberLabel_, circleProgressView_, progressLabel_,
           courseTypeSegment_, myTreeView_, liveTable_, noLiveView_, seasonTable_}) {
    view->addSubview(part);
  }
  setView(std::move(view));
}

void QMSubjectController::viewDidLoad() {
  QM_DCHECK_MAIN_THREAD();
  app::QMBaseViewController::viewDidLoad();
  const std::shared_ptr<QMSubjectController> me = self();
  myTreeView_->setTreeDelegate(std::static_pointer_cast<TRTreeViewDelegate>(me));
  for (const std::shared_ptr<uikit::TableView>& table : {seasonTable_, liveTable_}) {
    table->setDataSource(std::static_pointer_cast<uikit::TableViewDataSource>(me));
    table->setDelegate(std::static_pointer_cast<uikit::TableViewDelegate>(me));
  }
  menuBtn_->addTarget(me, &QMSubjectController::showMenuAction, uikit::kControlEventTouchUpInside);
  seasonBtn_->addTarget(me, &QMSubjectController::selectSeasonAction, uikit::kControlEventTouchUpInside);
  courseTypeSegment_->addTarget(me, &QMSubjectController::courseTypeChanged,
                                uikit::kControlEventValueChanged);
  setupMySubviews();
  setupData();
}

void QMSubjectController::setupMySubviews() {
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->setNavigationBarHidden(true);
  }
  for (const std::shared_ptr<uikit::View>& framed :
       std::initializer_list<std::shared_ptr<uikit::View>>{seasonBtn_, seasonTable_}) {
    framed->layer().setCornerRadius(16);
    framed->layer().setBorderWidth(0.5);
    framed->layer().setBorderColor(hex("#989898"));
  }
  courseTypeSegment_->layer().setCornerRadius(courseTypeSegment_->frame().height() / 2);
  courseTypeSegment_->layer().setBorderColor(uikit::Color::rgba(0.263, 0.263, 0.314, 1));
  courseTypeSegment_->layer().setBorderWidth(1.0);
  courseTypeSegment_->setClipsToBounds(true);
  if (app::QMUser::sharedInstance()->isLogin()) {
    std::weak_ptr<QMSubjectController> weakSelf = self();
    ui::setRf_header(*liveTable_, ui::RefreshNormalHeader::headerWithRefreshingBlock([weakSelf] {
      if (std::shared_ptr<QMSubjectController> me = weakSelf.lock()) {
        me->dataModel()->networkGetLiveCourseWithSeason(me->selectedSeason_, 1);
      }
    }));
  }
}

void QMSubjectController::setupData() {
  subjectModelArray_.clear();
  liveCourseArray_.clear();
  setSelectedSeason(app::QMCoreDataHelper::sharedInstance().getSelectedSeason());
  beginLiveRefresh();
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  const std::shared_ptr<QMSubjectController> me = self();
  center.addObserver(me, &QMSubjectController::updateServerProgress,
                     std::string(app::kUpdateServerProgressNotification), nullptr);
  center.addObserver(me, &QMSubjectController::getServerProgress,
                     std::string(app::kGetServerProgressNotification), nullptr);
}

void QMSubjectController::beginLiveRefresh() {
  if (std::shared_ptr<ui::RefreshHeader> header = ui::rf_header(*liveTable_)) {
    header->beginRefreshing();
  }
}

void QMSubjectController::viewWillAppear(bool animated) {
  QM_DCHECK_MAIN_THREAD();
  app::QMBaseViewController::viewWillAppear(animated);
  if (!app::QMUser::sharedInstance()->isLogin()) {
    return;
  }
  dataModel()->networkGetUserProtocolStatus();
  dataModel()->networkGetAllSubjectsWithSeason(selectedSeason_);
}

// Seasons

void QMSubjectController::setSeasonArray(std::vector<std::shared_ptr<app::QMSeason>> seasons) {
  QM_DCHECK_MAIN_THREAD();
  seasonArray_ = std::move(seasons);
  seasonBtn_->setHidden(seasonArray_.size() < 2);
  if (!selectedSeason_ && !seasonArray_.empty()) {
    setSelectedSeason(seasonArray_.front());
  }
  seasonTable_->reloadData();
}

void QMSubjectController::setSelectedSeason(std::shared_ptr<app::QMSeason> season) {
  QM_DCHECK_MAIN_THREAD();
  selectedSeason_ = std::move(season);
  for (const std::shared_ptr<app::QMSeason>& each : seasonArray_) {
    each->setIsSelected(0);
  }
  if (selectedSeason_) {
    selectedSeason_->setIsSelected(1);
  }
  app::QMCoreDataHelper::sharedInstance().saveContext();
  seasonBtn_->setTitle(selectedSeason_ ? selectedSeason_->code() : std::nullopt, uikit::kControlStateNormal);
  seasonTable_->reloadData();
}

void QMSubjectController::selectSeasonAction(uikit::Button& sender) {
  if (sender.tag() != 0) {
    hideSeasonSelection();
  } else {
    showSeasonSelection();
  }
}

void QMSubjectController::showSeasonSelection() {
  seasonBtn_->setTag(1);
  seasonBtn_->setImage(uikit::Image::imageNamed(kSeasonUpImage), uikit::kControlStateNormal);
  seasonTable_->setHidden(false);
  myTreeView_->setScrollEnabled(false);
  const uikit::Rect button = seasonBtn_->superview()->convertRectToView(seasonBtn_->frame(), view().get());
  seasonTable_->setFrame(uikit::Rect(button.minX(), button.maxY() + 5, seasonTable_->frame().width(),
                                     kSeasonRowHeight * static_cast<double>(seasonArray_.size())));
}

void QMSubjectController::hideSeasonSelection() {
  seasonBtn_->setTag(0);
  seasonBtn_->setImage(uikit::Image::imageNamed(kSeasonDownImage), uikit::kControlStateNormal);
  myTreeView_->setScrollEnabled(true);
  seasonTable_->setHidden(true);
}

// Summary and tree

void QMSubjectController::reloadSubviews() {
  QM_DCHECK_MAIN_THREAD();
  seasonTable_->reloadData();
  const std::shared_ptr<app::QMUser>& user = app::QMUser::sharedInstance();
  // The stored text may hold any number; a percentage beyond 0..100 or not finite must not reach the ring
  // or the integer of the label.
  const ns::Value storedProcess(user->onLearningProcess().value_or(""));
  const double process = app::serverNumberOrNil(&storedProcess, 0, 100).value_or(0);
  circleProgressView_->setProgress(process / 100);
  progressLabel_->setText(std::to_string(static_cast<int>(process)) + "%");
  dayLabel_->setText(user->remainderDays().value_or(""));
  subjectNumberLabel_->setText(user->onLearningSubjectNumber().value_or(""));

  if (!subjectModelArray_.empty()) {
    myTreeView_->setTableFooterView(nullptr);
    noSubjectView_->setHidden(true);
  } else {
    myTreeView_->setTableFooterView(noSubjectView_);
    noSubjectView_->setHidden(false);
  }

  if (myTreeView_->nodeData()) {
    updateTreeNode();
  } else if (!subjectModelArray_.empty()) {
    myTreeView_->setNodeData(QMSubjectTree::createRoot(subjectModelArray_));
  }
}

void QMSubjectController::updateTreeNode() {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<TRTreeNodeData>& root = myTreeView_->nodeData();
  if (!root) {
    return;
  }
  deleteSubjects(QMSubjectTree::merge(*root, subjectModelArray_));
  myTreeView_->reloadData();
}

void QMSubjectController::deleteSubjects(const std::vector<std::shared_ptr<app::QMSubject>>& subjects) {
  app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
  const std::shared_ptr<cd::ManagedObjectContext> context = store.managedObjectContext();
  for (const std::shared_ptr<app::QMSubject>& subject : subjects) {
    // The lessons' downloads go first, through the download manager, which stops a running transfer and
    // removes each lesson's folder; deleting the subject alone would leave the folders behind.
    for (const std::shared_ptr<app::QMStage>& stage : subject->ownStage()) {
      QMDownloadHelper::sharedInstance()->deleteStageCourse(stage);
    }
    if (context) {
      context->deleteObject(*subject);
    }
    store.saveContext();
  }
}

// Tree delegate

double QMSubjectController::treeHeightForNodeData(TRTreeView& /*tree*/, TRTreeNodeData& node) {
  return QMSubjectTree::subjectOf(node) ? kSubjectRowHeight : kOtherRowHeight;
}

std::shared_ptr<TRTreeNodeCell> QMSubjectController::treeCellForNodeData(
    TRTreeView& tree, const std::shared_ptr<TRTreeNodeData>& node) {
  const std::shared_ptr<ns::Object> owner = self();
  if (QMSubjectTree::subjectOf(*node)) {
    if (auto reused = std::dynamic_pointer_cast<QMSubjectCell>(
            tree.dequeueReusableCellWithIdentifier(QMSubjectCell::kReuseIdentifier))) {
      return reused;
    }
    return loadCell<QMSubjectCell>(QMSubjectCell::kNibName, owner);
  }
  if (QMSubjectTree::isPlayedNode(*node)) {
    if (auto reused = std::dynamic_pointer_cast<QMNearlyPlayCell>(
            tree.dequeueReusableCellWithIdentifier(QMNearlyPlayCell::kReuseIdentifier))) {
      return reused;
    }
    return loadCell<QMNearlyPlayCell>(QMNearlyPlayCell::kNibName, owner);
  }
  // Stages are drawn by the playback screen's tree cell, in its stage look.
  if (auto reused = std::dynamic_pointer_cast<QMCommonTreeCell>(
          tree.dequeueReusableCellWithIdentifier(QMCommonTreeCell::kReuseIdentifier))) {
    return reused;
  }
  return loadCell<QMCommonTreeCell>(QMCommonTreeCell::kNibName, owner);
}

std::optional<bool> QMSubjectController::treeShouldExpandAtSeletedNode(TRTreeView& /*tree*/,
                                                                       TRTreeNodeCell& cell) {
  const std::shared_ptr<TRTreeNodeData> node = cell.nodeData();
  const std::shared_ptr<app::QMSubject> subject = node ? QMSubjectTree::subjectOf(*node) : nullptr;
  return subject && isAvailable(*subject) && !subject->ownStage().empty();
}

void QMSubjectController::treeDidSelectNodeCell(TRTreeView& /*tree*/, TRTreeNodeCell& cell) {
  nodeCellIsSelected(cell);
}

void QMSubjectController::nodeCellIsSelected(TRTreeNodeCell& cell) {
  QM_DCHECK_MAIN_THREAD();
  const std::shared_ptr<TRTreeNodeData> node = cell.nodeData();
  if (!node) {
    return;
  }
  if (const std::shared_ptr<app::QMSubject> subject = QMSubjectTree::subjectOf(*node)) {
    if (!isAvailable(*subject)) {
      showStatusAlert(subject->subjectStaus());
      return;
    }
    if (auto* subjectCell = dynamic_cast<QMSubjectCell*>(&cell);
        subjectCell && !subject->ownStage().empty()) {
      // The arrow shows the state the node is about to take.
      subjectCell->expandImageView()->setImage(uikit::Image::imageNamed(
          node->isExpand() ? QMSubjectCell::kArrowDownImage : QMSubjectCell::kArrowUpImage));
    }
    return;
  }
  if (const auto stage = std::dynamic_pointer_cast<app::QMStage>(node->dataModel())) {
    goWatchVideoWith(stage, false);
    return;
  }
  if (const auto played = std::dynamic_pointer_cast<QMNearlyPlayedItem>(node->dataModel())) {
    if (const std::shared_ptr<app::QMStage> stage = played->model()->getNearlyPlayedStage()) {
      goWatchVideoWith(stage, true);
    }
  }
}

void QMSubjectController::showStatusAlert(const std::string& status) {
  auto alert = std::make_shared<uikit::AlertView>("", status, std::weak_ptr<uikit::AlertViewDelegate>(),
                                                  kConfirmTitle, std::vector<std::string>{});
  alert->show();
}

// Entry points

std::shared_ptr<uikit::ViewController> QMSubjectController::presenter() {
  if (std::shared_ptr<ui::DrawerController> drawer = drawer_.lock()) {
    return drawer;
  }
  return self();
}

void QMSubjectController::goWatchVideoWith(const std::shared_ptr<app::QMStage>& stage, bool playRecord) {
  QM_DCHECK_MAIN_THREAD();
  const auto listen = std::dynamic_pointer_cast<QMListenController>(
      instantiate(QMCourseStoryboard::kName, QMListenController::kSceneIdentifier));
  if (!listen) {
    return;
  }
  listen->setStageModel(stage);
  listen->setIsPlayRecord(playRecord);
  presenter()->presentViewController(listen, true);
}

void QMSubjectController::showProtocolSignController() {
  QM_DCHECK_MAIN_THREAD();
  if (std::shared_ptr<uikit::ViewController> agreement = instantiate(kMoreStoryboard, kProtocolNavScene)) {
    presenter()->presentViewController(std::move(agreement), true);
  }
}

void QMSubjectController::showMenuAction(uikit::Button& /*sender*/) {
  const std::shared_ptr<ui::DrawerController> drawer = drawer_.lock();
  if (!drawer) {
    return;
  }
  if (drawer->drawerState() == ui::DrawerState::kClosed) {
    drawer->open();
  } else {
    drawer->close();
  }
}

void QMSubjectController::drawerControllerWillOpen(ui::DrawerController& /*drawer*/) {
  view()->setUserInteractionEnabled(false);
}

void QMSubjectController::drawerControllerDidClose(ui::DrawerController& /*drawer*/) {
  view()->setUserInteractionEnabled(true);
}

// Live tab

void QMSubjectController::courseTypeChanged(uikit::SegmentedControl& sender) {
  QM_DCHECK_MAIN_THREAD();
  if (sender.selectedSegmentIndex() == 0) {
    myTreeView_->setHidden(false);
    liveTable_->setHidden(true);
    // The no-live picture belongs to the live tab.
    noLiveView_->setHidden(true);
    return;
  }
  beginLiveRefresh();
  myTreeView_->setHidden(true);
  liveTable_->setHidden(liveCourseArray_.empty());
  noLiveView_->setHidden(!liveCourseArray_.empty());
}

void QMSubjectController::networkGetLiveCourseSuccess(
    const std::vector<std::shared_ptr<app::QMLiveGroupModel>>& groups, int /*sumNumber*/) {
  const std::shared_ptr<ui::RefreshHeader> header = ui::rf_header(*liveTable_);
  if (header && header->isRefreshing()) {
    liveCourseArray_.clear();
  }
  const bool onLiveTab = myTreeView_->isHidden();
  if (!groups.empty()) {
    liveTable_->setHidden(!onLiveTab);
    noLiveView_->setHidden(true);
  } else {
    liveTable_->setHidden(true);
    noLiveView_->setHidden(!onLiveTab);
  }
  liveCourseArray_.insert(liveCourseArray_.end(), groups.begin(), groups.end());
  if (header) {
    header->endRefreshing();
  }
  liveTable_->reloadData();
}

void QMSubjectController::networkGetLiveCourseFailed() {
  if (std::shared_ptr<ui::RefreshHeader> header = ui::rf_header(*liveTable_)) {
    header->endRefreshing();
  }
}

// Tables

std::int64_t QMSubjectController::numberOfRowsInSection(uikit::TableView& tableView,
                                                        std::int64_t /*section*/) {
  return static_cast<std::int64_t>(&tableView == seasonTable_.get() ? seasonArray_.size()
                                                                    : liveCourseArray_.size());
}

std::shared_ptr<uikit::TableViewCell> QMSubjectController::cellForRowAtIndexPath(
    uikit::TableView& tableView, const uikit::IndexPath& indexPath) {
  const auto row = static_cast<std::size_t>(indexPath.row);
  if (&tableView == seasonTable_.get()) {
    std::shared_ptr<uikit::TableViewCell> cell =
        tableView.dequeueReusableCellWithIdentifier(kSeasonCellIdentifier);
    if (!cell) {
      cell =
          std::make_shared<uikit::TableViewCell>(uikit::TableViewCellStyle::kDefault, kSeasonCellIdentifier);
    }
    const std::shared_ptr<app::QMSeason>& season = seasonArray_.at(row);
    cell->textLabel().setText("    " + season->code().value_or(""));
    cell->contentView().setBackgroundColor(season->isSelected().value_or(0) != 0 ? selectedSeasonColor()
                                                                                 : uikit::Color::white(1));
    return cell;
  }
  auto cell = std::dynamic_pointer_cast<QMLiveGroupCell>(
      tableView.dequeueReusableCellWithIdentifier(QMLiveGroupCell::kReuseIdentifier));
  if (!cell) {
    cell = std::make_shared<QMLiveGroupCell>(uikit::TableViewCellStyle::kDefault,
                                             QMLiveGroupCell::kReuseIdentifier);
  }
  cell->setGroupModel(liveCourseArray_.at(row));
  return cell;
}

std::optional<double> QMSubjectController::heightForRowAtIndexPath(uikit::TableView& tableView,
                                                                   const uikit::IndexPath& /*indexPath*/) {
  return &tableView == seasonTable_.get() ? kSeasonRowHeight : QMLiveGroupCell::kRowHeight;
}

void QMSubjectController::didSelectRowAtIndexPath(uikit::TableView& tableView,
                                                  const uikit::IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  const auto row = static_cast<std::size_t>(indexPath.row);
  if (&tableView == seasonTable_.get()) {
    if (row >= seasonArray_.size()) {
      return;
    }
    for (const std::shared_ptr<uikit::TableViewCell>& cell : tableView.visibleCells()) {
      cell->contentView().setBackgroundColor(uikit::Color::white(1));
    }
    if (std::shared_ptr<uikit::TableViewCell> tapped = tableView.cellForRowAtIndexPath(indexPath)) {
      tapped->contentView().setBackgroundColor(selectedSeasonColor());
    }
    hideSeasonSelection();
    const std::shared_ptr<app::QMSeason> season = seasonArray_[row];
    setSelectedSeason(season);
    dataModel()->networkGetAllSubjectsWithSeason(season);
    return;
  }
  tableView.deselectRowAtIndexPath(indexPath, false);
  if (row >= liveCourseArray_.size()) {
    return;
  }
  const auto detail = std::dynamic_pointer_cast<QMLiveDetailController>(
      instantiate(QMCourseStoryboard::kName, QMLiveStoryboard::kLiveDetailScene));
  if (!detail) {
    return;
  }
  detail->setGroupModel(liveCourseArray_[row]);
  presentViewController(std::make_shared<app::QMBaseNavigationController>(detail), true);
}

// Back-end replies

void QMSubjectController::networkGetAllSubjectsSuccess(
    const std::vector<std::shared_ptr<app::QMSubject>>& subjects,
    const std::vector<std::shared_ptr<app::QMSeason>>& seasons) {
  subjectModelArray_ = subjects;
  setSeasonArray(seasons);
  reloadSubviews();
}

void QMSubjectController::networkGetUserProtocolStatusSuccess() {
  if (app::QMUser::sharedInstance()->isNeedSign()) {
    showProtocolSignController();
  }
}

// Progress hand-off

void QMSubjectController::updateServerProgress(const ns::Notification& notification) {
  const auto subject = std::dynamic_pointer_cast<app::QMSubject>(notification.object);
  // Offline the position stays stored: the playback screen has already said the network is gone, and the
  // next subject list finds the stored position newer and sends it.
  if (!subject || !networkIsUp()) {
    return;
  }
  dataModel()->networkSaveVideoProgress(subject);
}

void QMSubjectController::getServerProgress(const ns::Notification& notification) {
  const auto subject = std::dynamic_pointer_cast<app::QMSubject>(notification.object);
  // A subject list answered after the link went down asks for this: the stored position stays until the
  // next subject list, and nothing tells of a network the learner did not ask to use.
  if (!subject || !networkIsUp()) {
    return;
  }
  dataModel()->networkGetVideoProgress(subject);
}

}  // namespace learning
