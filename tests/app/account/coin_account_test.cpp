#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>

#include "app/account/QMUserAccount.h"
#include "app/account/QMUserAccountDetails.h"
#include "app/account/QMUserAccountDetailsCell.h"
#include "app/account/QMUserOneTradeDetails.h"
#include "app/account/user_centre_test_util.h"
#include "platform/uikit/driver/Driver.h"

namespace app {
namespace {

using usercentretest::UserCentreTest;

constexpr char kCoinPath[] = "/pravik/account/zb";
constexpr char kTransactionsPath[] = "/pravik/account/zb/list";

using CoinAccountTest = UserCentreTest;

TEST(CoinText, TwoDecimalsThenTheCoinName) {
  EXPECT_EQ(QMUserAccount::coinText(12.5), "12.50Z币");
  EXPECT_EQ(QMUserAccount::coinText(0), "0.00Z币");
  EXPECT_EQ(QMUserAccount::coinText(static_cast<double>(0.1f)), "0.10Z币");
}

TEST(AmountColour, TypesTwoAndFourShareOneColourAndTheRestAnother) {
  const uikit::Color spent = QMUserAccountDetailsCell::amountColorForType(2);
  EXPECT_EQ(QMUserAccountDetailsCell::amountColorForType(4), spent);
  EXPECT_EQ(spent, uikit::Color::hsba(0.51, 0.598, 0.8, 1));
  for (std::int64_t type : {0, 1, 3, 5}) {
    EXPECT_EQ(QMUserAccountDetailsCell::amountColorForType(type), uikit::Color::hsba(0.016, 0.688, 0.98, 1));
  }
}

TEST_F(CoinAccountTest, TheStoredBalanceShowsAtOnceAndTheRefreshedOneOnEachAppearance) {
  QMUser::sharedInstance()->setZCoinAmount(3);
  app_.backend().controls().delayNextReply(kCoinPath, std::chrono::milliseconds(200));
  open(QMUserCentreEntries::kAccountScene);
  EXPECT_TRUE(screenShows("3.00Z币")) << screen();
  ASSERT_TRUE(waitFor("12.50Z币")) << screen();
  EXPECT_EQ(requestsOf(kCoinPath), 1u);

  // The transactions, newest first, with their amounts in the colour of their kind.
  ASSERT_TRUE(uikit::Driver::selectRow(QMUserAccount::kTransactionsRowText).ok()) << screen();
  settle();
  ASSERT_TRUE(waitFor("购买课程")) << screen();
  auto details = shown<QMUserAccountDetails>();
  ASSERT_TRUE(details);
  EXPECT_TRUE(details->noDetailsView()->isHidden());
  ASSERT_EQ(details->zcoinList().size(), 5u);
  auto first =
      std::dynamic_pointer_cast<QMUserAccountDetailsCell>(details->myTable()->cellForRowAtIndexPath({0, 0}));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->detailNumberLabel().text(), "-50.00");
  EXPECT_EQ(first->detailTimeLabel().text(), "20160905");
  EXPECT_EQ(first->detailNumberLabel().textColor(), QMUserAccountDetailsCell::amountColorForType(2));

  // One transaction's details.
  ASSERT_TRUE(uikit::Driver::selectRow("充值").ok()) << screen();
  settle();
  auto trade = shown<QMUserOneTradeDetails>();
  ASSERT_TRUE(trade) << screen();
  EXPECT_EQ(trade->detailsBalanceLabel()->text(), "62.50");
  EXPECT_EQ(trade->detailsTimeLabel()->text(), "20160901091500");
  EXPECT_EQ(trade->detailsRemarkLabel()->text(), "在线充值");
  EXPECT_EQ(trade->detailsNumberLabel()->textColor(), QMUserAccountDetailsCell::amountColorForType(1));

