#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "app/account/QMUserAccount.h"
#include "app/account/QMUserOrderList.h"
#include "app/account/user_centre_test_util.h"
#include "app/user/QMUserHomeController.h"
#include "app/user/QMUserInfoController.h"
#include "app/user/QMUserOldCenterController.h"
#include "app/user/QMUserProfileHeader.h"
#include "app/user/QMUserProfileRows.h"
#include "platform/uikit/driver/Driver.h"

namespace app {
namespace {

using usercentretest::UserCentreTest;

constexpr char kInfoPath[] = "/sns/get_user_info";
constexpr char kAvatarPath[] = "/sns/get_user_headimage";
constexpr char kCoinPath[] = "/pravik/account/zb";

class UserCentreScreensTest : public UserCentreTest {
 protected:
  // Waits until the avatar shows a picture fetched from the back end.
  static bool avatarLoaded(const uikit::ImageView& avatar) {
    return avatar.image() && avatar.image()->name() != QMUserProfileHeader::kPlaceholderImage;
  }
};

TEST(SexText, OneIsFemaleTwoIsMaleAnythingElseKeepsTheSceneText) {
  EXPECT_EQ(QMUserProfileRows::sexText("1"), "女");
  EXPECT_EQ(QMUserProfileRows::sexText("2"), "男");
  EXPECT_EQ(QMUserProfileRows::sexText("0"), std::nullopt);
  EXPECT_EQ(QMUserProfileRows::sexText(std::nullopt), std::nullopt);
}

TEST_F(UserCentreScreensTest, TheOldCentreShowsTheStoredProfileThenTheBackEndsWithTheAvatar) {
  const std::shared_ptr<QMUser>& user = QMUser::sharedInstance();
  user->setUserRealName("旧名字");
  user->setUserSex("0");
  app_.backend().controls().delayNextReply(kInfoPath, std::chrono::milliseconds(200));
  open("QMUserOldCenterController");
  auto centre = shown<QMUserOldCenterController>();
  ASSERT_TRUE(centre) << screen();
  EXPECT_EQ(centre->realNameLabel()->text(), "旧名字");
  EXPECT_EQ(centre->sexLabel()->text(), QMUserProfileRows::kSexSceneText);
  EXPECT_EQ(centre->userNameLabel()->text(), apptest::kLearnerName);
  // No avatar is stored yet: the placeholder shows.
  ASSERT_TRUE(centre->avaterImageView()->image());
  EXPECT_EQ(centre->avaterImageView()->image()->name(), QMUserProfileHeader::kPlaceholderImage);
  EXPECT_DOUBLE_EQ(centre->avaterImageView()->layer().cornerRadius(), 37.5);

  ASSERT_TRUE(waitFor("林知远")) << screen();
  EXPECT_EQ(centre->sexLabel()->text(), "女");
  EXPECT_EQ(centre->addressLabel()->text(), "北京 海淀区");
  EXPECT_EQ(requestsOf(kInfoPath), 1u);
  ASSERT_TRUE(runUntil([&] { return avatarLoaded(*centre->avaterImageView()); })) << screen();
  EXPECT_NE(user->userAvater().value_or("").find("/images/avatar.jpg?user=20160001"), std::string::npos);

  // Its rows open the coin account and the orders inside a navigation controller.
  ASSERT_TRUE(uikit::Driver::selectRow(QMUserCentreEntries::kOrdersRowText).ok()) << screen();
  settle();
  ASSERT_TRUE(shown<QMUserOrderList>()) << screen();
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_EQ(shownController(), centre);
  ASSERT_TRUE(uikit::Driver::tap(QMUserProfileHeader::kBackTitle).ok()) << screen();
  settle();
  EXPECT_FALSE(delegate_->drawer()->presentedViewController());
}

TEST_F(UserCentreScreensTest, TheHomeAsksForTheProfileAndItsRowsOpenTheAccountOrTheOrders) {
  app_.backend().controls().delayNextReply(kInfoPath, std::chrono::milliseconds(200));
  open("QMUserHomeController");
  auto home = shown<QMUserHomeController>();
  ASSERT_TRUE(home);
  // The name keeps the scene's text until the profile reply, even with a login name stored.
  EXPECT_EQ(home->userNameLabel()->text(), QMUserProfileHeader::kNameSceneText);
  ASSERT_TRUE(runUntil([&] { return home->userNameLabel()->text() == apptest::kLearnerName; })) << screen();
  ASSERT_TRUE(runUntil([&] { return QMUser::sharedInstance()->ZCoinAmount() == 12.5; }));
  std::vector<std::string> order;
  for (const auto& record : app_.backend().recordedRequests()) {
    if (record.request.path.starts_with("/sns/") || record.request.path.starts_with("/pravik/")) {
      order.push_back(record.request.path);
    }
  }
  // Sent in this order over connections of their own, they may reach the back end in another.
  EXPECT_THAT(order, ::testing::UnorderedElementsAre(kAvatarPath, kInfoPath, kCoinPath));

  ASSERT_TRUE(uikit::Driver::selectRow(QMUserCentreEntries::kAccountRowText).ok());
  settle();
  EXPECT_TRUE(shown<QMUserAccount>()) << screen();
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  ASSERT_TRUE(uikit::Driver::selectRow(QMUserCentreEntries::kOrdersRowText).ok());
  settle();
  EXPECT_TRUE(shown<QMUserOrderList>()) << screen();
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();

  // The profile button opens the information screen, which asks nothing. The screens just left have
  // asked for the balance and the orders; those requests are in first.
  ASSERT_TRUE(runUntil([&] { return requestsOf(kCoinPath) == 2 && requestsOf("/pravik/order") == 1; }));
  const std::size_t requests = app_.backend().recordedRequests().size();
  ASSERT_TRUE(uikit::Driver::tap(QMUserHomeController::kInfoTitle).ok());
  settle();
  auto info = shown<QMUserInfoController>();
  ASSERT_TRUE(info) << screen();
  EXPECT_EQ(info->sexLabel()->text(), "女") << "as the profile reply has it";
  EXPECT_EQ(info->realNameLabel()->text(), "林知远");
  EXPECT_EQ(app_.backend().recordedRequests().size(), requests);
  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_EQ(shownController(), home);
}

}  // namespace
}  // namespace app
