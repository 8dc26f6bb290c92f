#include "learning/course/listen_test_util.h"

#include "app/network/QMServerHosts.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMDownloadStatus.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMSubject.h"
#include "learning/course/QMCourseStoryboard.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "learning/downloads/download_test_util.h"
#include "learning/player/RunLoopSocketModel.h"
#include "learning/player/zb_player_test_util.h"
#include "main/assembly/ApplicationAssembly.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Device.h"
#include "platform/uikit/controllers/ViewController.h"
#include "platform/uikit/storyboard/Storyboard.h"
#include "support/process_reset.h"

namespace learning::listentest {

namespace api = sample_backend::api;
namespace media = sample_backend::media;

namespace {

constexpr char kSubject[] = R"({"courseId": 101, "id": 3101, "name": "思想政治理论", "available": 1,
                                "stageList": [{"nodeId": 1011, "name": "基础阶段"}]})";

}  // namespace

ListenRoad::ListenRoad(media::MediaOptions lesson) {
  testsupport::resetForTesting();
  api_ = std::make_shared<api::ApiService>(
      api::SampleCatalogue::fromFile(api::SampleCatalogue::defaultPath()).value());
  media_ = std::make_shared<media::MediaService>(api_, media::MediaLibrary::make(lesson).value());
  server_ = api::ApiServer::start(api_, 0, media_).value();
  statistics_ = ::StatisticsServer::start().value();
  RunLoopSocketModel::setServerAddress("127.0.0.1", statistics_->port());

  ns::Sandbox::setHomeDirectory(sandbox_.home());
  app::QMServerHosts::setPublicWebHost(server_->hostAndPort());
  app::QMAppServices::myReachable()->startNotifier();
  app::QMCoreDataHelper::resetSharedInstanceForTesting();
  assembly::ApplicationAssembly::connectParts();
  learnerId_ = api_->catalogue().section("learners").at(0).value("userId", "");
  app::QMUser::sharedInstance()->setUserId(learnerId_);
  app::QMUser::sharedInstance()->setUserSid(api_->sessions().openSession(learnerId_));
  app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
  const std::shared_ptr<app::QMSubject> subject =
      store.createSubjectWithDic(*ns::JSONSerialization::JSONObjectWithData(kSubject));
  store.saveContext();
  stage_ = subject->sortedStageArray().front();

  window_ = std::make_shared<uikit::Window>();
  root_ = std::make_shared<uikit::ViewController>();
  window_->setRootViewController(root_);
  window_->makeKeyAndVisible();
}

ListenRoad::~ListenRoad() {
  if (screen_ && screen_->playerView()) {
    screen_->playerView()->breakMedia();
  }
  if (root_->presentedViewController()) {
    root_->dismissViewControllerAnimated(false);
  }
  screen_.reset();
  ns::RunLoop::main().runPending();
  testsupport::resetForTesting();
  ns::Sandbox::setHomeDirectory(std::nullopt);
}

::testing::AssertionResult ListenRoad::openScreen(bool resume) {
  const auto scene = uikit::Storyboard::storyboardWithName(QMCourseStoryboard::kName)
                         .value()
                         .instantiateViewControllerWithIdentifier(QMListenController::kSceneIdentifier);
  screen_ = scene.ok() ? std::dynamic_pointer_cast<QMListenController>(scene.value()) : nullptr;
  if (!screen_) {
    return ::testing::AssertionFailure() << "storyboard \"Course\" has no playback screen";
  }
  screen_->setStageModel(stage_);
  screen_->setIsPlayRecord(resume);
  root_->presentViewController(screen_, false);
  if (!runUntil(
          [&] { return !stage_->sortedCourseArray().empty() && screen_->playingCourse() != nullptr; })) {
    return ::testing::AssertionFailure() << "the tree did not come, or no lesson was chosen";
  }
  window_->updateIfNeeded();
  return ::testing::AssertionSuccess();
}

std::shared_ptr<app::QMCourse> ListenRoad::course(const std::string& courseID) {
  const auto found = app::QMCoreDataHelper::sharedInstance().fetchEntitiesOf<app::QMCourse>(
      cd::Predicate::equals("courseID", courseID));
  return found.empty() ? nullptr : found.front();
}

bool ListenRoad::runUntil(const std::function<bool()>& done) {
  return ns::RunLoop::main().runUntil(done, std::chrono::seconds(20));
}

ListenScreenTest::ListenScreenTest()
    : ListenRoad({.segmentCount = kLessonSeconds,
                  .segmentDuration = 1.0,
                  .video = {.width = 320, .height = 180, .framesPerSecond = 25}}) {}

bool ListenScreenTest::playUntil(const std::function<bool()>& done, ns::Duration most) {
  const std::shared_ptr<ZBPlayer> shown = player();
  return shown && playertest::playerPlayUntil(*shown, clock_, done, most);
}

::testing::AssertionResult ListenScreenTest::playUntilPicture() {
  if (!runUntil([&] { return playsTheChosenLesson() && player()->plitem() && !player()->showLoading(); })) {
    return ::testing::AssertionFailure() << "the chosen lesson did not load";
  }
  if (!playUntil([&] { return player()->livePicture() != nullptr; }, std::chrono::seconds(2))) {
    return ::testing::AssertionFailure() << "no picture decoded";
  }
  return ::testing::AssertionSuccess();
}

bool ListenRoad::playsTheChosenLesson() const {
  const std::shared_ptr<ZBPlayer> shown = player();
  if (!shown || !shown->currentURL() || !screen_->playingCourse()) {
    return false;
  }
  // Online URLs name the lesson as "nodeId", offline ones in the lesson folder's name.
  const std::string id = screen_->playingCourse()->courseID().value_or("");
  const std::string& url = shown->currentURL()->absoluteString();
  return url.find("nodeId=" + id + "&") != std::string::npos || url.find("_" + id + "/") != std::string::npos;
}

std::vector<std::string> ListenRoad::mediaRequests() const {
  return downloadtest::namedMediaRequests(*media_);
}

std::size_t ListenRoad::serverTimeRequests() const {
  return api_->recordedRequests(app::QMCourseDataModel::kServerTimePath).size();
}

::testing::AssertionResult ListenRoad::download(const std::vector<std::string>& courseIDs) {
  for (const std::string& id : courseIDs) {
    QMDownloadHelper::sharedInstance()->add(course(id));
  }
  for (const std::string& id : courseIDs) {
    if (!runUntil([&] { return course(id)->fileCacheInfo()->status() == app::kQMDownloadDone; })) {
      return ::testing::AssertionFailure() << "lesson " << id << " was not downloaded";
    }
  }
  return ::testing::AssertionSuccess();
}

void ListenRoad::turnDevice(uikit::DeviceOrientation orientation) {
  uikit::Device::currentDevice().setOrientation(orientation);
}

void ListenRoad::tap(uikit::Button& button) {
  button.performTap();
}

}  // namespace learning::listentest
