// The user-centre paths of the sample back end, answered without a transport: the paging of every order
// tab, cancelling, and what the back end refuses.

#include <gtest/gtest.h>

#include <set>

#include "sample_backend/account/AccountRoutes.h"
#include "tools/sample_backend/api/api_test_util.h"

namespace sample_backend::account {
namespace {

using api::testutil::Parameters;

class AccountRoutesTest : public ::testing::Test {
 protected:
  AccountRoutesTest() : service_(api::testutil::defaultCatalogue()) {}

  nlohmann::json reply(const std::string& path, Parameters parameters,
                       const std::string& userId = "20160001") {
    parameters["sid"] = service_.sessions().openSession(userId);
    api::ApiRequest request = api::testutil::signedRequest(path, std::move(parameters));
    request.headers["host"] = "127.0.0.1:4242";
    return api::testutil::replyOf(service_, std::move(request));
  }

  nlohmann::json page(int status, int page, const std::string& userId = "20160001") {
    return reply("/pravik/order",
                 {{"status", std::to_string(status)}, {"pageNo", std::to_string(page)}, {"pageSize", "10"}},
                 userId)["obj"];
  }

  api::ApiService service_;
};

TEST_F(AccountRoutesTest, EveryTabFillsSeveralPagesAndEndsWithAShortOrEmptyOne) {
  for (const auto& [status, count] :
       {std::pair{kStatusAll, AccountBook::kOrderCount}, std::pair{kStatusUnpaid, AccountBook::kUnpaidCount},
        std::pair{kStatusClosed, AccountBook::kClosedCount}}) {
    std::set<std::string> seen;
    int pageNo = 1;
    for (;; ++pageNo) {
      const nlohmann::json obj = page(status, pageNo);
      EXPECT_EQ(obj["totalCount"], count);
      for (const nlohmann::json& order : obj["z_data"]) {
        EXPECT_TRUE(status == kStatusAll || order["status"] == status) << order;
        seen.insert(order["orderNo"].get<std::string>());
      }
      if (obj["z_data"].size() < 10) {
        break;
      }
    }
    EXPECT_EQ(static_cast<int>(seen.size()), count) << "status " << status;
    EXPECT_GE(pageNo, 3) << "status " << status;
  }
  // Paid orders are among all orders too.
  EXPECT_EQ(AccountBook::kOrderCount - AccountBook::kUnpaidCount - AccountBook::kClosedCount, 12);
}

TEST_F(AccountRoutesTest, CancellingClosesAnUnpaidOrderOnlyForItsOwnLearner) {
  const std::string orderNo = page(kStatusUnpaid, 1)["z_data"][0]["orderNo"];
  // Another learner's book has no such order.
  EXPECT_EQ(reply("/pravik/order/cancel", {{"orderNo", orderNo}}, "20160002")["code"], kCodeNoSuchOrder);
  EXPECT_EQ(reply("/pravik/order/cancel", {{"orderNo", orderNo}})["code"], 0);
  EXPECT_EQ(page(kStatusUnpaid, 1)["totalCount"], AccountBook::kUnpaidCount - 1);
  EXPECT_EQ(page(kStatusClosed, 1)["z_data"].size(), 10u);
  EXPECT_EQ(page(kStatusClosed, 1)["totalCount"], AccountBook::kClosedCount + 1);
  EXPECT_EQ(reply("/pravik/order/cancel", {{"orderNo", orderNo}})["code"], kCodeOrderNotCancellable);
  EXPECT_EQ(reply("/pravik/order/cancel", {})["code"], api::kCodeMissingParameter);
  EXPECT_EQ(reply("/pravik/order", {{"status", "x"}, {"pageNo", "1"}, {"pageSize", "10"}})["code"],
            api::kCodeMissingParameter);
}

TEST_F(AccountRoutesTest, ProfileAvatarAndCoinsOfTheSignedInLearner) {
  const nlohmann::json info = reply("/sns/get_user_info", {})["obj"];
  EXPECT_EQ(info["real_name"], "林知远");
  EXPECT_EQ(info["sex"], "1");
  EXPECT_EQ(reply("/sns/get_user_headimage", {{"type", "1"}})["obj"]["headImage1"],
            "http://127.0.0.1:4242/images/avatar.jpg?user=20160001");
  EXPECT_EQ(reply("/pravik/account/zb", {})["obj"]["amount"], 12.5);
  const nlohmann::json transactions = reply("/pravik/account/zb/list", {})["obj"];
  ASSERT_FALSE(transactions.empty());
  EXPECT_EQ(transactions[0]["yu_e"], "12.50") << "the newest transaction leaves the balance";
  // Without a session nothing is told.
  api::ApiRequest anonymous = api::testutil::signedRequest("/pravik/account/zb", {});
  EXPECT_NE(api::testutil::replyOf(service_, std::move(anonymous))["code"], 0);
}

}  // namespace
}  // namespace sample_backend::account
