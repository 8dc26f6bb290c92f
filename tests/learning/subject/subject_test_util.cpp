#include "learning/subject/subject_test_util.h"

#include <chrono>

#include "app/network/QMNetworkHelper.h"
#include "app/network/QMServerHosts.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/store/QMCoreDataHelper.h"
#include "http_client/HCURLConnectionOperation.h"
#include "learning/player/RunLoopSocketModel.h"
#include "main/assembly/ApplicationAssembly.h"
#include "platform/foundation/loop/OperationQueue.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/controllers/NavigationController.h"
#include "platform/uikit/driver/Driver.h"
#include "sample_backend/media/MediaLibrary.h"
#include "support/process_reset.h"

namespace learning::subjecttest {

namespace api = sample_backend::api;
namespace media = sample_backend::media;

SubjectScreenTest::SubjectScreenTest() {
  testsupport::resetForTesting();
  api_ = std::make_shared<api::ApiService>(
      api::SampleCatalogue::fromFile(api::SampleCatalogue::defaultPath()).value());
  media_ = std::make_shared<media::MediaService>(
      api_, media::MediaLibrary::make({.segmentCount = 2,
                                       .segmentDuration = 1.0,
                                       .video = {.width = 160, .height = 90, .framesPerSecond = 25}})
                .value());
  server_ = api::ApiServer::start(api_, 0, media_).value();
  statistics_ = ::StatisticsServer::start().value();
  RunLoopSocketModel::setServerAddress("127.0.0.1", statistics_->port());
  ns::Sandbox::setHomeDirectory(sandbox_.home());
  app::QMServerHosts::setPublicWebHost(server_->hostAndPort());
  app::QMCoreDataHelper::resetSharedInstanceForTesting();
  assembly::ApplicationAssembly::connectParts();
  learnerId_ = api_->catalogue().section("learners").at(0).value("userId", "");
  app::QMUser::sharedInstance()->setUserId(learnerId_);
  app::QMUser::sharedInstance()->setUserSid(api_->sessions().openSession(learnerId_));
  ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
  requestStarts_ =
      center.addObserverForName(http_client::kHCNetworkingOperationDidStartNotification, nullptr, nullptr,
                                [this](const ns::Notification&) { ++requestsInFlight_; });
  requestEnds_ = center.addObserverForName(http_client::kHCNetworkingOperationDidFinishNotification, nullptr,
                                           nullptr, [this](const ns::Notification&) { --requestsInFlight_; });
}

SubjectScreenTest::~SubjectScreenTest() {
  if (delegate_ && delegate_->window()) {
    if (const auto& root = delegate_->window()->rootViewController();
        root && root->presentedViewController()) {
      root->dismissViewControllerAnimated(false);
    }
  }
  delegate_.reset();
  // The replies on their way reach the screens' data models before the store they write goes. A request
  // just queued has not announced its start yet, so the manager's queue is asked as well.
  EXPECT_TRUE(runUntil([this] {
    return requestsInFlight_ <= 0 &&
           app::QMNetworkHelper::commonServerManager()->operationQueue().operationCount() == 0;
  }));
  // A completion block reaches the main queue through the client's completion queue, just after the
  // finish notification; the loop runs a moment longer for it.
  ns::RunLoop::main().runUntil([] { return false; }, std::chrono::milliseconds(100));
  ns::NotificationCenter::defaultCenter().removeObserver(requestStarts_);
  ns::NotificationCenter::defaultCenter().removeObserver(requestEnds_);
  testsupport::resetForTesting();
  ns::RunLoop::main().runPending();
  ns::Sandbox::setHomeDirectory(std::nullopt);
}

::testing::AssertionResult SubjectScreenTest::launch() {
  delegate_ = std::make_shared<app::AppDelegate>();
  uikit::Application::sharedApplication().launch(delegate_);
  if (!runUntil([&] { return screen() && screen()->myTreeView()->nodeData() != nullptr; })) {
    return ::testing::AssertionFailure() << "the subject screen did not show the subjects:\n" << screenText();
  }
  return ::testing::AssertionSuccess();
}

bool SubjectScreenTest::runUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    if (!ns::RunLoop::main().runUntil(done, std::chrono::milliseconds(50))) {
      clock_.advance(std::chrono::milliseconds(100));
    }
  }
  return true;
}

std::shared_ptr<QMSubjectController> SubjectScreenTest::screen() const {
  const std::shared_ptr<ui::DrawerController>& drawer = delegate_ ? delegate_->drawer() : nullptr;
  const auto navigation =
      drawer ? std::dynamic_pointer_cast<uikit::NavigationController>(drawer->centerViewController())
             : nullptr;
  return navigation && !navigation->viewControllers().empty()
             ? std::dynamic_pointer_cast<QMSubjectController>(navigation->viewControllers().front())
             : nullptr;
}

std::shared_ptr<app::QMSubject> SubjectScreenTest::subject(const std::string& id) {
  for (const std::shared_ptr<app::QMSubject>& each :
       app::QMCoreDataHelper::sharedInstance().getUserSubject()) {
    if (each->subjectID() == id) {
      return each;
    }
  }
  return nullptr;
}

std::size_t SubjectScreenTest::requestsOn(std::string_view path) const {
  return api_->recordedRequests(std::string(path)).size();
}

std::string SubjectScreenTest::screenText() {
  return uikit::Driver::screenText();
}

}  // namespace learning::subjecttest
