#include "platform/uikit/views/View.h"

#include "platform/uikit/app/Keyboard.h"
#include "platform/uikit/controls/TextField.h"
#include "platform/uikit/views/ScrollView.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

// Counts its layout and drawing passes and tells when its window changes.
class CountingView : public View {
 public:
  using View::View;
  void layoutSubviews() override { ++layouts; }
  void drawRect(Rect) override { ++draws; }
  void didMoveToWindow() override { windows.push_back(window() != nullptr); }
  int layouts = 0;
  int draws = 0;
  std::vector<bool> windows;
};

using ViewTest = ScreenTest<>;

TEST_F(ViewTest, KeepsSubviewsInBackToFrontOrder) {
  auto parent = std::make_shared<View>();
  auto a = std::make_shared<View>();
  auto b = std::make_shared<View>();
  auto c = std::make_shared<View>();
  parent->addSubview(a);
  parent->addSubview(b);
  parent->insertSubviewAtIndex(c, 0);
  EXPECT_THAT(parent->subviews(), ElementsAre(c, a, b));
  parent->bringSubviewToFront(*c);
  parent->insertSubviewBelowSubview(b, *a);
  EXPECT_THAT(parent->subviews(), ElementsAre(b, a, c));
  a->removeFromSuperview();
  EXPECT_EQ(a->superview(), nullptr);
  EXPECT_THAT(parent->subviews(), ElementsAre(b, c));

  auto other = std::make_shared<View>();
  other->addSubview(b);
  EXPECT_THAT(parent->subviews(), ElementsAre(c));
  EXPECT_EQ(b->superview(), other.get());
}

TEST_F(ViewTest, ConvertsRectanglesThroughFramesAndScrollOffsets) {
  auto root = std::make_shared<View>(Rect(0, 0, 375, 667));
  auto scroll = std::make_shared<ScrollView>(Rect(0, 64, 375, 603));
  auto row = std::make_shared<View>(Rect(10, 200, 100, 44));
  root->addSubview(scroll);
  scroll->addSubview(row);
  scroll->setContentOffset(Point{0, 150});
  EXPECT_EQ(row->convertRectToView(Rect(0, 0, 100, 44), root.get()), Rect(10, 114, 100, 44));
  EXPECT_EQ(root->convertRectToView(Rect(10, 114, 100, 44), row.get()), Rect(0, 0, 100, 44));
  EXPECT_EQ(row->convertPointToView(Point{0, 0}, nullptr), (Point{10, 114}));
}

TEST_F(ViewTest, TheWindowLaysOutAndDrawsMarkedViewsOnceOnTheNextTurnAndAnimationsCompleteThen) {
  auto view = std::make_shared<CountingView>(Rect(0, 0, 10, 10));
  window_->addSubview(view);
  EXPECT_THAT(view->windows, ElementsAre(true));
  EXPECT_EQ(view->layouts, 0);
  nextTurn();
  EXPECT_EQ(view->layouts, 1);
  EXPECT_EQ(view->draws, 1);

  view->setNeedsLayout();
  view->setNeedsLayout();
  view->setFrame(Rect(0, 0, 20, 20));
  bool completed = false;
  View::animateWithDuration(
      0.8, [&] { view->setAlpha(0); }, [&](bool finished) { completed = finished; });
  EXPECT_EQ(view->alpha(), 0);
  EXPECT_FALSE(completed);
  nextTurn();
  EXPECT_TRUE(completed);
  EXPECT_EQ(view->layouts, 2);
  EXPECT_EQ(view->draws, 1);

  view->removeFromSuperview();
  EXPECT_THAT(view->windows, ElementsAre(true, false));
}

TEST_F(ViewTest, TheFirstResponderRaisesTheKeyboardAndLeavingTheScreenLowersIt) {
  NotificationLog notices({"Keyboard"});
  auto first = std::make_shared<TextField>();
  auto second = std::make_shared<TextField>();
  window_->addSubview(first);
  window_->addSubview(second);
  EXPECT_TRUE(first->becomeFirstResponder());
  EXPECT_TRUE(second->becomeFirstResponder());
  EXPECT_FALSE(first->isFirstResponder());
  EXPECT_FALSE(std::make_shared<View>()->becomeFirstResponder());
  nextTurn();
  second->removeFromSuperview();
  nextTurn();

  EXPECT_EQ(View::currentFirstResponder(), nullptr);
  EXPECT_FALSE(Keyboard::isVisible());
  EXPECT_THAT(notices.names, ElementsAre(kKeyboardWillShowNotification, kKeyboardDidShowNotification,
                                         kKeyboardWillHideNotification, kKeyboardDidHideNotification));
}

}  // namespace
}  // namespace uikit::testing
