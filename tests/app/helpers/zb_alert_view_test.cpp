#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/helpers/ZBAlertView.h"
#include "app/helpers/ui_helper_test_util.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/views/Label.h"

namespace app {

namespace {

using apptest::UiHelperTest;

// Records what its panels tell it: the button's title and index in its row, and the check box's state at
// each button press.
class RecordingDelegate : public ZBAlertViewDelegate {
 public:
  void alertViewDidOnClickedButton(ZBAlertView& alertView, MyButton& button) override {
    events.push_back("clicked " + button.currentTitle() + " #" + std::to_string(button.tag()) + " on " +
                     alertView.message() + (alertView.switchSave() ? " (ticked)" : ""));
  }

  void alertViewDidDismiss(ZBAlertView& alertView) override {
    events.push_back("dismissed " + alertView.message());
  }

  std::vector<std::string> events;
};

// Returns the panel's box: its only subview.
uikit::View& boxOf(const ZBAlertView& panel) {
  return *panel.subviews().at(0);
}

std::shared_ptr<uikit::Label> labelOf(const ZBAlertView& panel) {
  for (const std::shared_ptr<uikit::View>& view : boxOf(panel).subviews()) {
    if (auto label = std::dynamic_pointer_cast<uikit::Label>(view)) {
      return label;
    }
  }
  return nullptr;
}

// The panel buttons of `type`: the check box is the one of custom type.
std::vector<std::shared_ptr<MyButton>> buttonsOf(const ZBAlertView& panel,
                                                 uikit::ButtonType type = uikit::ButtonType::kSystem) {
  std::vector<std::shared_ptr<MyButton>> buttons;
  for (const std::shared_ptr<uikit::View>& view : boxOf(panel).subviews()) {
    auto button = std::dynamic_pointer_cast<MyButton>(view);
    if (button && button->buttonType() == type) {
      buttons.push_back(button);
    }
  }
  return buttons;
}

class ZBAlertViewTest : public UiHelperTest {
 protected:
  // The panels on the key window.
  std::vector<ZBAlertView*> panelsOnScreen() const {
    std::vector<ZBAlertView*> panels;
    for (const std::shared_ptr<uikit::View>& view : window_->subviews()) {
      if (auto* panel = dynamic_cast<ZBAlertView*>(view.get())) {
        panels.push_back(panel);
      }
    }
    return panels;
  }

  // The message of the only panel on screen, or "" when there is not exactly one.
  std::string shownMessage() const {
    return panelsOnScreen().size() == 1 ? panelsOnScreen()[0]->message() : "";
  }

  std::shared_ptr<RecordingDelegate> delegate_ = std::make_shared<RecordingDelegate>();
};

TEST_F(ZBAlertViewTest, PanelsComeUpOneAtATimeInTheOrderShown) {
  ZBAlertView::showAlertWithMessage("first", {"OK"}, delegate_);
  ZBAlertView::showAlertWithMessage("second", {"取消", "确定"}, delegate_);
  ZBAlertView::showAlertWithMessage("third", {"OK"}, delegate_);
  EXPECT_EQ(ZBAlertView::queuedPanels().size(), 3u);
  EXPECT_EQ(shownMessage(), "first");
  buttonsOf(*panelsOnScreen().at(0))[0]->performTap();
  EXPECT_EQ(shownMessage(), "second");
  buttonsOf(*panelsOnScreen().at(0))[1]->performTap();
  buttonsOf(*panelsOnScreen().at(0))[0]->performTap();
  nextTurn();
  EXPECT_TRUE(panelsOnScreen().empty());
  EXPECT_FALSE(ZBAlertView::isShowingPanel());
  EXPECT_EQ(delegate_->events, (std::vector<std::string>{"clicked OK #0 on first", "dismissed first",
                                                         "clicked 确定 #1 on second", "dismissed second",
                                                         "clicked OK #0 on third", "dismissed third"}));
  ZBAlertView::showAlertWithMessage("fourth", {"OK"}, delegate_);
  EXPECT_EQ(shownMessage(), "fourth");
}

TEST_F(ZBAlertViewTest, SessionNumbersNeverRepeatSoDismissalReachesThePanelMeant) {
  std::vector<std::int64_t> sessions;
  for (int i = 0; i < 50; ++i) {
    sessions.push_back(ZBAlertView::showAlertWithMessage("panel " + std::to_string(i), {"OK"}, delegate_));
  }
  for (std::size_t i = 1; i < sessions.size(); ++i) {
    EXPECT_GT(sessions[i], sessions[i - 1]);
  }
  ZBAlertView::dismissAlertView(sessions[1]);
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"dismissed panel 1"});
  EXPECT_EQ(shownMessage(), "panel 0");
  EXPECT_EQ(ZBAlertView::queuedPanels().size(), 49u);
  ZBAlertView::dismissAlertView(-5);
  EXPECT_EQ(ZBAlertView::queuedPanels().size(), 49u);
}

