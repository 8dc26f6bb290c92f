// The subject screen driven as a finger drives it, against the sample back end on loopback.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/base/QMBaseNavigationController.h"
#include "app/course/QMCourseDataModel.h"
#include "app/course/QMLiveGroupModel.h"
#include "app/session/QMUser.h"
#include "app/settings/QMMoreStoryboard.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMSeason.h"
#include "app/store/QMStage.h"
#include "learning/course/QMListenController.h"
#include "learning/live/QMLiveDetailController.h"
#include "learning/subject/QMSubjectCell.h"
#include "learning/subject/QMSubjectTree.h"
#include "learning/subject/subject_test_util.h"
#include "platform/uikit/alerts/AlertView.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/driver/Driver.h"
#include "ui/refresh/ScrollViewRefresh.h"

namespace learning::subjecttest {
namespace {

using uikit::Driver;

constexpr char kPolitics[] = "思想政治理论";

TEST_F(SubjectScreenTest, ShowsTheSummaryTheSeasonAndTheSubjectsInReplyOrder) {
  ASSERT_TRUE(launch());
  const auto shown = screen();
  EXPECT_EQ(shown->dayLabel()->text(), "98");
  EXPECT_EQ(shown->subjectNumberLabel()->text(), "5");
  EXPECT_EQ(shown->progressLabel()->text(),
            app::QMUser::sharedInstance()->onLearningProcess().value_or("") + "%");
  EXPECT_FALSE(shown->seasonBtn()->isHidden()) << "two seasons";
  EXPECT_EQ(shown->seasonBtn()->currentTitle(), "2017考研");
  const auto& subjects = shown->myTreeView()->nodeData()->child();
  ASSERT_EQ(subjects.size(), 5u);
  EXPECT_EQ(QMSubjectTree::subjectOf(*subjects[0])->subjectID(), "101");
  EXPECT_EQ(QMSubjectTree::subjectOf(*subjects[4])->subjectID(), "105");
  EXPECT_TRUE(screenShows("英语一")) << screenText();
  EXPECT_TRUE(screenShows("单元  ")) << screenText();
  EXPECT_TRUE(shown->noSubjectView()->isHidden());
  EXPECT_TRUE(shown->noLiveView()->isHidden()) << "the course tab shows";
}

TEST_F(SubjectScreenTest, AnAvailableSubjectOpensToItsPlayedRowAndStagesWhichOpenThePlaybackScreen) {
  ASSERT_TRUE(launch());
  ASSERT_TRUE(Driver::tap(kPolitics).ok());
  ASSERT_TRUE(screenShows(QMNearlyPlayedItem::kTitle)) << screenText();
  EXPECT_TRUE(screenShows("强化阶段")) << screenText();
  EXPECT_TRUE(screenShows("2016.09.01 20:15")) << "the last play time, as stored\n" << screenText();

  ASSERT_TRUE(Driver::tap("强化阶段").ok());
  auto listen = std::dynamic_pointer_cast<QMListenController>(delegate_->drawer()->presentedViewController());
  ASSERT_NE(listen, nullptr);
  EXPECT_EQ(listen->stageModel()->stageID(), "1012");
  EXPECT_FALSE(listen->isPlayRecord());
  ASSERT_TRUE(runUntil([&] { return listen->playingCourse() != nullptr; }));
  listen->playerOnClickedNavBack(*listen->playerView(), std::nullopt);
  ASSERT_TRUE(runUntil([&] { return delegate_->drawer()->presentedViewController() == nullptr; }));

  ASSERT_TRUE(Driver::tap(QMNearlyPlayedItem::kTitle).ok());
  listen = std::dynamic_pointer_cast<QMListenController>(delegate_->drawer()->presentedViewController());
  ASSERT_NE(listen, nullptr);
  EXPECT_EQ(listen->stageModel()->stageID(), "1012") << "the stage just left is the one last played";
  EXPECT_TRUE(listen->isPlayRecord());
  // The reopened screen asks for the stage's tree again; its reply writes the store, so the test waits for
  // it rather than leave it to land in the next test's store.
  EXPECT_TRUE(runUntil([&] { return listen->playingCourse() != nullptr; }));
}

TEST_F(SubjectScreenTest, AnUnavailableSubjectExplainsItselfAndStaysClosed) {
  ASSERT_TRUE(launch());
  ASSERT_TRUE(Driver::tap("计算机学科专业基础综合").ok());
  auto alerts = uikit::AlertView::visibleAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0]->title(), "");
  EXPECT_EQ(alerts[0]->message(), "课程已冻结");
  EXPECT_EQ(alerts[0]->numberOfButtons(), 1);
  ASSERT_TRUE(Driver::answerAlert("确认").ok());
  EXPECT_FALSE(screen()->myTreeView()->nodeData()->child()[3]->isExpand());

