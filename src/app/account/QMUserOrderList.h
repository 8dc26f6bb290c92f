#pragma once

// QMUserOrderList: the learner's orders in three tabs: all orders (status -1), unpaid (0) and closed (2).
// It is presented inside a navigation controller, which its back item dismisses.
//
// Each tab fills page by page, 10 orders a page, and keeps what it has while the screen lives. Selecting a
// tab shows its orders at once when it has some, else asks for its first page. Scrolling the table to its
// last 5% asks for the next page of the selected tab when it holds a whole number of pages and no page is on
// its way: a short page ends the list, while after an empty one (the list was a whole number of pages long)
// the next swipe to the bottom asks again, in case orders came meanwhile. A tab with no orders asks for its
// first page each time it is selected. A tab never asks for a page it is
// already waiting for, and a page goes to the tab that asked for it, whichever tab is selected when it
// comes. A reply whose list is missing, null or not a list counts as an empty page; a failed request only
// ends the wait.
//
// Cancelling an unpaid order (its cell's cancel button) asks at once, without a question, under a HUD on
// the list's view. Once the back end has cancelled it, the toast "取消成功" shows and every tab starts
// afresh (the order has moved from the unpaid tab to the closed one, and the all-orders tab shows its new
// status): the selected tab asks for its first page again, and the others do when they are selected.
// Pages on their way for the old lists are dropped. A refused cancel only takes the HUD down.
//
// Paying pushes the screen that says courses cannot be bought here (QMPurchaseUnavailableController), and
// selecting a row pushes the order's details (QMUserOrderDetails).
//
// Thread-safety: main thread only, like every controller.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "app/base/QMBaseViewController.h"
#include "app/user/QMUserDataModel.h"
#include "app/user/QMUserDataModelDelegate.h"
#include "platform/uikit/controllers/BarButtonItem.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/tables/TableView.h"
#include "platform/uikit/views/Label.h"

namespace app {

class QMUserOrderList : public QMBaseViewController,
                        public uikit::TableViewDataSource,
                        public uikit::TableViewDelegate,
                        public QMUserDataModelDelegate {
 public:
  static constexpr char kTitle[] = "我的订单";
  static constexpr char kAllTitle[] = "全部";
  static constexpr char kUnpaidTitle[] = "待支付";
  static constexpr char kClosedTitle[] = "已关闭";
  static constexpr char kCancelledText[] = "取消成功";
  static constexpr std::int64_t kAllStatus = -1;
  static constexpr std::int64_t kUnpaidStatus = 0;
  static constexpr std::int64_t kClosedStatus = 2;
  static constexpr std::size_t kPageSize = 10;
  // How far down the content the table must be scrolled for the next page.
  static constexpr double kLoadMoreRatio = 0.95;

  QMUserOrderList() = default;

  // Outlets, made by loadView(); nullptr before the view is loaded.
  const std::shared_ptr<uikit::Button>& allOrderBtn() const { return allOrderBtn_; }
  const std::shared_ptr<uikit::Button>& unChargeBtn() const { return unChargeBtn_; }
  const std::shared_ptr<uikit::Button>& closedBtn() const { return closedBtn_; }
  const std::shared_ptr<uikit::Label>& tagLabel() const { return tagLabel_; }
  const std::shared_ptr<uikit::TableView>& myTableView() const { return myTableView_; }
  const std::shared_ptr<QMUserDataModel>& dataModel() const { return dataModel_; }

  // The orders of each tab so far.
  const std::vector<ns::Value>& allOrderArray() const { return tabs_.at(kAllStatus).orders; }
  const std::vector<ns::Value>& unpaiedOrderArray() const { return tabs_.at(kUnpaidStatus).orders; }
  const std::vector<ns::Value>& closedOrderArray() const { return tabs_.at(kClosedStatus).orders; }
  std::int64_t selectedStatus() const { return selectedStatus_; }
  // True while a page of any tab is on its way.
  bool isLoading() const;

  void loadView() override;
  // Selects the all-orders tab.
  void viewDidLoad() override;

  // Selects the tab of `status`, as the header comment describes.
  void setSelectedStatus(std::int64_t status);
  // The orders of the selected tab; empty for a status that is not a tab.
  const std::vector<ns::Value>& getSelectedArray() const;
  // The tab buttons' action: moves the marker under the button and selects its tab (its tag).
  void changeOrderListAction(uikit::Button& sender);
  // Asks the back end to cancel `order` ("orderNo").
  void cacelOrder(const ns::Value& order);
  void payOrder(const ns::Value& order);
  void goOrderDetails(const ns::Value& order);
  // Dismisses the navigation controller that holds the screen, animated.
  void goBackAction(uikit::BarButtonItem& sender);

  std::int64_t numberOfRowsInSection(uikit::TableView& tableView, std::int64_t section) override;
  std::shared_ptr<uikit::TableViewCell> cellForRowAtIndexPath(uikit::TableView& tableView,
                                                              const uikit::IndexPath& indexPath) override;
  std::optional<double> heightForRowAtIndexPath(uikit::TableView& tableView,
                                                const uikit::IndexPath& indexPath) override;
  void didSelectRowAtIndexPath(uikit::TableView& tableView, const uikit::IndexPath& indexPath) override;
  // Asks for the next page near the bottom, as the header comment describes.
  void scrollViewDidScroll(uikit::ScrollView& scrollView) override;

  void networkCancelUserOrderSuccess() override;
  void networkCancelUserOrderFailed() override;

 private:
  class PageRequest;

  struct Tab {
    std::vector<ns::Value> orders;
    // The page on its way, kept here so that its reply reaches this screen; nullptr when none is.
    std::shared_ptr<PageRequest> loading;
  };

  // Asks for page `page` of the tab of `status`, unless one of its pages is on its way.
  void requestPage(std::int64_t status, int page);
  // A page of the tab of `status` came back (`orders` std::nullopt when the request failed).
  void pageArrived(std::int64_t status, const PageRequest& request, const std::optional<ns::Value>& orders);
  // Empties every tab and drops the pages on their way.
  void startTabsAfresh();
  // Pushes `screen` onto the list's navigation stack, animated.
  void push(std::shared_ptr<uikit::ViewController> screen);
  std::shared_ptr<QMUserOrderList> self();

  std::shared_ptr<uikit::Button> allOrderBtn_;
  std::shared_ptr<uikit::Button> unChargeBtn_;
  std::shared_ptr<uikit::Button> closedBtn_;
  std::shared_ptr<uikit::Label> tagLabel_;
  std::shared_ptr<uikit::TableView> myTableView_;
  std::shared_ptr<QMUserDataModel> dataModel_;
  std::map<std::int64_t, Tab> tabs_ = {{kAllStatus, {}}, {kUnpaidStatus, {}}, {kClosedStatus, {}}};
  std::int64_t selectedStatus_ = kAllStatus;
};

}  // namespace app