TEST_F(ZBAlertViewTest, DismissingAPanelNotOnScreenLeavesTheShownOneShowing) {
  ZBAlertView::showAlertWithMessage("shown", {"OK"}, delegate_);
  const std::int64_t waiting = ZBAlertView::showAlertWithMessage("waiting", {"OK"}, delegate_);
  // Without a key window to put it back on, the shown panel must not be forgotten by a dismissal meant
  // for another: neither the one waiting behind it nor a late one for a panel already gone.
  uikit::Application::sharedApplication().resetForTesting();
  ZBAlertView::dismissAlertView(waiting);
  EXPECT_TRUE(ZBAlertView::isShowingPanel());
  ZBAlertView::dismissAlertView(waiting);
  EXPECT_TRUE(ZBAlertView::isShowingPanel());
  EXPECT_EQ(shownMessage(), "shown");

  window_->makeKeyAndVisible();
  ZBAlertView::showAlertWithMessage("next", {"OK"}, delegate_);
  EXPECT_EQ(shownMessage(), "shown") << "the next panel waits rather than covering the shown one";
  buttonsOf(*panelsOnScreen().at(0))[0]->performTap();
  EXPECT_EQ(shownMessage(), "next");
  EXPECT_EQ(delegate_->events,
            (std::vector<std::string>{"dismissed waiting", "clicked OK #0 on shown", "dismissed shown"}));
}

TEST_F(ZBAlertViewTest, TheBoxIsLaidOutForItsButtonsAndCheckBox) {
  // Two buttons overlap across the bottom of the box.
  ZBAlertView::showAlertWithMessage("two buttons", {"取消", "确定"}, delegate_);
  const ZBAlertView* panel = panelsOnScreen().at(0);
  EXPECT_EQ(panel->frame(), window_->bounds());
  EXPECT_EQ(boxOf(*panel).frame().size, (uikit::Size{270, 170}));
  EXPECT_EQ(boxOf(*panel).center(), panel->center());
  const std::vector<std::shared_ptr<MyButton>> buttons = buttonsOf(*panel);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[0]->frame(), uikit::Rect(-1, 125, 137, 45));
  EXPECT_EQ(buttons[1]->frame(), uikit::Rect(135, 125, 137, 45));
  EXPECT_EQ(labelOf(*panel)->frame(), uikit::Rect(20, 20, 230, 85));

  // Without titles the message fills the box; without a check box title the check box has no height.
  ZBAlertView::resetForTesting();
  ZBAlertView::showAlertWithMessage("no buttons", std::vector<std::string>{}, delegate_);
  EXPECT_TRUE(buttonsOf(*panelsOnScreen().at(0)).empty());
  EXPECT_EQ(labelOf(*panelsOnScreen().at(0))->frame(), uikit::Rect(20, 20, 230, 130));
  ZBAlertView::resetForTesting();
  ZBAlertView::showAlertWithMessage("message", std::nullopt, {"OK"}, delegate_);
  EXPECT_EQ(buttonsOf(*panelsOnScreen().at(0), uikit::ButtonType::kCustom).at(0)->frame().size.height, 0);
  EXPECT_EQ(labelOf(*panelsOnScreen().at(0))->frame(), uikit::Rect(10, 20, 250, 95));
}