  ASSERT_TRUE(Driver::tap("管理类联考综合能力").ok());
  alerts = uikit::AlertView::visibleAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0]->message(), "课程已过期");
}

TEST_F(SubjectScreenTest, AnotherSeasonReplacesTheSubjectsAndTakesTheOldSeasonsDownloadsAlong) {
  ASSERT_TRUE(launch());
  // A downloaded lesson of the first season, with its folder on disk.
  const std::shared_ptr<app::QMStage> stage = subject("101")->sortedStageArray().front();
  auto model = std::make_shared<app::QMCourseDataModel>();
  model->networkGetCourseTreeWithStage(stage);
  ASSERT_TRUE(runUntil([&] { return !stage->sortedCourseArray().empty(); }));
  const std::shared_ptr<app::QMFileCacheInfo> record = stage->sortedCourseArray().front()->fileCacheInfo();
  ASSERT_NE(record, nullptr);
  record->setStatus(app::kQMDownloadDone);
  const std::filesystem::path folder = record->lessonFolderPath().value();
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "index.m3u8") << "#EXTM3U\n";

  ASSERT_TRUE(Driver::tap("seasonBtn").ok());
  EXPECT_FALSE(screen()->seasonTable()->isHidden());
  EXPECT_EQ(screen()->seasonBtn()->tag(), 1);
  ASSERT_TRUE(Driver::selectRow("    2018考研").ok()) << screenText();
  EXPECT_TRUE(screen()->seasonTable()->isHidden());
  ASSERT_TRUE(runUntil([&] { return screen()->myTreeView()->nodeData()->child().size() == 2; }))
      << screenText();
  EXPECT_EQ(screen()->seasonBtn()->currentTitle(), "2018考研");
  EXPECT_EQ(app::QMCoreDataHelper::sharedInstance().getSelectedSeason()->seasonId(), "2018");
  EXPECT_EQ(subject("101"), nullptr) << "the old season's subjects leave the store";
  EXPECT_NE(subject("201"), nullptr);
  EXPECT_TRUE(screenShows("英语二")) << screenText();
  EXPECT_FALSE(std::filesystem::exists(folder)) << "no lesson folder outlives its record";
}

TEST_F(SubjectScreenTest, EmptyThenFullSubjectListsShowTheEmptyStateThenBuildTheTree) {
  ASSERT_TRUE(launch());
  const auto shown = screen();
  shown->myTreeView()->setNodeData(nullptr);
  shown->networkGetAllSubjectsSuccess({}, shown->seasonArray());
  EXPECT_EQ(shown->myTreeView()->nodeData(), nullptr);
  EXPECT_EQ(shown->myTreeView()->tableFooterView(), shown->noSubjectView());
  EXPECT_FALSE(shown->noSubjectView()->isHidden());

  shown->networkGetAllSubjectsSuccess({subject("102"), subject("101")}, shown->seasonArray());
  ASSERT_NE(shown->myTreeView()->nodeData(), nullptr);
  EXPECT_EQ(shown->myTreeView()->tableFooterView(), nullptr);
  EXPECT_TRUE(shown->noSubjectView()->isHidden());
  const auto& nodes = shown->myTreeView()->nodeData()->child();
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(QMSubjectTree::subjectOf(*nodes[0])->subjectID(), "102");
  EXPECT_EQ(QMSubjectTree::subjectOf(*nodes[1])->subjectID(), "101");
}

TEST_F(SubjectScreenTest, OneSeasonHidesTheButtonAndTheRingFollowsTheStoredProgress) {
  ASSERT_TRUE(launch());
  const auto shown = screen();
  app::QMUser::sharedInstance()->setOnLearningProcess("0");
  shown->networkGetAllSubjectsSuccess(shown->subjectModelArray(), {shown->seasonArray().front()});
  EXPECT_TRUE(shown->seasonBtn()->isHidden());
  EXPECT_EQ(shown->circleProgressView()->progress(), 0);
  EXPECT_EQ(shown->progressLabel()->text(), "0%");
  app::QMUser::sharedInstance()->setOnLearningProcess("100");
  shown->reloadSubviews();
  EXPECT_EQ(shown->circleProgressView()->progress(), 1);
  EXPECT_EQ(shown->progressLabel()->text(), "100%");
  // Beyond 0..100 the ring and the label stop at the ends; a progress that is not finite is none.
  for (const auto& [stored, text] : std::vector<std::pair<std::string, std::string>>{
           {"1e+308", "100%"}, {"-7", "0%"}, {"1e400", "0%"}, {"nan", "0%"}, {"35.9", "35%"}}) {
    app::QMUser::sharedInstance()->setOnLearningProcess(stored);
    shown->reloadSubviews();
    EXPECT_EQ(shown->progressLabel()->text(), text) << stored;
  }
  EXPECT_FLOAT_EQ(static_cast<float>(shown->circleProgressView()->progress()), 0.359f);
}

