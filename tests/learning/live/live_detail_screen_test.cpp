// The live-detail screen as a finger uses it against the sample back end: the group's lessons, the taps that
// open a lesson in the framework the back end names (the live-class framework for provider 3, the plug-in
// player for 5, nothing for others), the taps that do nothing, and leaving.

#include <gtest/gtest.h>

#include "learning/live/CustomEPlayerViewController.h"
#include "learning/live/QMLiveCell.h"
#include "learning/live/live_test_util.h"
#include "platform/outside/ZebLiveParameterBlock.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "sample_backend/api/ApiReply.h"

namespace learning::livetest {
namespace {

using outside::ZebLiveParameterBlock;

class LiveDetailScreenTest : public LiveScreenTest {};

TEST_F(LiveDetailScreenTest, ListsTheGroupsLessonsUnderItsNameAndGoesBack) {
  const std::shared_ptr<QMLiveDetailController> detail = openDetail("9001");
  EXPECT_TRUE(screenShows("[QMLiveDetailController]")) << screen();
  EXPECT_TRUE(screenShows("title: 政治冲刺直播课")) << screen();
  ASSERT_EQ(detail->myTableView()->numberOfRowsInSection(0), 6);
  std::vector<std::string> statuses;
  for (const std::shared_ptr<uikit::TableViewCell>& cell : detail->myTableView()->visibleCells()) {
    statuses.push_back(std::dynamic_pointer_cast<QMLiveCell>(cell)->statusLabel().text());
  }
  // An ended lesson that can be replayed is offered as a replay.
  EXPECT_EQ(statuses, (std::vector<std::string>{"  观看回放  ", "  已结束  ", "  正在直播  ", "  未开始  ",
                                                "  正在直播  ", "  观看回放  "}));
  EXPECT_TRUE(screenShows("讲师：李文静")) << screen();
  EXPECT_TRUE(screenShows("2016-09-19 19:00-21:00")) << screen();

  ASSERT_TRUE(uikit::Driver::goBack().ok());
  settle();
  EXPECT_EQ(root_->presentedViewController(), nullptr);
}

TEST_F(LiveDetailScreenTest, ALiveLessonOfProvider3OpensTheLiveClassAndLeavingItComesBack) {
  const std::shared_ptr<QMLiveDetailController> detail = openDetail("9001");
  ASSERT_TRUE(uikit::Driver::selectRow("史纲冲刺串讲").ok());
  EXPECT_TRUE(screenShows("loading")) << screen();
  EXPECT_FALSE(detail->myTableView()->indexPathForSelectedRow()) << "the tap deselects the row";
  waitForLoadingToGo();
  EXPECT_TRUE(screenShows("live class room90013")) << screen();
  EXPECT_TRUE(screenShows("in class")) << screen();
  EXPECT_FALSE(screenShows("loading"));
  EXPECT_EQ(app_.sentParameters(app::QMCourseDataModel::kLiveParamPath).at(0).at("knowledge_id"), "90013");

  const std::shared_ptr<outside::ZebLiveSDK>& sdk = detail->liveSdk();
  ASSERT_TRUE(sdk);
  EXPECT_EQ(sdk->calls(), (std::vector<std::string>{"InitZebLivePlayer", "EnterLiveClass"}));
  EXPECT_EQ(sdk->host(), std::static_pointer_cast<outside::ZebLiveSDKHost>(detail));
  const ZebLiveParameterBlock::Bytes& block = *sdk->parameterBlock();
  EXPECT_EQ(ZebLiveParameterBlock::textOf(block, ZebLiveParameterBlock::kProviderId), "room90013");
  EXPECT_EQ(ZebLiveParameterBlock::textOf(block, ZebLiveParameterBlock::kCustomer), "quillmark");
  EXPECT_EQ(ZebLiveParameterBlock::textOf(block, ZebLiveParameterBlock::kPass), "pass90013");
  EXPECT_EQ(uikit::Application::sharedApplication().statusBarStyle(), uikit::StatusBarStyle::kLightContent);

  // Asked to share, the host does nothing: the class stays up.
  detail->OpenShared("http://live.example/room90013");
  settle();
  EXPECT_TRUE(screenShows("live class room90013")) << screen();

  // Leaving the class notifies the host, which takes the class away and gives the status bar back.
  ASSERT_TRUE(uikit::Driver::tap("leave").ok()) << screen();
  settle();
  EXPECT_TRUE(screenShows("[QMLiveDetailController]")) << screen();
  EXPECT_FALSE(screenShows("live class"));
  EXPECT_EQ(uikit::Application::sharedApplication().statusBarStyle(), uikit::StatusBarStyle::kDefault);

  // A later event, with no class up, leaves the detail screen where it is.
  detail->ZebLiveClassEventNotify(outside::ZebLiveSDKHost::kEventClassLeft,
                                  outside::ZebLiveSDKHost::kTypeLive);
  settle();
  EXPECT_TRUE(screenShows("[QMLiveDetailController]")) << screen();
  EXPECT_NE(root_->presentedViewController(), nullptr);
}

TEST_F(LiveDetailScreenTest, AnEndedLessonThatCanBeReplayedOpensTheReplayWithANewFrameworkObject) {
  const std::shared_ptr<QMLiveDetailController> detail = openDetail("9001");
  enterLesson("史纲冲刺串讲");
  const std::shared_ptr<outside::ZebLiveSDK> first = detail->liveSdk();
  ASSERT_TRUE(uikit::Driver::tap("leave").ok());
  settle();

  enterLesson("马原冲刺串讲");
  EXPECT_TRUE(screenShows("replay room90011")) << screen();
  ASSERT_NE(detail->liveSdk(), first);
  EXPECT_EQ(detail->liveSdk()->calls(), (std::vector<std::string>{"InitZebPlayPlayer", "EnterPlayClass"}));
  EXPECT_EQ(detail->selectedLiveModel()->liveID(), "90011");
  ASSERT_TRUE(uikit::Driver::tap("leave").ok());
  settle();
  EXPECT_TRUE(screenShows("[QMLiveDetailController]")) << screen();
}

TEST_F(LiveDetailScreenTest, ALiveLessonOfProvider5PlaysInTheApplicationsOwnPluginPlayer) {
  const std::shared_ptr<QMLiveDetailController> detail = openDetail("9001");
  enterLesson("思修法基冲刺串讲");
  EXPECT_TRUE(screenShows("[CustomEPlayerViewController]")) << screen();
  EXPECT_TRUE(screenShows("live class room90015")) << screen();
  EXPECT_EQ(detail->liveSdk(), nullptr);

  auto player = std::dynamic_pointer_cast<CustomEPlayerViewController>(
      detail->navigationController()->topViewController());
  ASSERT_TRUE(player);
  const outside::EPlayerData& data = *player->data();
  EXPECT_EQ(data.setterCalls(), (std::vector<std::string>{"setLiveClassroomId", "setCustomer", "setPlayModel",
                                                          "setLoginType", "setValidateStr"}));
  EXPECT_EQ(data.liveClassroomId(), "room90015");
  EXPECT_EQ(data.customer(), "quillmark");
  EXPECT_EQ(data.playModel(), outside::EPlayerData::kPlayModelLive);
  EXPECT_EQ(data.loginType(), 3);
  EXPECT_EQ(data.validateStr(), "pass90015");

  // The framework's leave button, set once the player is up, reads black on the application's bar.
  auto leave =
      std::dynamic_pointer_cast<uikit::Button>(player->navigationItem().rightBarButtonItem()->customView());
  ASSERT_TRUE(leave);
  EXPECT_EQ(leave->titleColorForState(uikit::kControlStateNormal), uikit::Color::black());
  ASSERT_TRUE(uikit::Driver::tap("leave").ok()) << screen();
  settle();
  EXPECT_TRUE(screenShows("[QMLiveDetailController]")) << screen();
}

TEST_F(LiveDetailScreenTest, AReplayOfProvider5AsksTheFrameworkToChooseTheRecording) {
  const std::shared_ptr<QMLiveDetailController> detail = openDetail("9003");
  enterLesson("线代真题精讲");
  auto player = std::dynamic_pointer_cast<CustomEPlayerViewController>(
      detail->navigationController()->topViewController());
  ASSERT_TRUE(player) << screen();
  EXPECT_TRUE(screenShows("replay room90032")) << screen();
  EXPECT_EQ(player->data()->setterCalls(),
            (std::vector<std::string>{"setLiveClassroomId", "setCustomer", "setPlayModel", "setLoginType",
                                      "setValidateStr", "setPlaybackid"}));
  EXPECT_EQ(player->data()->playModel(), outside::EPlayerData::kPlayModelReplay);
  EXPECT_EQ(player->data()->playbackid(), std::nullopt);
}

TEST_F(LiveDetailScreenTest, AnotherProviderAFailureAndLessonsNotOpenDoNothingButTheHUD) {
  const std::shared_ptr<QMLiveDetailController> detail = openDetail("9001");
  // Provider 4: the HUD goes, and nothing opens.
  enterLesson("冲刺答疑");
  EXPECT_EQ(parameterRequestsSent(), 1u);
  EXPECT_EQ(detail->selectedLiveModel()->liveProviderType(), 4);
  EXPECT_TRUE(screenShows("[QMLiveDetailController]")) << screen();
  EXPECT_EQ(detail->liveSdk(), nullptr);
  EXPECT_EQ(detail->navigationController()->viewControllers().size(), 1u);

  // Not started, and ended without a replay: no request, no HUD.
  for (const char* name : {"时政热点", "毛中特冲刺串讲"}) {
    ASSERT_TRUE(uikit::Driver::selectRow(name).ok());
    EXPECT_FALSE(screenShows("loading")) << name;
    EXPECT_EQ(detail->selectedLiveModel()->liveName(), name);
  }
  EXPECT_EQ(parameterRequestsSent(), 1u);

  // A refused request takes the HUD away and opens nothing.
  app_.backend().router().add(std::string(app::QMCourseDataModel::kLiveParamPath),
                              sample_backend::api::SessionRule::kOpen,
                              [](const sample_backend::api::RouteContext&) {
                                return sample_backend::api::ApiReply::refusal(9711, "no such live lesson");
                              });
  enterLesson("史纲冲刺串讲");
  EXPECT_EQ(parameterRequestsSent(), 2u);
  EXPECT_TRUE(screenShows("[QMLiveDetailController]")) << screen();
  EXPECT_EQ(detail->liveSdk(), nullptr);
}

}  // namespace
}  // namespace learning::livetest
