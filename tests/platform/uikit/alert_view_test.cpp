#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/render/ScreenText.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

using ::testing::ElementsAre;

class RecordingAlertDelegate : public AlertViewDelegate {
 public:
  void alertViewClickedButtonAtIndex(AlertView& alert, std::int64_t index) override {
    events.push_back("clicked " + alert.buttonTitleAtIndex(index));
  }
  void alertViewWillDismissWithButtonIndex(AlertView&, std::int64_t index) override {
    events.push_back("willDismiss " + std::to_string(index));
  }
  void alertViewDidDismissWithButtonIndex(AlertView&, std::int64_t index) override {
    events.push_back("didDismiss " + std::to_string(index));
  }
  std::vector<std::string> events;
};

class AlertViewTest : public UikitTest {
 protected:
  std::shared_ptr<AlertView> makeAlert(std::string title, std::optional<std::string> cancel,
                                       std::vector<std::string> others) {
    return std::make_shared<AlertView>(std::move(title), "message", delegate_, std::move(cancel),
                                       std::move(others));
  }

  std::shared_ptr<RecordingAlertDelegate> delegate_ = std::make_shared<RecordingAlertDelegate>();
};

TEST_F(AlertViewTest, NumbersTheCancelButtonFirst) {
  auto withCancel = makeAlert("a", "忽略", {"马上更新"});
  auto withoutCancel = makeAlert("b", std::nullopt, {"马上更新"});

  EXPECT_EQ(withCancel->cancelButtonIndex(), 0);
  EXPECT_EQ(withCancel->buttonTitleAtIndex(1), "马上更新");
  EXPECT_EQ(withoutCancel->cancelButtonIndex(), -1);
  EXPECT_EQ(withoutCancel->buttonTitleAtIndex(0), "马上更新");
}

TEST_F(AlertViewTest, ATapReportsTheButtonThenDismissesWithDidDismissOnTheNextTurn) {
  auto alert = makeAlert("更新提示", "忽略", {"马上更新"});
  alert->show();
  alert->show();
  EXPECT_EQ(AlertView::visibleAlerts().size(), 1u);

  alert->tapButtonAtIndex(1);
  EXPECT_THAT(delegate_->events, ElementsAre("clicked 马上更新", "willDismiss 1"));
  EXPECT_FALSE(alert->isVisible());

  nextTurn();
  EXPECT_THAT(delegate_->events, ElementsAre("clicked 马上更新", "willDismiss 1", "didDismiss 1"));
}

TEST_F(AlertViewTest, KeepsTheListOfAlertsShownWithTheLastOnTop) {
  auto first = makeAlert("first", "确认", {});
  auto second = makeAlert("second", "确认", {});
  first->show();
  second->show();

  EXPECT_THAT(AlertView::visibleAlerts(), ElementsAre(first, second));
  second->dismissWithClickedButtonIndex(0, false);
  EXPECT_THAT(AlertView::visibleAlerts(), ElementsAre(first));
  EXPECT_THAT(AlertView::shownAlerts(), ElementsAre(first, second));
  EXPECT_THAT(delegate_->events, ElementsAre("willDismiss 0"));
}

TEST_F(AlertViewTest, ScreenTextLeavesOutEmptyParts) {
  auto alert = std::make_shared<AlertView>("", "课程未购买", std::weak_ptr<AlertViewDelegate>(), "确认",
                                           std::vector<std::string>{});
  ScreenText text;
  alert->renderInto(text);
  EXPECT_EQ(text.str(), "alert: 课程未购买 | [确认]\n");
}

}  // namespace
}  // namespace uikit::testing