TEST_F(SubjectScreenTest, TheLiveTabListsTheGroupsRefreshesByPullingAndOpensADetail) {
  ASSERT_TRUE(launch());
  const auto shown = screen();
  const auto header = ui::rf_header(*shown->liveTable());
  ASSERT_NE(header, nullptr);
  ASSERT_TRUE(Driver::tap(QMSubjectController::kLiveTabTitle).ok());
  EXPECT_TRUE(shown->myTreeView()->isHidden());
  ASSERT_TRUE(runUntil([&] { return !shown->liveCourseArray().empty() && !header->isRefreshing(); }));
  EXPECT_FALSE(shown->liveTable()->isHidden());
  EXPECT_TRUE(shown->noLiveView()->isHidden());
  const std::size_t groups = shown->liveCourseArray().size();
  const std::size_t before = requestsOn(app::QMCourseDataModel::kLiveCoursePath);

  ASSERT_TRUE(Driver::pullDown("liveTable").ok());
  EXPECT_TRUE(header->isRefreshing());
  ASSERT_TRUE(runUntil([&] { return requestsOn(app::QMCourseDataModel::kLiveCoursePath) > before; }));
  ASSERT_TRUE(runUntil([&] { return !header->isRefreshing(); }));
  EXPECT_EQ(shown->liveCourseArray().size(), groups) << "a refresh replaces the list";

  const std::string firstGroup = shown->liveCourseArray().front()->groupName().value_or("");
  ASSERT_TRUE(Driver::selectRow(firstGroup).ok()) << screenText();
  const auto navigation = std::dynamic_pointer_cast<app::QMBaseNavigationController>(
      delegate_->drawer()->presentedViewController());
  ASSERT_NE(navigation, nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<QMLiveDetailController>(navigation->viewControllers().front()),
            nullptr);
}

TEST_F(SubjectScreenTest, TheNoLivePictureShowsOnTheLiveTabOnly) {
  ASSERT_TRUE(launch());
  const auto shown = screen();
  const auto header = ui::rf_header(*shown->liveTable());
  header->beginRefreshing();
  shown->networkGetLiveCourseSuccess({}, 0);
  EXPECT_TRUE(shown->noLiveView()->isHidden()) << "an empty page on the course tab";
  EXPECT_TRUE(shown->liveTable()->isHidden());

  shown->courseTypeSegment()->tapSegment(1);
  ASSERT_TRUE(runUntil([&] { return !shown->liveCourseArray().empty() && !header->isRefreshing(); }));
  EXPECT_FALSE(shown->liveTable()->isHidden());
  header->beginRefreshing();
  shown->networkGetLiveCourseSuccess({}, 0);
  EXPECT_FALSE(shown->noLiveView()->isHidden()) << "an empty page on the live tab";
  EXPECT_TRUE(shown->liveTable()->isHidden());
  EXPECT_TRUE(shown->liveCourseArray().empty());

  shown->courseTypeSegment()->tapSegment(0);
  EXPECT_TRUE(shown->noLiveView()->isHidden());
  EXPECT_FALSE(shown->myTreeView()->isHidden());
}

TEST_F(SubjectScreenTest, TheMenuButtonOpensAClosedDrawerAndClosesOneThatIsClosing) {
  ASSERT_TRUE(launch());
  const auto drawer = delegate_->drawer();
  ASSERT_TRUE(Driver::tap(QMSubjectController::kMenuButtonTitle).ok());
  EXPECT_EQ(drawer->drawerState(), ui::DrawerState::kOpening);
  ASSERT_TRUE(runUntil([&] { return drawer->drawerState() == ui::DrawerState::kOpen; }));
  drawer->close();
  ASSERT_EQ(drawer->drawerState(), ui::DrawerState::kClosing);
  uikit::Button menu(uikit::Rect{});
  screen()->showMenuAction(menu);
  EXPECT_EQ(drawer->drawerState(), ui::DrawerState::kClosing);
  ASSERT_TRUE(runUntil([&] { return drawer->drawerState() == ui::DrawerState::kClosed; }));
}

TEST_F(SubjectScreenTest, AnAgreementToSignIsPresentedOnAppearing) {
  app::QMUser::sharedInstance()->setUserId("20160002");
  app::QMUser::sharedInstance()->setUserSid(api_->sessions().openSession("20160002"));
  delegate_ = std::make_shared<app::AppDelegate>();
  uikit::Application::sharedApplication().launch(delegate_);
  ASSERT_TRUE(
      runUntil([&] { return delegate_->drawer() && delegate_->drawer()->presentedViewController(); }));
  const auto navigation =
      std::dynamic_pointer_cast<uikit::NavigationController>(delegate_->drawer()->presentedViewController());
  ASSERT_NE(navigation, nullptr);
  EXPECT_EQ(navigation->viewControllers().front()->className(), app::QMMoreStoryboard::kProtocolScene);
}

}  // namespace
}  // namespace learning::subjecttest
