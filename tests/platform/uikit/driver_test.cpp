#include "platform/uikit/driver/Driver.h"

#include <chrono>
#include <tuple>
#include <vector>

#include "platform/uikit/app/Keyboard.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/controls/Button.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/gestures/PanGestureRecognizer.h"
#include "platform/uikit/gestures/TapGestureRecognizer.h"
#include "platform/uikit/storyboard/Outlet.h"
#include "sample_screens_test_util.h"
#include "uikit_test_util.h"

namespace uikit::testing {
namespace {

using ::testing::HasSubstr;

// Starts on the sign-in screen.
class DriverTest : public ScreenTest<QMSampleLoginController> {
 protected:
  static int codeOf(const ns::Status& status) { return static_cast<int>(status.error().code()); }
};

TEST_F(DriverTest, FindsViewsByVisibleTextOrIdentifier) {
  EXPECT_EQ(*Driver::findView("登录"), screen_->loginBtn);
  EXPECT_EQ(*Driver::findView("loginBtn"), screen_->loginBtn);
  EXPECT_EQ(*Driver::findView("请输入用户名"), screen_->userNameTF);
  EXPECT_EQ(*Driver::findView("直播"), screen_->kindSegment);

  auto pictureButton = std::make_shared<Button>(Rect(0, 0, 20, 20));
  pictureButton->setImage(Image::imageNamed("iconBack"), kControlStateNormal);
  screen_->view()->addSubview(pictureButton);
  EXPECT_EQ(*Driver::findView("iconBack"), pictureButton) << "a button without a title, by its picture";
  pictureButton->setTitle("返回", kControlStateNormal);
  EXPECT_FALSE(Driver::findView("iconBack").ok()) << "a titled button, by its title only";

  screen_->greeting->setHidden(true);
  const auto missing = Driver::findView("欢迎");
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().domain(), kDriverErrorDomain);
  EXPECT_EQ(missing.error().localizedDescription(), "There is no view with the text or identifier \"欢迎\".");
}

TEST_F(DriverTest, ANameMatchesATextWithTheBlanksAroundItTrimmedWhenNoTextMatchesExactly) {
  auto indented = std::make_shared<Label>(Rect(0, 0, 100, 20));
  indented->setText("    2018考研\u3000");
  screen_->view()->addSubview(indented);
  EXPECT_EQ(*Driver::findView("2018考研"), indented);
  EXPECT_EQ(*Driver::findView(" 2018考研 "), indented);
  EXPECT_FALSE(Driver::findView("  ").ok()) << "blanks alone name nothing";

  auto exact = std::make_shared<Label>(Rect(0, 30, 100, 20));
  exact->setText("2018考研");
  screen_->view()->addSubview(exact);
  EXPECT_EQ(*Driver::findView("2018考研"), exact) << "an exact match goes first, wherever it lies";

  auto list = std::make_shared<QMSampleListController>();
  list->subjects = {"  政治  ", "英语\n讲师：陈海涛"};
  showWindowWithRoot(list);
  ASSERT_TRUE(Driver::selectRow("政治").ok());
  ASSERT_TRUE(Driver::tap("英语\\n讲师：陈海涛").ok()) << "a row named by its text as the screen shows it";
  EXPECT_THAT(list->events, ElementsAre("select 0.0", "deselect 0.0", "select 0.1"));
}

TEST_F(DriverTest, TapWorksControlsAndTapRecognisersAsAFingerWouldUnlessDisabledOrUntouchable) {
  EXPECT_EQ(codeOf(Driver::tap("注册")), Driver::kDisabled);
  // A label lets the tap through to the screen's view, which does nothing with it.
  EXPECT_EQ(codeOf(Driver::tap("欢迎")), Driver::kNotTouchable);

  auto recognizer = std::make_shared<TapGestureRecognizer>();
  int recognised = 0;
  recognizer->addAction([&recognised](GestureRecognizer& tapped) {
    EXPECT_EQ(tapped.state(), GestureState::kRecognized);
    ++recognised;
  });
  screen_->greeting->setUserInteractionEnabled(true);
  screen_->greeting->addGestureRecognizer(recognizer);
  for (const char* name : {"欢迎", "登录", "rememberSwitch", "直播", "userNameTF"}) {
    ASSERT_TRUE(Driver::tap(name).ok()) << name;
  }
  EXPECT_EQ(recognised, 1);
  EXPECT_EQ(screen_->loginTaps, 1);
  EXPECT_TRUE(screen_->rememberSwitch->isOn());
  EXPECT_THAT(screen_->kinds, ElementsAre(1));
  EXPECT_TRUE(screen_->userNameTF->isFirstResponder());

  screen_->view()->setUserInteractionEnabled(false);
  EXPECT_EQ(codeOf(Driver::tap("登录")), Driver::kNotTouchable);
  EXPECT_EQ(screen_->loginTaps, 1);
}

TEST_F(DriverTest, AViewOnTheWindowThatTakesTouchesCoversWhatLiesUnderItsMiddle) {
  // A panel over the lower part of the screen, with a button of its own.
  auto panel = std::make_shared<View>(Rect(0, 150, 320, 300));
  auto title = std::make_shared<Label>(Rect(20, 10, 200, 20));
  title->setText("正在使用流量");
  panel->addSubview(title);
  auto close = std::make_shared<Button>(Rect(20, 200, 100, 44));
  close->setTitle("关闭", kControlStateNormal);
  panel->addSubview(close);
  window_->addSubview(panel);

  const ns::Status covered = Driver::tap("登录");
  ASSERT_FALSE(covered.ok());
  EXPECT_EQ(codeOf(covered), Driver::kCovered);
  EXPECT_EQ(covered.error().localizedDescription(),
            "\"登录\" is covered by the view showing \"正在使用流量\".");
  EXPECT_EQ(codeOf(Driver::tap("loginBtn")), Driver::kCovered) << "by its identifier as well";
  EXPECT_EQ(screen_->loginTaps, 0);
  ASSERT_TRUE(Driver::tap("直播").ok()) << "what the panel leaves free takes taps";
  ASSERT_TRUE(Driver::tap("关闭").ok()) << "the panel's own button takes taps";

  panel->setAccessibilityIdentifier("trafficPanel");
  EXPECT_EQ(Driver::tap("登录").error().localizedDescription(), "\"登录\" is covered by \"trafficPanel\".");

  panel->setUserInteractionEnabled(false);
  ASSERT_TRUE(Driver::tap("登录").ok()) << "a view that lets touches through covers nothing";
  panel->setUserInteractionEnabled(true);
  panel->setHidden(true);
  ASSERT_TRUE(Driver::tap("登录").ok()) << "nor does a hidden one";
  EXPECT_EQ(screen_->loginTaps, 2);

  // Within the screen, a view in front of another does not cover it: the screen's content lies under its own
  // bars.
  auto bar = std::make_shared<View>(Rect(0, 150, 320, 100));
  screen_->view()->addSubview(bar);
  ASSERT_TRUE(Driver::tap("登录").ok());
}

TEST_F(DriverTest, TypingGoesThroughTheFieldsDelegateAndRaisesTheKeyboard) {
  ASSERT_TRUE(Driver::type("userNameTF", "student").ok());
  ASSERT_TRUE(Driver::type("userPasswordTF", "secret").ok());
  EXPECT_EQ(codeOf(Driver::type("userNameTF", "refused")), Driver::kRefused);
  EXPECT_EQ(codeOf(Driver::type("登录", "x")), Driver::kNotTextInput);
  ASSERT_TRUE(Driver::pressReturn("userNameTF").ok());

  EXPECT_EQ(screen_->userNameTF->text(), "student");
  EXPECT_EQ(screen_->userPasswordTF->text(), "secret");
  EXPECT_EQ(screen_->returns, 1);
  EXPECT_TRUE(Keyboard::isVisible());
  EXPECT_THAT(Driver::screenText(), HasSubstr("field userPasswordTF: ••••••\n"));
}

TEST_F(DriverTest, AnAlertTakesEveryTouchUntilItIsAnswered) {
  auto answers = std::make_shared<RecordingAlertDelegate>();
  std::make_shared<AlertView>("更新提示", "检测到新版本", answers, "忽略",
                              std::vector<std::string>{"马上更新"})
      ->show();

  EXPECT_EQ(codeOf(Driver::tap("登录")), Driver::kAlertInTheWay);
  EXPECT_EQ(codeOf(Driver::goBack()), Driver::kAlertInTheWay);
  EXPECT_EQ(codeOf(Driver::answerAlert("稍后")), Driver::kNoSuchAlertButton);
  ASSERT_TRUE(Driver::tap("马上更新").ok());
  EXPECT_THAT(answers->events, ElementsAre("clicked 马上更新", "willDismiss 1"));
  EXPECT_EQ(codeOf(Driver::answerAlert("忽略")), Driver::kNoAlert);
  ASSERT_TRUE(Driver::tap("登录").ok());
  EXPECT_EQ(screen_->loginTaps, 1);
}

TEST_F(DriverTest, RowsAreSelectedAndSwipedAwayByTheirText) {
  auto list = std::make_shared<QMSampleListController>();
  showWindowWithRoot(list);
  ASSERT_TRUE(Driver::selectRow("英语").ok());
  ASSERT_TRUE(Driver::tap("政治").ok());
  ASSERT_TRUE(Driver::swipeDeleteRow("数学").ok());
  const auto events = list->events;
  EXPECT_THAT(events, ElementsAre("select 0.1", "deselect 0.1", "select 0.2", "commit 0.0"));
  EXPECT_THAT(list->subjects, ElementsAre("英语", "政治"));
  EXPECT_EQ(codeOf(Driver::selectRow("数学")), Driver::kNoSuchRow);

  list->subjectTable->setUserInteractionEnabled(false);
  EXPECT_EQ(codeOf(Driver::selectRow("英语")), Driver::kNotTouchable);
  EXPECT_EQ(list->events, events);
}

TEST_F(DriverTest, ASwipeUpRunsPastTheEndOfTheContentAndSettlesThere) {
  auto list = std::make_shared<QMSampleListController>();
  list->subjects.assign(30, "课程");
  showWindowWithRoot(list);
  ASSERT_TRUE(Driver::scrollToBottom("subjectTable").ok());
  // 30 rows: the first 60 high, the others 44; the table is 603 high.
  const int end = 60 + 29 * 44 - 603;
  EXPECT_THAT(list->events,
              ElementsAre("scroll " + std::to_string(end + static_cast<int>(Driver::kScrollBounce)),
                          "scroll " + std::to_string(end)));
  // At the end already, a swipe still bounces, and the delegate hears it.
  ASSERT_TRUE(Driver::scrollToBottom("subjectTable").ok());
  EXPECT_EQ(list->events.size(), 4u);

  // Content that shrinks under the offset pulls it back, so a shorter list shows its rows; content shorter
  // than the table stays at the top.
  list->subjects.assign(2, "课程");
  list->subjectTable->reloadData();
  EXPECT_EQ(list->subjectTable->visibleCells().size(), 2u);
  EXPECT_EQ(list->subjectTable->contentOffset().y, 0);
  list->events.clear();
  ASSERT_TRUE(Driver::scrollToBottom("subjectTable").ok());
  EXPECT_THAT(list->events,
              ElementsAre("scroll " + std::to_string(static_cast<int>(Driver::kScrollBounce)), "scroll 0"));

  // A finger on a row moves the table the row lies in.
  list->events.clear();
  ASSERT_TRUE(Driver::scrollToBottom("课程").ok());
  EXPECT_EQ(list->events.size(), 2u);
  list->subjectTable->setScrollEnabled(false);
  EXPECT_EQ(codeOf(Driver::scrollToBottom("subjectTable")), Driver::kNotScrollable);
}

TEST_F(DriverTest, APanOverAListMovesItsContentWithTheFingerWithinItsEnds) {
  auto list = std::make_shared<QMSampleListController>();
  list->subjects.assign(30, "课程");
  showWindowWithRoot(list);
  const double end = 60 + 29 * 44 - 603;
  ASSERT_TRUE(Driver::pan("subjectTable", Point{0, -300}, Driver::PanStart::kMiddle).ok());
  EXPECT_EQ(list->subjectTable->contentOffset().y, 300);
  ASSERT_TRUE(Driver::pan("课程", Point{0, -1000}, Driver::PanStart::kMiddle).ok());
  EXPECT_EQ(list->subjectTable->contentOffset().y, end) << "a finger on a row moves its list, to the end";
  EXPECT_EQ(list->subjectTable->indexPathForCell(*list->subjectTable->visibleCells().back())->row, 29);
  ASSERT_TRUE(Driver::pan("subjectTable", Point{0, 2000}, Driver::PanStart::kMiddle).ok());
  EXPECT_EQ(list->subjectTable->contentOffset().y, 0) << "and back to the top, not past it";

  list->subjectTable->setScrollEnabled(false);
  EXPECT_EQ(codeOf(Driver::pan("subjectTable", Point{0, -300}, Driver::PanStart::kMiddle)),
            Driver::kNotTouchable);
}

TEST_F(DriverTest, GoBackUsesTheLeftItemOrPopsTheStack) {
  auto first = std::make_shared<QMSampleListController>();
  auto navigation = std::make_shared<NavigationController>(first);
  showWindowWithRoot(navigation);
  EXPECT_EQ(codeOf(Driver::goBack()), Driver::kNothingToGoBackTo);

  navigation->pushViewController(std::make_shared<QMSampleLoginController>(), true);
  nextTurn();
  ASSERT_TRUE(Driver::goBack().ok());
  EXPECT_EQ(navigation->topViewController(), first);

  auto withLeftItem = std::make_shared<QMSampleLoginController>();
  auto item = std::make_shared<BarButtonItem>("关闭");
  item->setTarget(withLeftItem, &QMSampleLoginController::goBackAction);
  withLeftItem->navigationItem().setLeftBarButtonItem(item);
  navigation->pushViewController(withLeftItem, true);
  nextTurn();
  ASSERT_TRUE(Driver::goBack().ok());
  EXPECT_EQ(withLeftItem->backTaps, 1);
  EXPECT_EQ(navigation->topViewController(), withLeftItem);
}

TEST_F(DriverTest, GoBackTapsTheScreensOwnBackOrLeaveButtonShownOrHidden) {
  auto bar = std::make_shared<View>(Rect(0, 0, 375, 44));
  auto back = outlet(Driver::kBackButtonIdentifier, std::make_shared<Button>(Rect(0, 0, 44, 44)));
  int backTaps = 0;
  back->addAction([&backTaps](Control&) { ++backTaps; }, kControlEventTouchUpInside);
  bar->addSubview(back);
  screen_->view()->addSubview(bar);
  ASSERT_TRUE(Driver::goBack().ok());
  bar->setHidden(true);
  ASSERT_TRUE(Driver::goBack().ok()) << "controls that hide after a while still lead back";
  EXPECT_EQ(backTaps, 2);
  back->setEnabled(false);
  EXPECT_EQ(codeOf(Driver::goBack()), Driver::kDisabled);
  EXPECT_EQ(backTaps, 2);

  auto room = std::make_shared<QMSampleLoginController>();
  showWindowWithRoot(room);
  EXPECT_EQ(codeOf(Driver::goBack()), Driver::kNothingToGoBackTo);
  auto leave = outlet(Driver::kLeaveButtonIdentifier, std::make_shared<Button>(Rect(0, 0, 80, 44)));
  leave->setTitle("离开", kControlStateNormal);
  int leaveTaps = 0;
  leave->addAction([&leaveTaps](Control&) { ++leaveTaps; }, kControlEventTouchUpInside);
  room->view()->addSubview(leave);
  ASSERT_TRUE(Driver::goBack().ok());
  EXPECT_EQ(leaveTaps, 1);
}

TEST_F(DriverTest, APanMovesAFingerEvenlyFromWhereItStartsToWhereItEnds) {
  auto surface = outlet("surface", std::make_shared<View>(Rect(0, 100, 400, 200)));
  auto inside = std::make_shared<Label>(Rect(10, 10, 50, 20));
  inside->setText("画面");
  surface->addSubview(inside);
  auto pan = std::make_shared<PanGestureRecognizer>();
  std::vector<std::tuple<GestureState, Point, Point>> events;
  pan->addAction([&events, &pan](GestureRecognizer&) {
    events.emplace_back(pan->state(), pan->translationInView(nullptr), pan->locationInView(pan->view()));
  });
  surface->addGestureRecognizer(pan);
  screen_->view()->addSubview(surface);

  ASSERT_TRUE(Driver::pan("画面", Point{0, -12}, Driver::PanStart::kRightHalf).ok()) << "from a view inside";
  ASSERT_EQ(events.size(), 5u) << "began, three steps of at most 5 points, ended";
  EXPECT_EQ(std::get<0>(events.front()), GestureState::kBegan);
  EXPECT_EQ(std::get<2>(events.front()), (Point{300, 100})) << "the middle of the right half";
  EXPECT_EQ(std::get<1>(events[1]), (Point{0, -5}));
  EXPECT_EQ(std::get<1>(events[3]), (Point{0, -12}));
  EXPECT_EQ(pan->velocityInView(nullptr), (Point{}));
  EXPECT_EQ(std::get<0>(events.back()), GestureState::kEnded);
  EXPECT_EQ(std::get<2>(events.back()), (Point{300, 88}));

  events.clear();
  ASSERT_TRUE(Driver::pan("surface", Point{-20, 0}, Driver::PanStart::kLeftHalf).ok());
  EXPECT_EQ(std::get<2>(events.front()), (Point{100, 100}));
  EXPECT_EQ(events.size(), 6u);

  pan->setEnabled(false);
  EXPECT_EQ(codeOf(Driver::pan("surface", Point{10, 0}, Driver::PanStart::kMiddle)), Driver::kNotTouchable);
}

// A bar shows a custom-view item as the view itself, which a finger taps; whoever observes the right item
// hears of every new one.
TEST_F(DriverTest, ABarShowsACustomViewItemAndObserversHearOfEachNewRightItem) {
  auto navigation = std::make_shared<NavigationController>(std::make_shared<ViewController>());
  screen_->presentViewController(navigation, false);
  nextTurn();
  NavigationItem& item = navigation->topViewController()->navigationItem();
  int changes = 0;
  ns::KeyValueObservation observation =
      item.observe(NavigationItem::kRightBarButtonItemKey, [&](const ns::KeyValueChange&) { ++changes; });
  int taps = 0;
  auto button = std::make_shared<Button>();
  button->setTitle("分享", kControlStateNormal);
  button->addAction([&](Control&) { ++taps; }, kControlEventTouchUpInside);
  item.setRightBarButtonItem(std::make_shared<BarButtonItem>(button));
  EXPECT_EQ(changes, 1);
  ASSERT_TRUE(Driver::tap("分享").ok()) << Driver::screenText();
  EXPECT_EQ(taps, 1);
  item.setRightBarButtonItem(nullptr);
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(Driver::findView("分享").ok());
  observation.invalidate();
  item.setTitle("标题");
  item.setRightBarButtonItem(nullptr);
  EXPECT_EQ(changes, 2);
}

TEST_F(DriverTest, WaitForTextRunsTheLoopUntilTheTextShowsOrTimesOut) {
  ns::RunLoop::main().post([label = screen_->greeting] { label->setText("加载完成"); });
  EXPECT_TRUE(Driver::waitForText("加载完成", std::chrono::seconds(5)).ok());
  EXPECT_EQ(codeOf(Driver::waitForText("从不出现", std::chrono::milliseconds(10))), Driver::kTimedOut);
}

// A view that paints a live picture of one pixel, as a video view does.
class LiveView : public View {
 public:
  explicit LiveView(std::uint8_t red) : red_(red) {}
  std::shared_ptr<const Image> livePicture() const override {
    return Image::imageWithRGBAPixels(1, 1, {red_, 0, 0, 255});
  }

 private:
  std::uint8_t red_;
};

TEST_F(DriverTest, LivePictureIsTheFirstShownViewsOnScreen) {
  const auto none = Driver::livePicture();
  ASSERT_FALSE(none.ok()) << "image views show resources, not live pictures";
  EXPECT_EQ(none.error().code(), Driver::kNoLivePicture);

  auto behind = std::make_shared<LiveView>(10);
  auto inFront = std::make_shared<LiveView>(20);
  screen_->view()->addSubview(behind);
  window_->addSubview(inFront);
  ASSERT_TRUE(Driver::livePicture().ok());
  EXPECT_EQ((*Driver::livePicture())->rgbaPixels().front(), 20) << "views on top come first";
  inFront->setHidden(true);
  EXPECT_EQ((*Driver::livePicture())->rgbaPixels().front(), 10);
  behind->setAlpha(0);
  EXPECT_FALSE(Driver::livePicture().ok());
}

}  // namespace
}  // namespace uikit::testing
