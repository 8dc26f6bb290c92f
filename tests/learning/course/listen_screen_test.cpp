// The lesson playback screen against the sample back end on loopback, driven as a finger would: a lesson
// played online and reported, two lessons downloaded and played offline from the lesson server with no
// network, the next lesson, leaving with the position saved; the Wi-Fi question; full screen by
// orientation; and the mended roads (the report after the load is known, a retry after a failure, a
// replay signed again, the resume second kept to its lesson).

#include <gtest/gtest.h>

#include "app/helpers/QMHelpler.h"
#include "app/helpers/ZBAlertView.h"
#include "app/session/QMUser.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMSubject.h"
#include "learning/course/QMCommonTreeCell.h"
#include "learning/course/listen_test_util.h"
#include "learning/downloads/download_test_util.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/outside/SimulatedNetwork.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/driver/Driver.h"

namespace learning::listentest {
namespace {

using namespace std::chrono_literals;

bool screenShows(const std::string& text) {
  return uikit::Driver::screenText().find(text) != std::string::npos;
}

std::string urlOf(const ZBPlayer& player) {
  return player.currentURL() ? player.currentURL()->absoluteString() : "";
}

TEST_F(ListenScreenTest, PlaysOnlineThenDownloadedLessonsOfflineAndSavesThePositionOnLeaving) {
  ASSERT_TRUE(openScreen());
  EXPECT_EQ(screen_->phaseNameLabel()->text(), "思想政治理论－基础阶段");
  EXPECT_EQ(screen_->playingCourse(), course("101101")) << "the first lesson in tree order";
  EXPECT_EQ(player()->frame(), screen_->smallRect());
  EXPECT_DOUBLE_EQ(screen_->headerDistance(), uikit::Screen::mainScreen().bounds().width() * 230 / 375);

  // Online: the signed playlist URL, and the play reported once the lesson loads.
  ASSERT_TRUE(playUntilPicture());
  EXPECT_NE(urlOf(*player()).find("/class/video/get/m3u8/v2?"), std::string::npos);
  EXPECT_NE(urlOf(*player()).find("online=true"), std::string::npos);
  ASSERT_TRUE(runUntil([&] { return records().size() == 1; }));
  EXPECT_EQ(statistics_->loginCount(), 1u);
  EXPECT_EQ(records()[0].rfind("cltdat|0-#*" + urlOf(*player()) + "-#*1001001-#*1-#*9-#*" + learnerId_, 0),
            0u)
      << records()[0];

  // Two lessons picked and downloaded; the lesson playing pauses under the picker.
  ASSERT_TRUE(uikit::Driver::tap("downloadBtn").ok());
  EXPECT_FALSE(player()->isPlaying());
  ASSERT_TRUE(runUntil([&] { return screenShows("开始下载"); }));
  ASSERT_TRUE(uikit::Driver::selectRow("物质与意识").ok());
  ASSERT_TRUE(uikit::Driver::selectRow("世界的物质统一性").ok());
  ASSERT_TRUE(uikit::Driver::tap("addDLBtn").ok());
  clock_.advance(2s);
  ASSERT_TRUE(runUntil([&] { return screen_->presentedViewController() == nullptr; }));
  for (const char* id : {"101104", "101105"}) {
    ASSERT_TRUE(runUntil([&] { return course(id)->fileCacheInfo()->status() == app::kQMDownloadDone; }))
        << id;
  }
  outside::SimulatedNetwork::setStatus(outside::NotReachable);
  EXPECT_TRUE(screen_->isOutline());
  EXPECT_TRUE(screenShows("暂无网络，请检查网络"));

  // Offline: each lesson under its own path on the lesson server; nothing is reported.
  ASSERT_TRUE(uikit::Driver::selectRow("物质与意识").ok());
  ASSERT_TRUE(playUntilPicture());
  EXPECT_TRUE(player()->isPlaying()) << "a lesson chosen after the picker plays by itself";
  EXPECT_TRUE(screenShows("▶ | 物质与意识")) << uikit::Driver::screenText();
  EXPECT_EQ(screen_->playingTreeNode()->dataModel(), course("101104"));
  const std::string lessonServer =
      "http://127.0.0.1:" + std::to_string(screen_->localServer().server().listeningPort()) + "/";
  const std::string firstFolder = lessonServer + *course("101104")->fileCacheInfo()->fileDocment() + "/";
  EXPECT_EQ(urlOf(*player()), firstFolder + "index.m3u8");
  ASSERT_FALSE(player()->playerEventLogs().empty());
  for (const auto& load : player()->playerEventLogs()) {
    EXPECT_EQ(load.URI.rfind(firstFolder + "seg", 0), 0u) << load.URI;
  }

  tap(*player()->progressBar()->btnNext());
  EXPECT_EQ(screen_->playingCourse(), course("101105"));
  EXPECT_TRUE(screenShows("▶ | 世界的物质统一性"));
  EXPECT_FALSE(screenShows("▶ | 物质与意识"));
  ASSERT_TRUE(playUntilPicture());
  EXPECT_EQ(urlOf(*player()),
            lessonServer + *course("101105")->fileCacheInfo()->fileDocment() + "/index.m3u8");
  ASSERT_TRUE(playUntil([&] { return player()->progressSec() >= 2; }));
  EXPECT_EQ(records().size(), 1u) << "offline plays are not reported";

  downloadtest::NotificationCount uploads{std::string(app::kUpdateServerProgressNotification)};
  const std::uint32_t reached = player()->progressSec();
  tap(*player()->navigationBar()->backBtn());
  ASSERT_TRUE(runUntil([&] { return root_->presentedViewController() == nullptr; }));
  EXPECT_EQ(screen_->playerView(), nullptr);
  EXPECT_EQ(screen_->socketModel()->client(), nullptr) << "the statistics connection is closed";
  const auto subject = stage_->ownBySubject();
  EXPECT_EQ(subject->onClassID(), "101105");
  EXPECT_EQ(subject->onStageID(), "1011");
  EXPECT_EQ(subject->onClassProgress(), std::to_string(reached));
  EXPECT_EQ(uploads.count, 1);
}

TEST_F(ListenScreenTest, TreeRowsAreDrawnByTheirDepthWithThePlayingLessonMarked) {
  ASSERT_TRUE(openScreen());
  // Rows: 政治导学课 (a lesson under the stage), 马克思主义基本原理 (chapter), 唯物论 (unit), 物质与意识,
  // 世界的物质统一性, 辩证法 (unit), 联系与发展, ...
  const auto cellOfRow = [&](std::int64_t row) {
    return std::dynamic_pointer_cast<QMCommonTreeCell>(
        screen_->myTreeView()->cellForRowAtIndexPath(uikit::IndexPath{0, row}));
  };
  const auto hex = [](std::string_view text) { return app::QMHelpler::colorWithHexString(text); };
  const auto first = cellOfRow(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->visibleText(), "▶") << "the lesson playing, at level 1";
  EXPECT_EQ(first->nameLabel()->text(), "政治导学课\n讲师：陈海涛");
  EXPECT_EQ(first->backgroundColor(), hex("#565663"));
  EXPECT_EQ(first->tagImageView()->image()->name(), "play_chapter");
  EXPECT_TRUE(first->shadowImageView()->isHidden());

  const auto unit = cellOfRow(2);
  EXPECT_EQ(unit->nameLabel()->text(), "唯物论");
  EXPECT_EQ(unit->tagImageView()->image()->name(), "play_unit");
  EXPECT_FALSE(unit->shadowImageView()->isHidden()) << "the chapter's first unit";
  EXPECT_TRUE(cellOfRow(5)->shadowImageView()->isHidden()) << "the chapter's second unit";

  const auto firstLesson = cellOfRow(3);
  const auto lastLesson = cellOfRow(4);
  EXPECT_EQ(firstLesson->tagImageView()->image()->name(), "play_course_off");
  EXPECT_EQ(firstLesson->backgroundColor(), hex("#36343b"));
  EXPECT_FALSE(firstLesson->shadowImageView()->isHidden());
  EXPECT_EQ(firstLesson->sepLabel()->backgroundColor(), hex("#262528"));
  EXPECT_TRUE(lastLesson->shadowImageView()->isHidden());
  EXPECT_EQ(lastLesson->sepLabel()->backgroundColor(), uikit::Color::clear()) << "the unit's last lesson";
  EXPECT_EQ(lastLesson->visibleText(), "");

  ASSERT_TRUE(uikit::Driver::selectRow("世界的物质统一性").ok());
  EXPECT_EQ(cellOfRow(4)->tagImageView()->image()->name(), "play_course_on");
  EXPECT_EQ(cellOfRow(4)->visibleText(), "▶");
  EXPECT_EQ(cellOfRow(0)->visibleText(), "");
  ASSERT_TRUE(uikit::Driver::selectRow("唯物论").ok());
  EXPECT_FALSE(screenShows("世界的物质统一性")) << "a unit row closes";
  EXPECT_EQ(screen_->playingCourse(), course("101105")) << "and plays nothing";
}

TEST_F(ListenScreenTest, TheLastPlayedLessonResumesAtItsSecondAndTheNextStartsAtZero) {
  const auto subject = stage_->ownBySubject();
  subject->setOnClassID("101108");
  subject->setOnStageID("1011");
  subject->setOnClassProgress("2");
  ASSERT_TRUE(openScreen(true));
  EXPECT_EQ(screen_->playingCourse(), course("101108"));
  ASSERT_TRUE(playUntilPicture());
  EXPECT_GE(player()->progressSec(), 2u);
  ASSERT_TRUE(runUntil([&] { return records().size() == 1; }));
  EXPECT_EQ(records()[0].rfind("cltdat|2-#*", 0), 0u) << records()[0];

  // At the end of a chapter the next lesson lies in the next chapter's unit.
  tap(*player()->progressBar()->btnNext());
  EXPECT_EQ(screen_->playingCourse(), course("101111"));
  ASSERT_TRUE(playUntilPicture());
  EXPECT_LT(player()->player()->currentTime().seconds(), 1.5);
  ASSERT_TRUE(runUntil([&] { return records().size() == 2; }));
  EXPECT_EQ(records()[1].rfind("cltdat|0-#*", 0), 0u) << records()[1];
}

TEST_F(ListenScreenTest, ASavedLessonOfAnotherStageNeitherPlaysNorMovesTheStart) {
  const auto subject = stage_->ownBySubject();
  subject->setOnClassID("101203");
  subject->setOnStageID("1012");
  subject->setOnClassProgress("3");
  ASSERT_TRUE(openScreen(true));
  EXPECT_EQ(screen_->playingCourse(), course("101101"));
  EXPECT_EQ(screen_->recordProgress(), 0) << "the saved second belongs to the saved lesson";
  ASSERT_TRUE(playUntilPicture());
  EXPECT_LT(player()->player()->currentTime().seconds(), 1.5);
}

TEST_F(ListenScreenTest, PreviousAndNextStopAtTheEndsWithAWarning) {
  ASSERT_TRUE(openScreen());
  tap(*player()->progressBar()->btnLast());
  EXPECT_EQ(screen_->playingCourse(), course("101101"));
  EXPECT_TRUE(screenShows("已经是第一个课程了"));

  ASSERT_TRUE(uikit::Driver::pan("myTreeView", {0, -1000}, uikit::Driver::PanStart::kMiddle).ok());
  ASSERT_TRUE(uikit::Driver::selectRow("活的灵魂").ok());
  ASSERT_TRUE(playUntilPicture());
  tap(*player()->progressBar()->btnLast());
  EXPECT_EQ(screen_->playingCourse(), course("101112")) << "back into the unit before";

  ASSERT_TRUE(uikit::Driver::selectRow("活的灵魂").ok());
  ASSERT_TRUE(playUntilPicture());
  downloadtest::NotificationCount uploads{std::string(app::kUpdateServerProgressNotification)};
  ASSERT_TRUE(playUntil([&] { return uploads.count == 1; }));
  EXPECT_EQ(screen_->playingCourse(), course("101113")) << "the last lesson of the stage";
  EXPECT_TRUE(screenShows("已经是最后一个课程了"));
  EXPECT_EQ(stage_->ownBySubject()->onClassID(), "101113");
}

TEST_F(ListenScreenTest, OnCellularTheQuestionComesBeforeAnythingIsFetched) {
  app::QMUser::sharedInstance()->setOnlyWifiPlay(true);
  app::QMUser::sharedInstance()->setKeepRememberPlay(false);
  const auto subject = stage_->ownBySubject();
  subject->setOnClassID("101108");
  subject->setOnStageID("1011");
  subject->setOnClassProgress("2");
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  ASSERT_TRUE(openScreen(true));
  ASSERT_TRUE(runUntil([&] { return screen_->alertTag() == QMListenController::kQuestionBeforePlay; }));
  EXPECT_TRUE(screenShows("当前为非WiFi网络，播放视频会消耗流量,确定继续播放?"));
  EXPECT_TRUE(screenShows("记住我的选择"));
  EXPECT_EQ(serverTimeRequests(), 0u) << "nothing is fetched before the answer";
  EXPECT_TRUE(mediaRequests().empty());

  // Answered before the play started: it begins at the resume second, and is reported.
  ASSERT_TRUE(uikit::Driver::tap("继续播放").ok());
  EXPECT_EQ(screen_->alertTag(), QMListenController::kNoQuestion);
  ASSERT_TRUE(playUntilPicture());
  EXPECT_GE(player()->progressSec(), 2u);
  ASSERT_TRUE(runUntil([&] { return records().size() == 1; }));
  EXPECT_EQ(records()[0].rfind("cltdat|2-#*", 0), 0u) << records()[0];
  EXPECT_FALSE(app::QMUser::sharedInstance()->keepRememberPlay()) << "the box was not ticked";

  ASSERT_TRUE(uikit::Driver::selectRow("物质与意识").ok());
  ASSERT_TRUE(runUntil([&] { return screen_->alertTag() == QMListenController::kQuestionBeforePlay; }));
  EXPECT_EQ(player()->player(), nullptr) << "the lesson before does not play on under the question";
  const std::size_t timesAsked = serverTimeRequests();
  ASSERT_TRUE(uikit::Driver::tap("取消").ok());
  EXPECT_EQ(player()->player(), nullptr) << "the player stays stopped";
  EXPECT_EQ(serverTimeRequests(), timesAsked);

  ASSERT_TRUE(uikit::Driver::selectRow("物质与意识").ok());
  ASSERT_TRUE(runUntil([&] { return screen_->alertTag() == QMListenController::kQuestionBeforePlay; }));
  ASSERT_TRUE(uikit::Driver::tap("记住我的选择").ok());
  ASSERT_TRUE(uikit::Driver::tap("继续播放").ok());
  EXPECT_TRUE(app::QMUser::sharedInstance()->keepRememberPlay());
  ASSERT_TRUE(playUntilPicture());
  EXPECT_LT(player()->player()->currentTime().seconds(), 1.5) << "another lesson starts at 0";

  ASSERT_TRUE(uikit::Driver::selectRow("世界的物质统一性").ok());
  ASSERT_TRUE(playUntilPicture());
  EXPECT_EQ(screen_->alertTag(), QMListenController::kNoQuestion) << "the choice is remembered";
}

TEST_F(ListenScreenTest, TurningCellularDuringAPlayAsksAndGoesOnWhereItStopped) {
  app::QMUser::sharedInstance()->setOnlyWifiPlay(true);
  app::QMUser::sharedInstance()->setKeepRememberPlay(false);
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(playUntilPicture());
  ASSERT_TRUE(playUntil([&] { return player()->progressSec() >= 2; }));
  const std::uint32_t reached = player()->progressSec();

  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  EXPECT_EQ(screen_->alertTag(), QMListenController::kQuestionAfterSwitch);
  EXPECT_EQ(player()->player(), nullptr) << "the play is stopped";
  ASSERT_TRUE(uikit::Driver::tap("继续播放").ok());
  ASSERT_TRUE(playUntilPicture());
  EXPECT_GE(player()->progressSec(), reached);
  EXPECT_FALSE(app::QMUser::sharedInstance()->keepRememberPlay()) << "the box was not ticked";
}

TEST_F(ListenScreenTest, TurningCellularWhileAPlayWaitsForItsTimeAsksBeforeThePlay) {
  app::QMUser::sharedInstance()->setOnlyWifiPlay(true);
  app::QMUser::sharedInstance()->setKeepRememberPlay(false);
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(playUntilPicture());
  ASSERT_TRUE(runUntil([&] { return records().size() == 1; }));
  api_->controls().delayNextReply(std::string(app::QMCourseDataModel::kServerTimePath), 300ms);
  ASSERT_TRUE(uikit::Driver::selectRow("联系与发展").ok());
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWWAN);
  EXPECT_EQ(screen_->alertTag(), QMListenController::kQuestionBeforePlay);
  EXPECT_EQ(player()->player(), nullptr) << "the lesson before stops";

