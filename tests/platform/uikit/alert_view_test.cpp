#include "platform/uikit/alerts/AlertView.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

class AlertViewTest : public UikitTest {
 protected:
  std::shared_ptr<AlertView> makeAlert(std::optional<std::string> cancel) {
    return std::make_shared<AlertView>("更新提示", "message", delegate_, std::move(cancel),
                                       std::vector<std::string>{"马上更新"});
  }

  std::shared_ptr<RecordingAlertDelegate> delegate_ = std::make_shared<RecordingAlertDelegate>();
};

TEST_F(AlertViewTest, KeepsAlertsLastOnTopAndATapDismissesWithDidDismissOnTheNextTurn) {
  auto first = makeAlert("忽略");
  auto second = makeAlert(std::nullopt);
  EXPECT_EQ(first->cancelButtonIndex(), 0);
  EXPECT_EQ(second->cancelButtonIndex(), -1);
  EXPECT_EQ(second->buttonTitleAtIndex(0), "马上更新");
  first->show();
  second->show();
  second->show();
  EXPECT_THAT(AlertView::visibleAlerts(), ElementsAre(first, second));

  second->dismissWithClickedButtonIndex(0, false);
  EXPECT_THAT(AlertView::visibleAlerts(), ElementsAre(first));
  EXPECT_THAT(AlertView::shownAlerts(), ElementsAre(first, second));
  first->tapButtonAtIndex(1);
  EXPECT_FALSE(first->isVisible());
  EXPECT_THAT(delegate_->events, ElementsAre("willDismiss 0", "clicked 马上更新", "willDismiss 1"));
  nextTurn();
  EXPECT_THAT(delegate_->events, ElementsAre("willDismiss 0", "clicked 马上更新", "willDismiss 1",
                                             "didDismiss 0", "didDismiss 1"));
}

}  // namespace
}  // namespace uikit::testing
