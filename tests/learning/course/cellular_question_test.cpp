// The Wi-Fi question of the lesson playback screen, driven as a finger would against the sample back end:
// one question at a time, about the lesson the tree marks and the player names, answered once.

#include <gtest/gtest.h>

#include "app/helpers/ZBAlertView.h"
#include "app/session/QMUser.h"
#include "learning/course/QMCommonTreeCell.h"
#include "learning/course/listen_test_util.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/driver/Driver.h"

namespace learning::listentest {
namespace {

class CellularQuestionTest : public ListenScreenTest {
 protected:
  CellularQuestionTest() {
    app::QMUser::sharedInstance()->setOnlyWifiPlay(true);
    app::QMUser::sharedInstance()->setKeepRememberPlay(false);
  }

  // The names of the rows the tree marks as playing.
  std::vector<std::string> markedLessons() const {
    std::vector<std::string> marked;
    const std::shared_ptr<TRTreeView>& tree = screen_->myTreeView();
    for (std::int64_t row = 0; row < tree->numberOfRowsInSection(0); ++row) {
      const auto cell =
          std::dynamic_pointer_cast<QMCommonTreeCell>(tree->cellForRowAtIndexPath(uikit::IndexPath{0, row}));
      if (cell && cell->visibleText() == "▶") {
        marked.push_back(cell->nameLabel()->text());
      }
    }
    return marked;
  }
  // Chooses the lesson `name` while the question is open. The question's panel covers the list, so a finger
  // cannot reach the row and the driver says so; the choice is made the way the screen's own code makes one.
  void chooseBehindTheQuestion(const std::string& name) const {
    const ns::Status refused = uikit::Driver::selectRow(name);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().code(), uikit::Driver::kCovered);
    EXPECT_NE(refused.error().localizedDescription().find(QMListenController::kCellularQuestion),
              std::string::npos)
        << refused.error().localizedDescription();
    const std::shared_ptr<TRTreeView>& tree = screen_->myTreeView();
    for (std::int64_t row = 0; row < tree->numberOfRowsInSection(0); ++row) {
      const auto cell =
          std::dynamic_pointer_cast<QMCommonTreeCell>(tree->cellForRowAtIndexPath(uikit::IndexPath{0, row}));
      if (cell && cell->nameLabel()->text() == name) {
        tree->tapRowAtIndexPath(uikit::IndexPath{0, row});
        return;
      }
    }
    FAIL() << "no row " << name;
  }
  // Whether the screen shows the question, and only one panel is queued.
  static bool asksOnce() {
    return app::ZBAlertView::queuedPanels().size() == 1 &&
           uikit::Driver::screenText().find(QMListenController::kCellularQuestion) != std::string::npos;
  }
  // The title the player shows.
  std::string playerTitle() const { return player()->navigationBar()->title(); }
  static bool showsLoading() { return uikit::Driver::screenText().find("加载中") != std::string::npos; }
};

TEST_F(CellularQuestionTest, ANewChoiceReplacesTheOpenQuestionAndTheMarkFollowsTheLessonAskedAbout) {
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(runUntil([&] { return screen_->alertTag() == QMListenController::kQuestionBeforePlay; }));
  EXPECT_TRUE(asksOnce());
  EXPECT_EQ(markedLessons(), std::vector<std::string>{"政治导学课\n讲师：陈海涛"});

  chooseBehindTheQuestion("物质与意识");
  EXPECT_TRUE(asksOnce()) << "the open question is asked about the new choice, not stacked";
  EXPECT_EQ(markedLessons(), std::vector<std::string>{"物质与意识"});
  EXPECT_EQ(playerTitle(), "物质与意识");

  ASSERT_TRUE(uikit::Driver::tap("取消").ok());
  EXPECT_TRUE(app::ZBAlertView::queuedPanels().empty());
  EXPECT_EQ(screen_->alertTag(), QMListenController::kNoQuestion);
  EXPECT_EQ(markedLessons(), std::vector<std::string>{"物质与意识"});
  EXPECT_EQ(playerTitle(), "物质与意识") << "the title names the marked lesson, not the one before";
  EXPECT_EQ(player()->progressSec(), 0u);
  EXPECT_FALSE(showsLoading()) << "nothing loads";
  EXPECT_EQ(player()->player(), nullptr);
}

TEST_F(CellularQuestionTest, GoingOnTakesOneAnswerAndTheBoxShowsItsState) {
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(playUntilPicture());
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  ASSERT_EQ(screen_->alertTag(), QMListenController::kQuestionAfterSwitch);
  EXPECT_FALSE(showsLoading()) << "the stopped play shows no spinner";

  chooseBehindTheQuestion("联系与发展");
  chooseBehindTheQuestion("世界的物质统一性");
  EXPECT_TRUE(asksOnce());
  EXPECT_EQ(screen_->alertTag(), QMListenController::kQuestionBeforePlay);
  EXPECT_EQ(markedLessons(), std::vector<std::string>{"世界的物质统一性"});

  ASSERT_TRUE(uikit::Driver::tap(QMListenController::kRememberChoice).ok());
  EXPECT_NE(uikit::Driver::screenText().find("[记住我的选择] (selected)"), std::string::npos)
      << uikit::Driver::screenText();
  ASSERT_TRUE(uikit::Driver::tap("继续播放").ok());
  EXPECT_TRUE(app::ZBAlertView::queuedPanels().empty()) << "one answer ends the question";
  ASSERT_TRUE(playUntilPicture());
  EXPECT_TRUE(playsTheChosenLesson());
  EXPECT_EQ(markedLessons(), std::vector<std::string>{"世界的物质统一性"});
  EXPECT_EQ(playerTitle(), "世界的物质统一性");
  EXPECT_TRUE(app::QMUser::sharedInstance()->keepRememberPlay());
}

TEST_F(CellularQuestionTest, AChoiceThatNeedsNoQuestionWithdrawsTheOpenOne) {
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(runUntil([&] { return screen_->alertTag() == QMListenController::kQuestionBeforePlay; }));
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWiFi);
  chooseBehindTheQuestion("物质与意识");
  EXPECT_TRUE(app::ZBAlertView::queuedPanels().empty());
  EXPECT_EQ(screen_->alertTag(), QMListenController::kNoQuestion);
  ASSERT_TRUE(playUntilPicture());
  EXPECT_TRUE(playsTheChosenLesson());
  EXPECT_EQ(markedLessons(), std::vector<std::string>{"物质与意识"});
}

TEST_F(CellularQuestionTest, LogoutTakesTheOpenQuestionAwayWithTheScreen) {
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(runUntil([&] { return screen_->alertTag() == QMListenController::kQuestionBeforePlay; }));
  ns::NotificationCenter::defaultCenter().postNotificationName(app::kQMUserLogoutNotification);
  ASSERT_TRUE(runUntil([&] { return root_->presentedViewController() == nullptr; }));
  EXPECT_TRUE(app::ZBAlertView::queuedPanels().empty());
  EXPECT_FALSE(app::ZBAlertView::isShowingPanel());
  EXPECT_EQ(uikit::Driver::screenText().find(QMListenController::kCellularQuestion), std::string::npos)
      << uikit::Driver::screenText();
  EXPECT_EQ(screen_->alertTag(), QMListenController::kNoQuestion);
}

}  // namespace
}  // namespace learning::listentest
