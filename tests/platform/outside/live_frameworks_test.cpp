// The live-class frameworks' stand-ins: they keep what the host gave them, show a screen a person can read
// and leave, and tell the host when the class is left.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/outside/EPlayerPluginViewController.h"
#include "platform/outside/ZebLiveSDK.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/uikit_test_util.h"

namespace outside {
namespace {

class RecordingHost : public ZebLiveSDKHost {
 public:
  void ZebLiveClassEventNotify(int event, int type) override {
    events.push_back(std::to_string(event) + "/" + std::to_string(type));
  }
  void OpenShared(const std::string&) override {}
  std::vector<std::string> events;
};

ZebLiveParameterBlock::Bytes blockNaming(const std::string& classroom) {
  ZebLiveParameterBlock::Bytes block{};
  std::copy(classroom.begin(), classroom.end(), block.begin());
  return block;
}

bool screenShows(const std::string& text) {
  return uikit::Driver::screenText().find(text) != std::string::npos;
}

class LiveFrameworksTest : public uikit::testing::ScreenTest<> {
 protected:
  std::shared_ptr<RecordingHost> host_ = std::make_shared<RecordingHost>();
};

TEST_F(LiveFrameworksTest, TheLiveClassFrameworkKeepsWhatItWasGivenAndTellsTheHostWhenTheClassIsLeft) {
  ZebLiveSDK sdk;
  sdk.EnterLiveClass();
  std::shared_ptr<ZebLiveClassController> live;
  {
    // The caller's block need live only during the call.
    const ZebLiveParameterBlock::Bytes block = blockNaming("room7");
    live = sdk.InitZebLivePlayer(block, host_);
  }
  ASSERT_TRUE(sdk.parameterBlock());
  EXPECT_EQ(ZebLiveParameterBlock::textOf(*sdk.parameterBlock(), ZebLiveParameterBlock::kProviderId),
            "room7");
  EXPECT_EQ(sdk.host(), host_);
  EXPECT_EQ(sdk.classController(), live);

  screen_->presentViewController(live, true);
  nextTurn();
  EXPECT_TRUE(screenShows("live class room7")) << uikit::Driver::screenText();
  EXPECT_TRUE(screenShows("waiting"));
  EXPECT_EQ(uikit::Application::sharedApplication().statusBarStyle(), uikit::StatusBarStyle::kLightContent);
  sdk.EnterLiveClass();
  EXPECT_TRUE(screenShows("in class"));
  EXPECT_EQ(sdk.calls(), (std::vector<std::string>{"EnterLiveClass", "InitZebLivePlayer", "EnterLiveClass"}));

  // Leaving tells the host; the screen stays until the host takes it away.
  ASSERT_TRUE(uikit::Driver::tap(ZebLiveClassController::kLeaveTitle).ok());
  EXPECT_EQ(host_->events, std::vector<std::string>{"1/0"});
  EXPECT_EQ(screen_->presentedViewController(), live);

  // A host that has gone hears nothing, and leaving does no harm.
  host_.reset();
  EXPECT_EQ(sdk.host(), nullptr);
  EXPECT_TRUE(uikit::Driver::tap(ZebLiveClassController::kLeaveTitle).ok());
}

TEST_F(LiveFrameworksTest, ThePluginPlayerPutsItsLeaveButtonOnTheBarOnceUpAndLeavesByIt) {
  auto data = std::make_shared<EPlayerData>();
  data->setLiveClassroomId("room9");
  data->setPlayModel(EPlayerData::kPlayModelReplay);
  data->setPlaybackid(std::nullopt);
  EXPECT_EQ(data->setterCalls(),
            (std::vector<std::string>{"setLiveClassroomId", "setPlayModel", "setPlaybackid"}));

  auto navigation = std::make_shared<uikit::NavigationController>(std::make_shared<uikit::ViewController>());
  screen_->presentViewController(navigation, false);
  nextTurn();
  auto player = std::make_shared<EPlayerPluginViewController>(data);
  navigation->pushViewController(player, true);
  EXPECT_TRUE(screenShows("replay room9")) << uikit::Driver::screenText();
  EXPECT_EQ(player->navigationItem().rightBarButtonItem(), nullptr) << "set once the player is up";
  nextTurn();
  const std::shared_ptr<uikit::BarButtonItem> leave = player->navigationItem().rightBarButtonItem();
  ASSERT_TRUE(leave);
  auto button = std::dynamic_pointer_cast<uikit::Button>(leave->customView());
  ASSERT_TRUE(button);
  EXPECT_EQ(button->titleColorForState(uikit::kControlStateNormal), uikit::Color::white(1));
  EXPECT_FALSE(screenShows("back")) << "the player leaves by its own button";

  ASSERT_TRUE(uikit::Driver::tap(EPlayerPluginViewController::kLeaveTitle).ok())
      << uikit::Driver::screenText();
  EXPECT_EQ(navigation->topViewController(), navigation->viewControllers().front());
}

}  // namespace
}  // namespace outside
