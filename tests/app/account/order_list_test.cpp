#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "app/account/QMUserOrderCell.h"
#include "app/account/QMUserOrderDetails.h"
#include "app/account/QMUserOrderList.h"
#include "app/account/user_centre_test_util.h"
#include "app/purchase/QMPurchaseUnavailableController.h"
#include "platform/uikit/driver/Driver.h"
#include "sample_backend/account/AccountBook.h"

namespace app {
namespace {

using usercentretest::kCancelPath;
using usercentretest::kOrderPath;
using usercentretest::UserCentreTest;

class OrderListTest : public UserCentreTest {
 protected:
  // Opens the order list and waits for the first page of the all-orders tab.
  std::shared_ptr<QMUserOrderList> openList() {
    open(QMUserCentreEntries::kOrdersScene);
    auto list = shown<QMUserOrderList>();
    EXPECT_TRUE(list) << screen();
    if (list) {
      EXPECT_TRUE(runUntil([&] { return !list->isLoading(); })) << screen();
    }
    return list;
  }

  // Scrolls to the bottom and waits until no page is on its way.
  void scrollToBottom(const QMUserOrderList& list) {
    ASSERT_TRUE(uikit::Driver::scrollToBottom("myTableView").ok()) << screen();
    ASSERT_TRUE(runUntil([&] { return !list.isLoading(); })) << screen();
  }