  // Back twice: the account appears again and asks again.
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_TRUE(shown<QMUserAccount>()) << screen();
  EXPECT_TRUE(runUntil([&] { return requestsOf(kCoinPath) == 2; }));
  // Its back item closes it.
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_FALSE(delegate_->drawer()->presentedViewController());
}

TEST_F(CoinAccountTest, AFailedRefreshKeepsTheStoredBalance) {
  QMUser::sharedInstance()->setZCoinAmount(7.25);
  app_.backend().controls().refuseNextRequest(kCoinPath, 9714);
  open(QMUserCentreEntries::kAccountScene);
  ASSERT_TRUE(waitFor("toast:")) << screen();
  settle();
  EXPECT_EQ(shown<QMUserAccount>()->coinNumberLabel()->text(), "7.25Z币");
}

TEST_F(CoinAccountTest, AnAmountBeyondTheKeptRangeShowsItsLimitAndOneNotFiniteShowsNone) {
  // Each case shows a text other than the one before, so that its reply is what the wait sees.
  const std::vector<std::pair<nlohmann::json, std::string>> cases = {
      {-1e308, "-340282346638528859811704183484516925440.00Z币"},
      {"nan", "0.00Z币"},
      {12.5, "12.50Z币"},
      {"1e400", "0.00Z币"}};
  for (const auto& [amount, text] : cases) {
    app_.answer(kCoinPath, {{"amount", amount}, {"freezeAmount", amount}});
    open(QMUserCentreEntries::kAccountScene);
    ASSERT_TRUE(waitFor(text)) << amount << "\n" << screen();
    EXPECT_TRUE(std::isfinite(QMUser::sharedInstance()->ZCoinFreezeAmount())) << amount;
    delegate_->drawer()->dismissViewControllerAnimated(false);
    settle();
  }
  // A balance kept as not finite by an earlier version shows as none.
  EXPECT_EQ(QMUserAccount::coinText(-std::numeric_limits<double>::infinity()), "0.00Z币");
}

TEST_F(CoinAccountTest, EntriesThatAreNotTransactionsAreSkipped) {
  app_.answer(
      kTransactionsPath,
      nlohmann::json::array({1, nullptr, "充值", {{"type", 1}, {"type_desc", "充值"}, {"amount", "5.00"}}}));
  auto details = std::make_shared<QMUserAccountDetails>();
  QMUserCentreEntries::present(*delegate_->drawer(), QMUserCentreEntries::kAccountScene);
  settle();
  shown<QMUserAccount>()->navigationController()->pushViewController(details, false);
  settle();
  ASSERT_TRUE(runUntil([&] { return !details->zcoinList().empty(); }));
  ASSERT_EQ(details->zcoinList().size(), 1u);
  EXPECT_EQ(details->myTable()->numberOfRowsInSection(0), 1);
}

TEST_F(CoinAccountTest, NoTransactionsOrAReplyWithoutAListShowsTheEmptyPicture) {
  for (const nlohmann::json& obj :
       {nlohmann::json::array(), nlohmann::json(nullptr), nlohmann::json::object()}) {
    app_.answer(kTransactionsPath, obj);
    const std::size_t asked = requestsOf(kTransactionsPath);
    auto details = std::make_shared<QMUserAccountDetails>();
    QMUserCentreEntries::present(*delegate_->drawer(), QMUserCentreEntries::kAccountScene);
    settle();
    shown<QMUserAccount>()->navigationController()->pushViewController(details, false);
    settle();
    ASSERT_TRUE(runUntil([&] { return requestsOf(kTransactionsPath) == asked + 1; }));
    settle();
    EXPECT_TRUE(details->zcoinList().empty()) << obj;
    EXPECT_FALSE(details->noDetailsView()->isHidden()) << obj;
    EXPECT_TRUE(details->myTable()->isHidden()) << obj;
    delegate_->drawer()->dismissViewControllerAnimated(false);
    settle();
  }
}

}  // namespace
}  // namespace app
