#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "learning/player/controls/ZBImageFromBundle.h"
#include "learning/player/controls/ZBPlayerNavigationBar.h"
#include "support/process_reset.h"

namespace learning {
namespace {

TEST(ZBPlayerNavigationBarTest, RateButtonOnlyInFullScreenAndListButtonNever) {
  testsupport::resetForTesting();
  auto bar = std::make_shared<ZBPlayerNavigationBar>(uikit::Rect(0, 0, 667, 64));
  EXPECT_EQ(bar->rateBtn()->currentTitle(), "1.0");
  for (bool full : {true, false, true}) {
    bar->setIsFull(full);
    bar->drawRect(bar->bounds());
    EXPECT_EQ(bar->rateBtn()->superview() == bar.get(), full);
    EXPECT_EQ(bar->infoBtn()->superview(), nullptr);
    EXPECT_EQ(bar->backBtn()->frame(), uikit::Rect(0, 20, 30, 30));
  }
  EXPECT_EQ(bar->rateBtn()->frame(), uikit::Rect(617, 20, 50, 30));

  const struct {
    float rate;
    const char* title;
  } rates[] = {{1.5F, "1.5"}, {2, "2.0"}, {0.75F, "0.8"}};
  for (const auto& r : rates) {
    bar->setRate(r.rate);
    EXPECT_EQ(bar->rateBtn()->currentTitle(), r.title);
  }

  bar->setTitle("第一讲");
  bar->drawRect(bar->bounds());
  EXPECT_EQ(bar->titleLabel().frame().minX(), 30);
  EXPECT_EQ(bar->titleLabel().center().y, 35);
}

TEST(ZBImageFromBundleTest, FindsEveryPlayerPictureAndNothingElse) {
  testsupport::resetForTesting();
  for (const char* name :
       {"progressNormal", "progressPlayed", "iconMove", "iconLast", "iconPlay", "iconPause", "iconNext",
        "iconScreenFull", "iconScreenNormal", "iconBack", "iconRate", "iconList", "progressAlert", "iconFF",
        "iconFW", "iconUnlock", "iconLock", "BG", "BGV"}) {
    const auto image = ZBImageFromBundle::imageWithResourceName(name);
    ASSERT_NE(image, nullptr) << name;
    EXPECT_EQ(image->name(), name);
    EXPECT_GT(image->size().width, 0) << name;
  }
  for (const char* name : {"iconMissing", "../Info", "", "iconPlay.png"}) {
    EXPECT_EQ(ZBImageFromBundle::imageWithResourceName(name), nullptr) << name;
  }
}

}  // namespace
}  // namespace learning
