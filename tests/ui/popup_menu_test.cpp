#include "platform/uikit/app/Device.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/gestures/TapGestureRecognizer.h"
#include "platform/uikit/uikit_test_util.h"
#include "ui/popup/PopupMenu.h"

namespace ui {
namespace {

using ::testing::ElementsAre;

// Receives the chosen items.
class ChoosingScreen : public uikit::ViewController {
 public:
  void chose(PopupMenuItem& item) { chosen.push_back(item.title() + " " + std::to_string(item.value())); }
  std::vector<std::string> chosen;
};

class PopupMenuTest : public uikit::testing::ScreenTest<ChoosingScreen> {
 protected:
  void TearDown() override {
    PopupMenu::dismissMenu();
    ScreenTest::TearDown();
  }

  std::vector<std::shared_ptr<PopupMenuItem>> items() {
    return {PopupMenuItem::menuItem("1.0x", nullptr, screen_, &ChoosingScreen::chose, 1.0f),
            PopupMenuItem::menuItem("1.5x", nullptr, screen_, &ChoosingScreen::chose, 1.5f)};
  }
};

TEST_F(PopupMenuTest, ChoosingAnItemDismissesTheMenuAndSendsTheItemToItsTarget) {
  PopupMenu::showMenuInView(*screen_->view(), uikit::Rect(300, 20, 50, 30), items());
  ASSERT_NE(PopupMenu::shownMenu(), nullptr);
  EXPECT_EQ(PopupMenu::shownMenu()->superview(), screen_->view().get());
  ASSERT_TRUE(uikit::Driver::tap("1.5x").ok());
  EXPECT_EQ(PopupMenu::shownMenu(), nullptr);
  EXPECT_THAT(screen_->chosen, ElementsAre("1.5x 1.500000"));
}

TEST_F(PopupMenuTest, AnItemHoldsItsTargetWeakly) {
  auto item = PopupMenuItem::menuItem("1.0x", nullptr, screen_, &ChoosingScreen::chose, 1.0f);
  std::weak_ptr<ChoosingScreen> weakScreen = screen_;
  window_->setRootViewController(nullptr);
  nextTurn();
  screen_.reset();
  ASSERT_TRUE(weakScreen.expired());
  item->performAction();  // sending to the screen now would be a use after free, which the sanitizer reports
}

TEST_F(PopupMenuTest, ShowingAgainMovesTheOneMenuAndATapBesideOrATurnDismissesIt) {
  auto other = std::make_shared<uikit::View>(uikit::Rect(0, 0, 200, 200));
  screen_->view()->addSubview(other);
  PopupMenu::showMenuInView(*screen_->view(), uikit::Rect(), items());
  PopupMenu::showMenuInView(*other, uikit::Rect(10, 10, 20, 20), {items().front()});
  EXPECT_EQ(PopupMenu::shownMenu()->superview(), other.get());
  EXPECT_EQ(PopupMenu::shownMenu()->menuItems().size(), 1u);
  EXPECT_EQ(PopupMenu::shownMenu()->fromRect(), uikit::Rect(10, 10, 20, 20));
  ASSERT_FALSE(uikit::Driver::findView("1.5x").ok());

  auto* recognizer =
      dynamic_cast<uikit::TapGestureRecognizer*>(PopupMenu::shownMenu()->gestureRecognizers().front().get());
  recognizer->simulateTap(uikit::Point{150, 150});
  EXPECT_EQ(PopupMenu::shownMenu(), nullptr);

  PopupMenu::showMenuInView(*screen_->view(), uikit::Rect(), items());
  uikit::Device::currentDevice().setOrientation(uikit::DeviceOrientation::kLandscapeLeft);
  EXPECT_EQ(PopupMenu::shownMenu(), nullptr);
}

}  // namespace
}  // namespace ui
