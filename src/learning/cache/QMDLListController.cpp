#include "learning/cache/QMDLListController.h"

#include "app/helpers/QMHelpler.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "platform/uikit/tables/TableViewCell.h"

namespace learning {

namespace {

constexpr double kTopBarHeight = 64;
constexpr double kEmptyImageSide = 120;

}  // namespace

void QMDLListController::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(app::QMHelpler::colorWithHexString("#36343b"));
  myTabelView_ =
      uikit::outlet("myTabelView", std::make_shared<uikit::TableView>(uikit::Rect(
                                       0, kTopBarHeight, bounds.width(), bounds.height() - kTopBarHeight)));
  myTabelView_->setRowHeight(kRowHeight);
  noCourseView_ =
      uikit::outlet("noCourseView", std::make_shared<uikit::ImageView>(uikit::Rect(
                                        (bounds.width() - kEmptyImageSide) / 2,
                                        kTopBarHeight + kEmptyImageSide, kEmptyImageSide, kEmptyImageSide)));
  noCourseView_->setImage(uikit::Image::imageNamed(kNoCourseImage));
  view->addSubview(myTabelView_);
  view->addSubview(noCourseView_);
  setView(std::move(view));

  myTabelView_->setDataSource(std::static_pointer_cast<uikit::TableViewDataSource>(self()));
  myTabelView_->setDelegate(std::static_pointer_cast<uikit::TableViewDelegate>(self()));
  auto back = std::make_shared<uikit::BarButtonItem>(kBackTitle);
  back->setTarget(self(), &QMDLListController::goBackAction);
  navigationItem().setLeftBarButtonItem(std::move(back));
  auto clear = std::make_shared<uikit::BarButtonItem>(kClearAllTitle);
  clear->setTarget(self(), &QMDLListController::clearAllAction);
  navigationItem().setRightBarButtonItem(std::move(clear));
}

void QMDLListController::viewDidLoad() {
  app::QMBaseViewController::viewDidLoad();
  reloadList();
}

void QMDLListController::reloadList() {
  QM_DCHECK_MAIN_THREAD();
  // The old nodes are let go before the new ones are observed, so that each node is observed once.
  observations_.clear();
  nodes_ = fetchNodes();
  noCourseView_->setHidden(!nodes_.empty());
  myTabelView_->reloadData();
  const std::weak_ptr<QMDLListController> weakSelf = self();
  const auto reload = [weakSelf](const ns::KeyValueChange&) {
    if (const auto list = weakSelf.lock()) {
      list->reloadList();
    }
  };
  for (const std::shared_ptr<app::QMCountedNode>& node : nodes_) {
    observations_.push_back(node->observe(std::string(app::QMCountedNode::kCachedVideoKey), reload));
    observations_.push_back(node->observe(std::string(app::QMCountedNode::kCachingVideoKey), reload));
  }
}

std::int64_t QMDLListController::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                       std::int64_t /*section*/) {
  return static_cast<std::int64_t>(nodes_.size());
}

void QMDLListController::didSelectRowAtIndexPath(uikit::TableView& tableView,
                                                 const uikit::IndexPath& indexPath) {
  QM_DCHECK_MAIN_THREAD();
  tableView.deselectRowAtIndexPath(indexPath, true);
  if (const std::shared_ptr<uikit::TableViewCell> cell = tableView.cellForRowAtIndexPath(indexPath)) {
    triggerSegueWithIdentifier(rowSegueIdentifier(), cell);
  }
}

std::shared_ptr<app::QMCountedNode> QMDLListController::nodeOfCell(const ns::Object* cell) {
  const auto* row = dynamic_cast<const uikit::TableViewCell*>(cell);
  const std::optional<uikit::IndexPath> path = row ? myTabelView_->indexPathForCell(*row) : std::nullopt;
  if (!path || path->row < 0 || path->row >= static_cast<std::int64_t>(nodes_.size())) {
    return nullptr;
  }
  return nodes_[static_cast<std::size_t>(path->row)];
}

std::string QMDLListController::countText(std::optional<std::int64_t> count) {
  return std::to_string(count.value_or(0)) + "个";
}

void QMDLListController::clearAllAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  auto alert = std::make_shared<uikit::AlertView>(
      "", kClearAllQuestion, std::static_pointer_cast<uikit::AlertViewDelegate>(self()),
      std::string(kCancelTitle), std::vector<std::string>{kConfirmTitle});
  alert->show();
}

void QMDLListController::alertViewClickedButtonAtIndex(uikit::AlertView& /*alertView*/, std::int64_t index) {
  if (index != 1) {
    return;
  }
  clearAll();
  myTabelView_->reloadData();
}

}  // namespace learning