TEST_F(ZBAlertViewTest, TheCheckBoxIsReadAsTheRememberedChoice) {
  ZBAlertView::showAlertWithMessage("当前为非WiFi网络", std::optional<std::string>("记住我的选择"),
                                    {"取消", "继续"}, delegate_);
  const ZBAlertView& panel = *panelsOnScreen().at(0);
  std::shared_ptr<MyButton> checkBox = buttonsOf(panel, uikit::ButtonType::kCustom).at(0);
  EXPECT_EQ(checkBox->frame(), uikit::Rect(0, 95, 270, 20));
  EXPECT_EQ(checkBox->currentImage()->name(), "icon_selectorDeselect");
  EXPECT_EQ(buttonsOf(panel).at(0)->frame().size.height, 35);
  EXPECT_NE(uikit::Driver::screenText().find("[记住我的选择]\n"), std::string::npos)
      << uikit::Driver::screenText();
  checkBox->performTap();
  EXPECT_TRUE(panel.switchSave());
  EXPECT_EQ(checkBox->currentImage()->name(), "icon_selectorSelected");
  EXPECT_NE(uikit::Driver::screenText().find("[记住我的选择] (selected)"), std::string::npos)
      << "the screen shows the box ticked";
  checkBox->performTap();
  EXPECT_EQ(uikit::Driver::screenText().find("(selected)"), std::string::npos) << "and unticked again";
  checkBox->performTap();
  buttonsOf(panel).at(1)->performTap();
  EXPECT_EQ(delegate_->events.at(0), "clicked 继续 #1 on 当前为非WiFi网络 (ticked)");
}

TEST_F(ZBAlertViewTest, TheNetworkPanelJoinsOnlyAnEmptyQueue) {
  ZBAlertView::showAlertWithMessage("busy", {"OK"}, delegate_);
  ZBAlertView::showAlertWithNetworkInWorking();
  EXPECT_EQ(ZBAlertView::queuedPanels().size(), 1u);
  ZBAlertView::resetForTesting();
  const std::int64_t session = ZBAlertView::showAlertWithNetworkInWorking();
  ASSERT_EQ(panelsOnScreen().size(), 1u);
  EXPECT_TRUE(panelsOnScreen()[0]->isNetFlog());
  EXPECT_EQ(boxOf(*panelsOnScreen()[0]).frame().size, (uikit::Size{100, 100}));
  ZBAlertView::dismissAlertView(session);
  EXPECT_TRUE(panelsOnScreen().empty());
}

TEST_F(ZBAlertViewTest, APanelWithAViewDismissesItselfOnTime) {
  auto picture = std::make_shared<uikit::View>(uikit::Rect(0, 0, 40, 40));
  ZBAlertView::showAlertWithMessage("saved", picture, ZBAlertView::Arrangement::kViewAbove, 1.5, delegate_);
  ASSERT_EQ(panelsOnScreen().size(), 1u);
  EXPECT_EQ(picture->superview(), &boxOf(*panelsOnScreen()[0]));
  EXPECT_EQ(picture->frame().origin.y, 20);
  advance(std::chrono::milliseconds(1400));
  EXPECT_EQ(panelsOnScreen().size(), 1u);
  advance(std::chrono::milliseconds(100));
  EXPECT_TRUE(panelsOnScreen().empty());
  // A panel with a view carries its text only in its label.
  EXPECT_EQ(delegate_->events, std::vector<std::string>{"dismissed "});
}

TEST_F(ZBAlertViewTest, WithoutAKeyWindowPanelsWaitForOne) {
  window_.reset();
  uikit::Application::sharedApplication().resetForTesting();
  ZBAlertView::showAlertWithMessage("waiting", {"OK"}, delegate_);
  EXPECT_FALSE(ZBAlertView::isShowingPanel());
  window_ = std::make_shared<uikit::Window>();
  window_->makeKeyAndVisible();
  ZBAlertView::showAlertWithMessage("next", {"OK"}, delegate_);
  EXPECT_EQ(shownMessage(), "waiting");
}

}  // namespace

}  // namespace app
