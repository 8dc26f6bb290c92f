#include "app/account/QMUserAccountDetails.h"

#include "app/account/QMUserAccountDetailsCell.h"
#include "app/account/QMUserOneTradeDetails.h"
#include "app/account/QMUserReplyLists.h"
#include "app/base/QMBackItem.h"
#include "app/helpers/TRValidate.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/controllers/StoryboardSegue.h"
#include "platform/uikit/storyboard/Outlet.h"

namespace app {

namespace {

constexpr double kTopBarHeight = 64;
// The clear strip above the first row.
constexpr double kHeaderHeight = 15;
constexpr double kRowHeight = 50;

}  // namespace

void QMUserAccountDetails::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::white(1));
  const uikit::Rect content(0, kTopBarHeight, bounds.width(), bounds.height() - kTopBarHeight);
  myTable_ = uikit::outlet("myTable", std::make_shared<uikit::TableView>(content));
  myTable_->setRowHeight(kRowHeight);
  noDetailsView_ = uikit::outlet("noDetailsView", std::make_shared<uikit::ImageView>(content));
  noDetailsView_->setImage(uikit::Image::imageNamed(kNoDetailsImage));
  view->addSubview(myTable_);
  view->addSubview(noDetailsView_);
  setView(std::move(view));

  auto self = std::static_pointer_cast<QMUserAccountDetails>(shared_from_this());
  myTable_->setDataSource(std::static_pointer_cast<uikit::TableViewDataSource>(self));
  myTable_->setDelegate(std::static_pointer_cast<uikit::TableViewDelegate>(self));
  navigationItem().setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(makeBackItem(self, &QMUserAccountDetails::goBackAction));
}

void QMUserAccountDetails::viewDidLoad() {
  QMBaseViewController::viewDidLoad();
  auto header = std::make_shared<uikit::View>(uikit::Rect(0, 0, myTable_->frame().width(), kHeaderHeight));
  header->setBackgroundColor(uikit::Color::clear());
  myTable_->setTableHeaderView(std::move(header));
  myTable_->setTableFooterView(std::make_shared<uikit::View>(uikit::Rect()));
  setZcoinList({});
  dataModel_ = std::make_shared<QMUserDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<QMUserDataModelDelegate>(
      std::static_pointer_cast<QMUserAccountDetails>(shared_from_this())));
  dataModel_->networkGetUserZCoinList();
}

void QMUserAccountDetails::setZcoinList(std::vector<ns::Value> list) {
  QM_DCHECK_MAIN_THREAD();
  zcoinList_ = std::move(list);
  myTable_->setHidden(zcoinList_.empty());
  noDetailsView_->setHidden(!zcoinList_.empty());
  myTable_->reloadData();
}

void QMUserAccountDetails::networkGetUserZCoinListSuccess(const ns::Value& transactions) {
  setZcoinList(replyList(transactions));
}

void QMUserAccountDetails::goBackAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->popViewControllerAnimated(true);
  }
}

void QMUserAccountDetails::prepareForSegue(uikit::StoryboardSegue& segue,
                                           const std::shared_ptr<ns::Object>& sender) {
  auto details = std::dynamic_pointer_cast<QMUserOneTradeDetails>(segue.destinationViewController());
  auto cell = std::dynamic_pointer_cast<uikit::TableViewCell>(sender);
  if (!details || !cell) {
    return;
  }
  if (const std::optional<uikit::IndexPath> row = myTable_->indexPathForCell(*cell);
      row && static_cast<std::size_t>(row->row) < zcoinList_.size()) {
    details->setTradeDetailDic(zcoinList_[static_cast<std::size_t>(row->row)]);
  }
}

std::int64_t QMUserAccountDetails::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                         std::int64_t /*section*/) {
  return static_cast<std::int64_t>(zcoinList_.size());
}

std::shared_ptr<uikit::TableViewCell> QMUserAccountDetails::cellForRowAtIndexPath(
    uikit::TableView& tableView, const uikit::IndexPath& indexPath) {
  auto cell = std::dynamic_pointer_cast<QMUserAccountDetailsCell>(
      tableView.dequeueReusableCellWithIdentifier(QMUserAccountDetailsCell::kReuseIdentifier));
  if (!cell) {
    cell = std::make_shared<QMUserAccountDetailsCell>();
  }
  const ns::Value& transaction = zcoinList_[static_cast<std::size_t>(indexPath.row)];
  cell->detailTypeLabel().setText(TRValidate::validateString(transaction.find("type_desc")));
  cell->detailTimeLabel().setText(TRValidate::validateString(transaction.find("yyyyMMdd_time")));
  cell->detailNumberLabel().setText(TRValidate::validateString(transaction.find("amount")));
  cell->detailNumberLabel().setTextColor(
      QMUserAccountDetailsCell::amountColorForType(QMUserAccountDetailsCell::typeOf(transaction)));
  return cell;
}

void QMUserAccountDetails::didSelectRowAtIndexPath(uikit::TableView& tableView,
                                                   const uikit::IndexPath& indexPath) {
  tableView.deselectRowAtIndexPath(indexPath, true);
  triggerSegueWithIdentifier(kTradeDetailsSegue, tableView.cellForRowAtIndexPath(indexPath));
}

}  // namespace app
