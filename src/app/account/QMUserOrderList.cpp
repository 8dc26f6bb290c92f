#include "app/account/QMUserOrderList.h"

#include "app/account/QMUserOrderCell.h"
#include "app/account/QMUserOrderDetails.h"
#include "app/account/QMUserReplyLists.h"
#include "app/base/QMBackItem.h"
#include "app/helpers/TRValidate.h"
#include "app/purchase/QMPurchaseUnavailableController.h"
#include "platform/foundation/check/Check.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "ui/hud/ProgressHUD.h"

namespace app {

namespace {

// The scene's layout: the three tab buttons under the navigation bar with the marker below them, and the
// table under the tabs.
constexpr double kTopBarHeight = 64;
constexpr double kTabHeight = 44;
constexpr double kMarkerHeight = 2;
constexpr double kToastSeconds = 2.0;

}  // namespace

// One page on its way: its own data model, whose only delegate it is, so that the reply names the tab that
// asked for it.
class QMUserOrderList::PageRequest : public QMUserDataModelDelegate {
 public:
  PageRequest(std::weak_ptr<QMUserOrderList> list, std::int64_t status)
      : list_(std::move(list)), status_(status) {}

  // REQUIRES: owned by a std::shared_ptr.
  void send(const std::shared_ptr<PageRequest>& self, int page) {
    model_->setDelegate(std::static_pointer_cast<QMUserDataModelDelegate>(self));
    model_->networkGetUserOrderWithStaus(static_cast<int>(status_), page);
  }

  void networkGetUserOrderListSuccess(const ns::Value& orders) override { arrived(orders); }
  void networkGetUserOrderListFailed() override { arrived(std::nullopt); }

 private:
  void arrived(const std::optional<ns::Value>& orders) {
    if (const std::shared_ptr<QMUserOrderList> list = list_.lock()) {
      list->pageArrived(status_, *this, orders);
    }
  }