  ASSERT_TRUE(uikit::Driver::tap("继续播放").ok());
  ASSERT_TRUE(playUntilPicture());
  EXPECT_LT(player()->player()->currentTime().seconds(), 1.5) << "from its start";
  ASSERT_TRUE(runUntil([&] { return records().size() == 2; })) << "a play that had not started is reported";
}

TEST_F(ListenScreenTest, LandscapeIsFullScreenOnTheKeyWindowAndTheLockKeepsIt) {
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(playUntilPicture());
  const uikit::Rect screen = uikit::Screen::mainScreen().bounds();

  turnDevice(uikit::DeviceOrientation::kLandscapeLeft);
  EXPECT_EQ(player()->superview(), window_.get());
  EXPECT_EQ(player()->frame(), uikit::Rect(0, 0, screen.height(), screen.width()));
  EXPECT_TRUE(player()->isFull());
  ASSERT_TRUE(uikit::Driver::livePicture().ok()) << "the full-screen picture is on screen";
  const ns::Status covered = uikit::Driver::selectRow("政治导学课\n讲师：陈海涛");
  ASSERT_FALSE(covered.ok()) << "the full-screen player covers the lessons";
  EXPECT_EQ(covered.error().code(), uikit::Driver::kCovered) << covered.error().localizedDescription();

  turnDevice(uikit::DeviceOrientation::kPortrait);
  EXPECT_EQ(player()->superview(), screen_->view().get());
  EXPECT_EQ(player()->frame(), screen_->smallRect());
  EXPECT_FALSE(player()->isFull());

  turnDevice(uikit::DeviceOrientation::kLandscapeRight);
  tap(*player()->btnLock());
  ASSERT_TRUE(player()->isLocked());
  EXPECT_FALSE(screen_->shouldAutorotate());
  turnDevice(uikit::DeviceOrientation::kPortrait);
  EXPECT_EQ(player()->superview(), window_.get()) << "locked, the player stays in full screen";
  EXPECT_TRUE(player()->isFull());
}

TEST_F(ListenScreenTest, AFailedPlayIsReportedAsSuchAndThePlayButtonTriesAgain) {
  media_->controls().faultNextSegment(0, {.failWithStatus = 404});
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(runUntil([&] { return records().size() == 1; }));
  EXPECT_NE(records()[0].find("-#*1001001-#*0-#*9-#*"), std::string::npos) << records()[0];
  EXPECT_TRUE(player()->plitem() == nullptr || player()->plitem()->status() == av::PlayerItemStatus::kFailed);

  tap(*player()->progressBar()->btnPlayPause());
  EXPECT_FALSE(screenShows("已经是最后一个课程了"));
  ASSERT_TRUE(playUntilPicture()) << "the same lesson again";
  EXPECT_EQ(screen_->playingCourse(), course("101101"));
  ASSERT_TRUE(runUntil([&] { return records().size() == 2; }));
  EXPECT_NE(records()[1].find("-#*1001001-#*1-#*9-#*"), std::string::npos) << records()[1];
}

TEST_F(ListenScreenTest, APlayCutByTheNetworkIsSignedAgainWhenWiFiReturns) {
  api_->controls().fixServerTime(1'500'000'000);
  media_->controls().faultNextSegment(2, {.dropAfterBytes = 100});
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(runUntil([&] { return player()->plitem() != nullptr; }));
  ASSERT_TRUE(playUntil([&] { return screen_->isPlayerNetError(); })) << "a segment's connection broke";
  const std::string firstURL = urlOf(*player());
  outside::SimulatedNetwork::setStatus(outside::NotReachable);

  // An hour later the first URL is refused by the back end.
  api_->controls().fixServerTime(1'500'000'000 + 3600);
  outside::SimulatedNetwork::setStatus(outside::ReachableViaWiFi);
  EXPECT_FALSE(screen_->isOutline());
  EXPECT_FALSE(screen_->isPlayerNetError());
  ASSERT_TRUE(runUntil([&] { return urlOf(*player()) != firstURL && !urlOf(*player()).empty(); }));
  EXPECT_NE(urlOf(*player()).find("time=1500003600"), std::string::npos) << urlOf(*player());
  ASSERT_TRUE(playUntilPicture());
}

TEST_F(ListenScreenTest, ADownloadedLessonWhosePlaylistCannotBeRewrittenShowsTheFileError) {
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(download({"101104"}));
  const std::string folder = *course("101104")->fileCacheInfo()->lessonFolderPath();
  ASSERT_TRUE(ns::FileManager::defaultManager().removeItemAtPath(folder + "/index.m3u8").ok());
  ASSERT_TRUE(uikit::Driver::selectRow("物质与意识").ok());
  EXPECT_TRUE(screenShows("alert: 文件出错，无法播放 | [取消]")) << uikit::Driver::screenText();
  EXPECT_EQ(player()->player(), nullptr);
  ASSERT_TRUE(uikit::Driver::tap("取消").ok());
}

TEST_F(ListenScreenTest, ResigningActivePausesAndSavesThePosition) {
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(playUntilPicture());
  ASSERT_TRUE(playUntil([&] { return player()->progressSec() >= 2; }));
  downloadtest::NotificationCount uploads{std::string(app::kUpdateServerProgressNotification)};
  uikit::Application::sharedApplication().becomeActive();
  uikit::Application::sharedApplication().resignActive();
  EXPECT_FALSE(player()->isPlaying());
  EXPECT_EQ(uploads.count, 1);
  EXPECT_EQ(stage_->ownBySubject()->onClassID(), "101101");
  EXPECT_EQ(stage_->ownBySubject()->onClassProgress(), std::to_string(player()->progressSec()));
}

TEST_F(ListenScreenTest, LogoutClosesTheScreenWithoutSaving) {
  ASSERT_TRUE(openScreen());
  ASSERT_TRUE(playUntilPicture());
  turnDevice(uikit::DeviceOrientation::kLandscapeLeft);
  const std::weak_ptr<ZBPlayer> shown = player();
  downloadtest::NotificationCount uploads{std::string(app::kUpdateServerProgressNotification)};
  ns::NotificationCenter::defaultCenter().postNotificationName(app::kQMUserLogoutNotification);
  ASSERT_TRUE(runUntil([&] { return root_->presentedViewController() == nullptr; }));
  EXPECT_EQ(screen_->playerView(), nullptr);
  const std::shared_ptr<ZBPlayer> left = shown.lock();
  EXPECT_TRUE(left == nullptr || left->superview() == nullptr) << "the full-screen player left the window";
  EXPECT_EQ(uikit::Device::currentDevice().orientation(), uikit::DeviceOrientation::kPortrait);
  EXPECT_EQ(uploads.count, 0);
}

}  // namespace
}  // namespace learning::listentest
