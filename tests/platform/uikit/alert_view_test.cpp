#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/uikit/alerts/AlertView.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

using ::testing::ElementsAre;

class AlertViewTest : public UikitTest {
 protected:
  std::shared_ptr<AlertView> makeAlert(std::string title, std::optional<std::string> cancel,
                                       std::vector<std::string> others) {
    return std::make_shared<AlertView>(std::move(title), "message", delegate_, std::move(cancel),
                                       std::move(others));
  }

  std::shared_ptr<RecordingAlertDelegate> delegate_ = std::make_shared<RecordingAlertDelegate>();
};

TEST_F(AlertViewTest, ATapReportsTheButtonAfterTheCancelOneThenDismissesWithDidDismissOnTheNextTurn) {
  auto alert = makeAlert("更新提示", "忽略", {"马上更新"});
  EXPECT_EQ(alert->cancelButtonIndex(), 0);
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
  auto second = makeAlert("second", std::nullopt, {"马上更新"});
  EXPECT_EQ(second->cancelButtonIndex(), -1);
  EXPECT_EQ(second->buttonTitleAtIndex(0), "马上更新");
  first->show();
  second->show();

  EXPECT_THAT(AlertView::visibleAlerts(), ElementsAre(first, second));
  second->dismissWithClickedButtonIndex(0, false);
  EXPECT_THAT(AlertView::visibleAlerts(), ElementsAre(first));
  EXPECT_THAT(AlertView::shownAlerts(), ElementsAre(first, second));
  EXPECT_THAT(delegate_->events, ElementsAre("willDismiss 0"));
}

}  // namespace
}  // namespace uikit::testing