  const std::weak_ptr<QMUserOrderList> list_;
  const std::int64_t status_;
  const std::shared_ptr<QMUserDataModel> model_ = std::make_shared<QMUserDataModel>();
};

std::shared_ptr<QMUserOrderList> QMUserOrderList::self() {
  return std::static_pointer_cast<QMUserOrderList>(shared_from_this());
}

void QMUserOrderList::loadView() {
  const uikit::Rect bounds = uikit::Screen::mainScreen().bounds();
  auto view = std::make_shared<uikit::View>(bounds);
  view->setBackgroundColor(uikit::Color::white(1));
  const double tabWidth = bounds.width() / 3;
  const auto makeTab = [&](const char* outletName, const char* title, std::int64_t status, int index) {
    auto button = uikit::outlet(outletName, std::make_shared<uikit::Button>(uikit::Rect(
                                                tabWidth * index, kTopBarHeight, tabWidth, kTabHeight)));
    button->setTitle(title, uikit::kControlStateNormal);
    button->setTag(status);
    button->addTarget(self(), &QMUserOrderList::changeOrderListAction, uikit::kControlEventTouchUpInside);
    view->addSubview(button);
    return button;
  };
  allOrderBtn_ = makeTab("allOrderBtn", kAllTitle, kAllStatus, 0);
  unChargeBtn_ = makeTab("unChargeBtn", kUnpaidTitle, kUnpaidStatus, 1);
  closedBtn_ = makeTab("closedBtn", kClosedTitle, kClosedStatus, 2);
  tagLabel_ =
      uikit::outlet("tagLabel", std::make_shared<uikit::Label>(uikit::Rect(
                                    0, kTopBarHeight + kTabHeight - kMarkerHeight, tabWidth, kMarkerHeight)));
  view->addSubview(tagLabel_);
  const double tableTop = kTopBarHeight + kTabHeight;
  myTableView_ = uikit::outlet("myTableView", std::make_shared<uikit::TableView>(uikit::Rect(
                                                  0, tableTop, bounds.width(), bounds.height() - tableTop)));
  view->addSubview(myTableView_);
  setView(std::move(view));

  myTableView_->setDataSource(std::static_pointer_cast<uikit::TableViewDataSource>(self()));
  myTableView_->setDelegate(std::static_pointer_cast<uikit::TableViewDelegate>(self()));
  navigationItem().setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(makeBackItem(self(), &QMUserOrderList::goBackAction));
}

void QMUserOrderList::viewDidLoad() {
  QMBaseViewController::viewDidLoad();
  dataModel_ = std::make_shared<QMUserDataModel>();
  dataModel_->setDelegate(std::static_pointer_cast<QMUserDataModelDelegate>(self()));
  setSelectedStatus(kAllStatus);
}

bool QMUserOrderList::isLoading() const {
  for (const auto& [status, tab] : tabs_) {
    if (tab.loading) {
      return true;
    }
  }
  return false;
}

const std::vector<ns::Value>& QMUserOrderList::getSelectedArray() const {
  static const std::vector<ns::Value> kNoOrders;
  const auto tab = tabs_.find(selectedStatus_);
  return tab != tabs_.end() ? tab->second.orders : kNoOrders;
}

void QMUserOrderList::setSelectedStatus(std::int64_t status) {
  QM_DCHECK_MAIN_THREAD();
  selectedStatus_ = status;
  const auto tab = tabs_.find(status);
  if (tab != tabs_.end() && tab->second.orders.empty()) {
    requestPage(status, 1);
  }
  myTableView_->reloadData();
}

void QMUserOrderList::changeOrderListAction(uikit::Button& sender) {
  QM_DCHECK_MAIN_THREAD();
  uikit::Rect marker = tagLabel_->frame();
  marker.origin.x = sender.frame().minX();
  tagLabel_->setFrame(marker);
  setSelectedStatus(sender.tag());
}

void QMUserOrderList::requestPage(std::int64_t status, int page) {
  Tab& tab = tabs_.at(status);
  if (tab.loading) {
    return;
  }
  tab.loading = std::make_shared<PageRequest>(self(), status);
  tab.loading->send(tab.loading, page);
}

void QMUserOrderList::pageArrived(std::int64_t status, const PageRequest& request,
                                  const std::optional<ns::Value>& orders) {
  Tab& tab = tabs_.at(status);
  // A page asked for before the tab started afresh belongs to a list that is gone.
  if (tab.loading.get() != &request) {
    return;
  }
  tab.loading.reset();
  if (!orders) {
    return;
  }
  const std::vector<ns::Value> page = replyList(*orders);
  tab.orders.insert(tab.orders.end(), page.begin(), page.end());
  if (status == selectedStatus_) {
    myTableView_->reloadData();
  }
}

void QMUserOrderList::scrollViewDidScroll(uikit::ScrollView& scrollView) {
  const double ratio =
      scrollView.contentOffset().y / (scrollView.contentSize().height - scrollView.frame().height());
  const auto tab = tabs_.find(selectedStatus_);
  if (!(ratio > kLoadMoreRatio) || isLoading() || tab == tabs_.end() ||
      tab->second.orders.size() % kPageSize != 0) {
    return;
  }
  requestPage(selectedStatus_, static_cast<int>(tab->second.orders.size() / kPageSize) + 1);
}

void QMUserOrderList::cacelOrder(const ns::Value& order) {
  QM_DCHECK_MAIN_THREAD();
  dataModel_->networkCacelUserOrderWtihID(TRValidate::validateString(order.find("orderNo")));
  ui::ProgressHUD::showHUDAddedTo(*view(), true);
}

void QMUserOrderList::networkCancelUserOrderSuccess() {
  ui::ProgressHUD::hideHUDForView(*view(), true);
  ui::ProgressHUD::showAlertWithText(kCancelledText, kToastSeconds);
  startTabsAfresh();
  setSelectedStatus(selectedStatus_);
}

void QMUserOrderList::networkCancelUserOrderFailed() {
  ui::ProgressHUD::hideHUDForView(*view(), false);
}

void QMUserOrderList::startTabsAfresh() {
  for (auto& [status, tab] : tabs_) {
    tab = Tab{};
  }
}

void QMUserOrderList::payOrder(const ns::Value& /*order*/) {
  push(std::make_shared<QMPurchaseUnavailableController>());
}

void QMUserOrderList::goOrderDetails(const ns::Value& order) {
  push(std::make_shared<QMUserOrderDetails>(order));
}

void QMUserOrderList::push(std::shared_ptr<uikit::ViewController> screen) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->pushViewController(std::move(screen), true);
  }
}

void QMUserOrderList::goBackAction(uikit::BarButtonItem& /*sender*/) {
  QM_DCHECK_MAIN_THREAD();
  if (uikit::NavigationController* navigation = navigationController()) {
    navigation->dismissViewControllerAnimated(true);
  }
}

std::int64_t QMUserOrderList::numberOfRowsInSection(uikit::TableView& /*tableView*/,
                                                    std::int64_t /*section*/) {
  return static_cast<std::int64_t>(getSelectedArray().size());
}

std::shared_ptr<uikit::TableViewCell> QMUserOrderList::cellForRowAtIndexPath(
    uikit::TableView& tableView, const uikit::IndexPath& indexPath) {
  auto cell = std::dynamic_pointer_cast<QMUserOrderCell>(
      tableView.dequeueReusableCellWithIdentifier(QMUserOrderCell::kReuseIdentifier));
  if (!cell) {
    cell = std::make_shared<QMUserOrderCell>();
  }
  cell->setSuperController(self());
  cell->setMyOrderModel(getSelectedArray()[static_cast<std::size_t>(indexPath.row)]);
  return cell;
}

std::optional<double> QMUserOrderList::heightForRowAtIndexPath(uikit::TableView& /*tableView*/,
                                                               const uikit::IndexPath& indexPath) {
  return QMUserOrderCell::heightForOrder(getSelectedArray()[static_cast<std::size_t>(indexPath.row)]);
}

void QMUserOrderList::didSelectRowAtIndexPath(uikit::TableView& /*tableView*/,
                                              const uikit::IndexPath& indexPath) {
  goOrderDetails(getSelectedArray()[static_cast<std::size_t>(indexPath.row)]);
}

}  // namespace app