  void selectTab(const char* title) { ASSERT_TRUE(uikit::Driver::tap(title).ok()) << screen(); }
};

TEST_F(OrderListTest, PagesOfTenEndWithTheFirstShortOrEmptyPage) {
  // 25 orders: pages of 10, 10 and 5, and no fourth.
  serveOrders(25);
  std::shared_ptr<QMUserOrderList> list = openList();
  ASSERT_TRUE(list);
  EXPECT_EQ(list->allOrderArray().size(), 10u);
  scrollToBottom(*list);
  scrollToBottom(*list);
  EXPECT_EQ(list->allOrderArray().size(), 25u);
  scrollToBottom(*list);
  EXPECT_EQ(sent(kOrderPath, "pageNo"), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(sent(kOrderPath, "pageSize"), (std::vector<std::string>(3, "10")));
  EXPECT_EQ(sent(kOrderPath, "status"), (std::vector<std::string>(3, "-1")));
}

TEST_F(OrderListTest, AfterAnEmptyPageTheNextSwipeAsksAgainAndFindsNewOrders) {
  serveOrders(20);
  std::shared_ptr<QMUserOrderList> list = openList();
  ASSERT_TRUE(list);
  scrollToBottom(*list);
  scrollToBottom(*list);
  EXPECT_EQ(list->allOrderArray().size(), 20u);
  // Page 3 came back empty; the next swipe asks for it again, and gets the orders made meanwhile.
  serveOrders(23);
  scrollToBottom(*list);
  EXPECT_EQ(list->allOrderArray().size(), 23u);
  // A short page does end the list.
  scrollToBottom(*list);
  EXPECT_EQ(sent(kOrderPath, "pageNo"), (std::vector<std::string>{"1", "2", "3", "3"}));
}

TEST_F(OrderListTest, AnEmptyTabAsksOnceAndShowsNothing) {
  serveOrders(0);
  std::shared_ptr<QMUserOrderList> list = openList();
  ASSERT_TRUE(list);
  EXPECT_EQ(list->myTableView()->numberOfRowsInSection(0), 0);
  scrollToBottom(*list);
  EXPECT_EQ(requestsOf(kOrderPath), 1u);
}

TEST_F(OrderListTest, APageGoesToTheTabThatAskedAndAFilledTabShowsWithoutARequest) {
  serveOrders(12);
  // The all-orders tab's first page is slow; the learner moves to the unpaid tab meanwhile.
  app_.backend().controls().delayNextReply(kOrderPath, std::chrono::milliseconds(300));
  open(QMUserCentreEntries::kOrdersScene);
  std::shared_ptr<QMUserOrderList> list = shown<QMUserOrderList>();
  ASSERT_TRUE(list);
  // Back and forth while the first page is on its way: it is not asked for twice.
  selectTab(QMUserOrderList::kUnpaidTitle);
  selectTab(QMUserOrderList::kAllTitle);
  selectTab(QMUserOrderList::kUnpaidTitle);
  EXPECT_EQ(list->selectedStatus(), QMUserOrderList::kUnpaidStatus);
  EXPECT_DOUBLE_EQ(list->tagLabel()->frame().minX(), list->unChargeBtn()->frame().minX());
  ASSERT_TRUE(runUntil([&] { return !list->isLoading(); })) << screen();
  EXPECT_EQ(list->allOrderArray().size(), 10u);
  EXPECT_EQ(list->unpaiedOrderArray().size(), 10u);
  for (const ns::Value& order : list->unpaiedOrderArray()) {
    EXPECT_EQ(QMUserOrderCell::statusOf(order), 0);
  }
  EXPECT_TRUE(screenShows(QMUserOrderCell::kUnpaidText)) << screen();

  // Back to the filled tab: shown at once, nothing asked; the closed tab asks for its own.
  selectTab(QMUserOrderList::kAllTitle);
  EXPECT_EQ(list->getSelectedArray().size(), 10u);
  EXPECT_EQ(requestsOf(kOrderPath), 2u);
  selectTab(QMUserOrderList::kClosedTitle);
  ASSERT_TRUE(runUntil([&] { return !list->isLoading(); })) << screen();
  EXPECT_EQ(sent(kOrderPath, "status"), (std::vector<std::string>{"-1", "0", "2"}));
}

TEST_F(OrderListTest, AReplyWithoutOrdersIsAnEmptyPage) {
  for (const nlohmann::json& obj :
       {nlohmann::json::object(), nlohmann::json{{"z_data", nullptr}}, nlohmann::json{{"z_data", "none"}}}) {
    app_.answer(kOrderPath, obj);
    std::shared_ptr<QMUserOrderList> list = openList();
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->allOrderArray().empty()) << obj;
    list->dismissViewControllerAnimated(false);
    settle();
  }
  // No "obj" at all.
  app_.answer(kOrderPath, nullptr);
  std::shared_ptr<QMUserOrderList> list = openList();
  ASSERT_TRUE(list);
  EXPECT_TRUE(list->allOrderArray().empty());
}

TEST_F(OrderListTest, CancellingAnUnpaidOrderRefreshesEveryTabThatShowsIt) {
  std::shared_ptr<QMUserOrderList> list = openList();
  ASSERT_TRUE(list);
  selectTab(QMUserOrderList::kClosedTitle);
  ASSERT_TRUE(runUntil([&] { return !list->isLoading(); }));
  selectTab(QMUserOrderList::kUnpaidTitle);
  ASSERT_TRUE(runUntil([&] { return !list->isLoading(); }));
  const std::string orderNo = list->unpaiedOrderArray().front().find("orderNo")->asString();
  const std::size_t pagesBefore = requestsOf(kOrderPath);

  ASSERT_TRUE(uikit::Driver::tap(QMUserOrderCell::kCancelTitle).ok()) << screen();
  EXPECT_TRUE(screenShows("loading")) << screen();
  ASSERT_TRUE(waitFor(std::string("toast: ") + QMUserOrderList::kCancelledText)) << screen();
  EXPECT_FALSE(screenShows("loading")) << screen();
  EXPECT_EQ(sent(kCancelPath, "orderNo"), (std::vector<std::string>{orderNo}));
  // The unpaid tab asks for its first page again at once; it no longer holds the order.
  ASSERT_TRUE(runUntil([&] { return !list->isLoading(); }));
  EXPECT_EQ(sent(kOrderPath, "pageNo").back(), "1");
  EXPECT_EQ(requestsOf(kOrderPath), pagesBefore + 1);
  for (const ns::Value& order : list->unpaiedOrderArray()) {
    EXPECT_NE(order.find("orderNo")->asString(), orderNo);
  }
  // The closed tab and the all-orders tab ask anew and show it closed.
  for (const char* tab : {QMUserOrderList::kClosedTitle, QMUserOrderList::kAllTitle}) {
    selectTab(tab);
    ASSERT_TRUE(runUntil([&] { return !list->isLoading(); }));
    bool closedThere = false;
    for (const ns::Value& order : list->getSelectedArray()) {
      closedThere |= order.find("orderNo")->asString() == orderNo && QMUserOrderCell::statusOf(order) == 2;
    }
    EXPECT_TRUE(closedThere) << tab;
  }
  EXPECT_EQ(requestsOf(kOrderPath), pagesBefore + 3);
}

TEST_F(OrderListTest, ARefusedCancelOnlyTakesTheHUDDown) {
  std::shared_ptr<QMUserOrderList> list = openList();
  ASSERT_TRUE(list);
  const std::size_t shownOrders = list->allOrderArray().size();
  app_.backend().controls().refuseNextRequest(kCancelPath, sample_backend::account::AccountBook::kOrderCount);
  ASSERT_TRUE(uikit::Driver::tap(QMUserOrderCell::kCancelTitle).ok()) << screen();
  ASSERT_TRUE(runUntil([&] { return requestsOf(kCancelPath) == 1 && !screenShows("loading"); })) << screen();
  EXPECT_FALSE(screenShows(QMUserOrderList::kCancelledText));
  EXPECT_EQ(list->allOrderArray().size(), shownOrders);
  EXPECT_EQ(requestsOf(kOrderPath), 1u);
}

TEST_F(OrderListTest, RowsGrowWithTheirProductsAndOpenTheOrdersDetailsAndPayingSaysBuyingIsNotHere) {
  app_.answer(kOrderPath, {{"z_data",
                            {{{"orderNo", "A"},
                              {"status", 0},
                              {"createTime", "2016-09-01 10:00:00"},
                              {"price", "199.00"},
                              {"productDisplayNames", "政治,英语,数学"}},
                             {{"orderNo", "B"}, {"status", 2}, {"productDisplayNames", "政治"}}}}});
  std::shared_ptr<QMUserOrderList> list = openList();
  ASSERT_TRUE(list);
  uikit::TableView& table = *list->myTableView();
  EXPECT_EQ(list->heightForRowAtIndexPath(table, {0, 0}), 300);
  EXPECT_EQ(list->heightForRowAtIndexPath(table, {0, 1}), 180);
  auto cell = std::dynamic_pointer_cast<QMUserOrderCell>(table.cellForRowAtIndexPath({0, 0}));
  ASSERT_TRUE(cell);
  EXPECT_DOUBLE_EQ(cell->midleView().frame().height(), 180);
  EXPECT_EQ(cell->midleView().shownTexts(), (std::vector<std::string>{"政治", "英语", "数学"}));

  ASSERT_TRUE(uikit::Driver::selectRow("政治").ok());
  settle();
  ASSERT_TRUE(shown<QMUserOrderDetails>()) << screen();
  for (const char* line :
       {"title: 订单详情", "label orderNoLabel: A", "label createTimeLabel: 2016-09-01 10:00:00",
        "label statusLabel: 待支付", "label priceLabel: 199.00", "label productLabel0: 政治",
        "label productLabel2: 数学"}) {
    EXPECT_TRUE(screenShows(line)) << line << "\n" << screen();
  }
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  ASSERT_EQ(shownController(), list) << screen();

  ASSERT_TRUE(uikit::Driver::tap(QMUserOrderCell::kPayTitle).ok()) << screen();
  settle();
  ASSERT_TRUE(shown<QMPurchaseUnavailableController>()) << screen();
  EXPECT_TRUE(screenShows(QMPurchaseUnavailableController::kMessage)) << screen();
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_EQ(shownController(), list) << "the screen pushed over the list pops" << screen();
}

TEST_F(OrderListTest, EntriesThatAreNotOrdersAreSkippedAndANullStatusOffersNoButtons) {
  app_.answer(
      kOrderPath,
      {{"z_data",
        {1,
         "O9",
         nullptr,
         nlohmann::json::array({"O8"}),
         {{"orderNo", "A"}, {"status", nullptr}, {"price", "9.00"}, {"productDisplayNames", "政治"}}}}});
  std::shared_ptr<QMUserOrderList> list = openList();
  ASSERT_TRUE(list);
  ASSERT_EQ(list->allOrderArray().size(), 1u);
  auto cell = std::dynamic_pointer_cast<QMUserOrderCell>(list->myTableView()->cellForRowAtIndexPath({0, 0}));
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->stausLabel().text(), "");
  EXPECT_TRUE(cell->cacelBtn().isHidden() && cell->payBtn().isHidden());
  EXPECT_FALSE(screenShows(QMUserOrderCell::kCancelTitle)) << screen();
}

TEST_F(OrderListTest, AReusedCellShowsOnlyItsOwnOrder) {
  QMUserOrderCell cell;
  cell.setMyOrderModel(
      ns::Value(ns::Dictionary{{"status", ns::Value(0)}, {"productDisplayNames", ns::Value("a,b")}}));
  EXPECT_EQ(cell.stausLabel().text(), QMUserOrderCell::kUnpaidText);
  EXPECT_FALSE(cell.cacelBtn().isHidden() || cell.payBtn().isHidden());
  // A paid order shows no status of its own, no buttons, and one product line.
  cell.setMyOrderModel(
      ns::Value(ns::Dictionary{{"status", ns::Value(1)}, {"productDisplayNames", ns::Value("c")}}));
  EXPECT_EQ(cell.stausLabel().text(), "");
  EXPECT_TRUE(cell.cacelBtn().isHidden() && cell.payBtn().isHidden());
  EXPECT_EQ(cell.midleView().shownTexts(), (std::vector<std::string>{"c"}));
  EXPECT_EQ(cell.priceLabel().textColor(), uikit::Color::black());
  cell.setMyOrderModel(ns::Value(ns::Dictionary{{"status", ns::Value(2)}}));
  EXPECT_EQ(cell.stausLabel().text(), QMUserOrderCell::kClosedText);
  EXPECT_TRUE(cell.cacelBtn().isHidden());
}

}  // namespace
}  // namespace app
