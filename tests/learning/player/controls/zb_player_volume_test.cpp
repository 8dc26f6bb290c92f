#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "learning/player/controls/ZBPlayerLight.h"
#include "learning/player/controls/ZBPlayerVolume.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/app/SystemVolume.h"
#include "support/process_reset.h"

namespace learning {
namespace {

constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();

class ZBPlayerVolumeTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetForTesting(); }
  void TearDown() override { testsupport::resetForTesting(); }
};

TEST_F(ZBPlayerVolumeTest, SetsTheSystemVolumeWithinItsRange) {
  auto volume = std::make_shared<ZBPlayerVolume>();
  int announced = 0;
  const auto token = ns::NotificationCenter::defaultCenter().addObserverForName(
      uikit::kSystemVolumeDidChangeNotification, nullptr, nullptr,
      [&](const ns::Notification&) { ++announced; });
  const struct {
    float set;
    float system;
    int announcedSoFar;
  } cases[] = {{0.3F, 0.3F, 1}, {1.5F, 1, 2},        {1, 1, 2},
               {-0.2F, 0, 3},   {kNotANumber, 0, 3}, {0.75F, 0.75F, 4}};
  for (const auto& c : cases) {
    volume->setVolume(c.set);
    EXPECT_EQ(uikit::SystemVolume::sharedInstance().volume(), c.system) << c.set;
    EXPECT_EQ(volume->volume(), c.system);
    EXPECT_EQ(announced, c.announcedSoFar);
  }
  ns::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(ZBPlayerVolumeTest, FollowsVolumeChangesMadeElsewhere) {
  auto first = std::make_shared<ZBPlayerVolume>();
  auto second = std::make_shared<ZBPlayerVolume>();
  first->setVolume(0.2F);
  EXPECT_EQ(second->volume(), 0.2F);
  uikit::SystemVolume::sharedInstance().setVolume(0.9F);  // the volume buttons
  EXPECT_EQ(first->volume(), 0.9F);
  first.reset();
  // A gone accessor has stopped listening.
  uikit::SystemVolume::sharedInstance().setVolume(0.1F);
  EXPECT_EQ(second->volume(), 0.1F);
}

TEST_F(ZBPlayerVolumeTest, BrightnessKeepsWithinZeroAndOne) {
  const struct {
    float set;
    float holder;   // the holder ignores values outside the range
    double screen;  // the screen cuts them to it
  } cases[] = {{0.4F, 0.4F, 0.4}, {1.5F, 0.4F, 1}, {1, 1, 1}, {0, 0, 0}, {-0.1F, 0, 0}, {0.6F, 0.6F, 0.6}};
  ZBPlayerLight light;
  for (const auto& c : cases) {
    light.setValue(c.set);
    uikit::Screen::mainScreen().setBrightness(c.set);
    EXPECT_EQ(light.value(), c.holder) << c.set;
    EXPECT_NEAR(uikit::Screen::mainScreen().brightness(), c.screen, 1e-6) << c.set;
  }
  light.setValue(kNotANumber);
  uikit::Screen::mainScreen().setBrightness(kNotANumber);
  EXPECT_EQ(light.value(), 0.6F);
  EXPECT_NEAR(uikit::Screen::mainScreen().brightness(), 0.6, 1e-6);
}

}  // namespace
}  // namespace learning
