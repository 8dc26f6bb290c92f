// The session task manager against loopback servers: completion with the serializer's object and its
// notification, the resume and suspend announcements, downloads moved to their destination, progress, the
// security policy's challenges, task lists, copying and coding.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "http_client/HCCodingValues.h"
#include "http_client/HCURLSessionManager.h"
#include "http_client/HCURLSessionTaskSwizzling.h"
#include "http_client/http_client_test_util.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/PosixError.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/net/DataInputStream.h"
#include "platform/net/ServerTrust.h"
#include "platform/net/URLError.h"
#include "platform/net/URLSessionResumeData.h"
#include "support/scoped_scratch_home.h"
#include "support/test_certificates.h"

namespace http_client {
namespace {

using httpclienttest::requestTo;
using httpclienttest::runMainLoopUntil;
using testsupport::TestResponse;

// What one completion handler reported.
struct Completion {
  int calls = 0;
  bool onMainThread = false;
  std::optional<ns::Value> object;
  std::optional<ns::Error> error;

  HCURLSessionManager::CompletionHandler handler() {
    return [this](const std::shared_ptr<const ns::URLResponse>&,
                  const std::optional<ns::Value>& responseObject, const std::optional<ns::Error>& reported) {
      ++calls;
      onMainThread = ns::RunLoop::isMainThread();
      object = responseObject;
      error = reported;
    };
  }
  bool wait() {
    return runMainLoopUntil([this] { return calls > 0; });
  }
};

// Records the notifications of `name` in order, with the thread they came on.
class NotificationRecorder {
 public:
  explicit NotificationRecorder(std::vector<std::string> names) {
    for (std::string& name : names) {
      tokens_.push_back(ns::NotificationCenter::defaultCenter().addObserverForName(
          name, nullptr, nullptr, [this](const ns::Notification& notification) {
            std::lock_guard lock(mutex_);
            seen_.push_back(notification);
            mainThread_.push_back(ns::RunLoop::isMainThread());
          }));
    }
  }
  ~NotificationRecorder() {
    for (const auto& token : tokens_) {
      ns::NotificationCenter::defaultCenter().removeObserver(token);
    }
  }
  std::vector<std::string> namesFor(const std::shared_ptr<ns::Object>& object) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const ns::Notification& notification : seen_) {
      if (notification.object == object) {
        names.push_back(notification.name);
      }
    }
    return names;
  }
  std::optional<ns::Notification> last(const std::string& name,
                                       const std::shared_ptr<ns::Object>& object) const {
    std::lock_guard lock(mutex_);
    for (auto it = seen_.rbegin(); it != seen_.rend(); ++it) {
      if (it->name == name && it->object == object) {
        return *it;
      }
    }
    return std::nullopt;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<ns::Notification> seen_;
  std::vector<bool> mainThread_;
  std::vector<ns::NotificationCenter::ObserverToken> tokens_;
};

class HCURLSessionManagerTest : public ::testing::Test {
 protected:
  ~HCURLSessionManagerTest() override {
    manager_->session()->invalidateAndCancel();
    ns::ServerTrust::setAdditionalAnchorsForTesting({});
  }

  testsupport::ScopedScratchHome home_;
  testsupport::LoopbackHTTPServer server_;
  std::shared_ptr<HCURLSessionManager> manager_ = HCURLSessionManager::manager();
};

TEST_F(HCURLSessionManagerTest, ADataTaskCompletesOnTheMainQueueWithTheSerializedObjectThenNotifies) {
  server_.route("/lesson", TestResponse::text(200, R"({"title":"one"})", "application/json"));
  NotificationRecorder recorder({kHCNetworkingTaskDidCompleteNotification});
  Completion completion;
  const auto task = manager_->dataTaskWithRequest(requestTo(server_.url("/lesson")), completion.handler());
  EXPECT_EQ(task->taskDescription(), manager_->taskDescriptionForSessionTasks());
  EXPECT_NE(manager_->delegateForTask(*task), nullptr);
  task->resume();
  ASSERT_TRUE(completion.wait());
  EXPECT_TRUE(completion.onMainThread);
  EXPECT_FALSE(completion.error);
  ASSERT_TRUE(completion.object && completion.object->isDictionary());
  EXPECT_EQ(completion.object->find("title")->asString(), "one");

  ASSERT_TRUE(runMainLoopUntil(
      [&] { return recorder.last(kHCNetworkingTaskDidCompleteNotification, task).has_value(); }));
  const ns::Dictionary info = recorder.last(kHCNetworkingTaskDidCompleteNotification, task)->userInfo;
  EXPECT_EQ(ns::stringFromData(info.at(kHCNetworkingTaskDidCompleteResponseDataKey).asData()),
            R"({"title":"one"})");
  EXPECT_TRUE(info.contains(kHCNetworkingTaskDidCompleteSerializedResponseKey));
  EXPECT_TRUE(info.contains(kHCNetworkingTaskDidCompleteResponseSerializerKey));
  EXPECT_FALSE(info.contains(kHCNetworkingTaskDidCompleteErrorKey));
  EXPECT_TRUE(runMainLoopUntil([&] { return manager_->delegateForTask(*task) == nullptr; }));
}

TEST_F(HCURLSessionManagerTest, TransportAndSerializationErrorsReachTheHandlerAndTheNotification) {
  server_.route("/missing", TestResponse::text(404, R"({"error":"gone"})", "application/json"));
  NotificationRecorder recorder({kHCNetworkingTaskDidCompleteNotification});
  Completion refused;
  manager_->dataTaskWithRequest(requestTo(server_.url("/missing")), refused.handler())->resume();
  ASSERT_TRUE(refused.wait());
  EXPECT_EQ(refused.error->code(), kHCResponseErrorBadServerResponse);
  EXPECT_TRUE(refused.object.has_value());

  Completion unreachable;
  const auto task =
      manager_->dataTaskWithRequest(requestTo("http://127.0.0.1:1/none"), unreachable.handler());
  task->resume();
  ASSERT_TRUE(unreachable.wait());
  EXPECT_EQ(unreachable.error->domain(), ns::kURLErrorDomain);
  EXPECT_FALSE(unreachable.object);
  ASSERT_TRUE(runMainLoopUntil([&] { return !recorder.namesFor(task).empty(); }));
  const std::optional<ns::Error> announced =
      HCDecodeError(recorder.last(kHCNetworkingTaskDidCompleteNotification, task)
                        ->userInfo.at(kHCNetworkingTaskDidCompleteErrorKey));
  ASSERT_TRUE(announced);
  EXPECT_EQ(announced->code(), unreachable.error->code());
}

TEST_F(HCURLSessionManagerTest, OnlyRealTransitionsOfOwnTasksAreAnnouncedAndAFinishedTaskNeverResumes) {
  server_.route("/lesson", TestResponse::text(200, "{}", "application/json"));
  NotificationRecorder recorder(
      {kHCNetworkingURLSessionTaskDidResumeNotification, kHCNetworkingURLSessionTaskDidSuspendNotification,
       kHCNetworkingTaskDidResumeNotification, kHCNetworkingTaskDidSuspendNotification,
       kHCNetworkingTaskDidCompleteNotification});
  Completion completion;
  const auto own = manager_->dataTaskWithRequest(requestTo(server_.url("/lesson")), completion.handler());
  own->suspend();
  own->resume();
  // The platform-level announcement comes at once, on the resuming thread.
  EXPECT_EQ(recorder.namesFor(own),
            std::vector<std::string>{kHCNetworkingURLSessionTaskDidResumeNotification});
  own->resume();
  ASSERT_TRUE(completion.wait());
  ASSERT_TRUE(runMainLoopUntil([&] { return recorder.namesFor(own).size() == 3; }));
  own->resume();
  own->suspend();
  httpclienttest::runMainLoopThroughQueuedTasks();
  EXPECT_EQ(recorder.namesFor(own),
            (std::vector<std::string>{kHCNetworkingURLSessionTaskDidResumeNotification,
                                      kHCNetworkingTaskDidResumeNotification,
                                      kHCNetworkingTaskDidCompleteNotification}));

  const auto plainSession = ns::URLSession::sessionWithConfiguration(ns::URLSessionConfiguration());
  const auto foreign = plainSession->dataTaskWithRequest(requestTo(server_.url("/lesson")));
  foreign->resume();
  foreign->suspend();
  httpclienttest::runMainLoopThroughQueuedTasks();
  EXPECT_EQ(recorder.namesFor(foreign),
            (std::vector<std::string>{kHCNetworkingURLSessionTaskDidResumeNotification,
                                      kHCNetworkingURLSessionTaskDidSuspendNotification}));
  plainSession->invalidateAndCancel();
}

std::string downloadFolder() {
  const std::string folder = ns::Sandbox::temporaryDirectory() + "/session-downloads";
  static_cast<void>(ns::FileManager::defaultManager().removeItemAtPath(folder));
  EXPECT_TRUE(
      ns::FileManager::defaultManager().createDirectoryAtPath(folder, ns::IntermediateDirectories::kYes));
  return folder;
}

TEST_F(HCURLSessionManagerTest, ADownloadIsMovedToItsDestinationWhichIsItsResult) {
  server_.route("/segment", TestResponse::text(200, "segment bytes", "video/mp2t"));
  const std::string destination = downloadFolder() + "/segment.ts";
  std::shared_ptr<ns::Progress> progress;
  Completion completion;
  const auto task = manager_->downloadTaskWithRequest(
      requestTo(server_.url("/segment")), &progress,
      [&](const std::string&, const std::shared_ptr<const ns::URLResponse>&) { return destination; },
      completion.handler());
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(manager_->downloadProgressForTask(*task), progress);
  task->resume();
  ASSERT_TRUE(completion.wait());
  EXPECT_FALSE(completion.error) << completion.error->domain() << " " << completion.error->code();
  EXPECT_EQ(completion.object, ns::Value(destination));
  EXPECT_EQ(ns::stringFromData(*ns::FileManager::defaultManager().contentsAtPath(destination)),
            "segment bytes");
  EXPECT_EQ(progress->completedUnitCount(), 13);
  EXPECT_EQ(progress->totalUnitCount(), 13);

  // The file's body is never read as JSON, while the response is still checked.
  server_.route("/gone", TestResponse::text(404, "not here", "text/plain"));
  Completion refused;
  manager_
      ->downloadTaskWithRequest(
          requestTo(server_.url("/gone")), nullptr,
          [&](const std::string&, const std::shared_ptr<const ns::URLResponse>&) {
            return destination + ".gone";
          },
          refused.handler())
      ->resume();
  ASSERT_TRUE(refused.wait());
  EXPECT_EQ(refused.error->code(), kHCResponseErrorBadServerResponse);
}

TEST_F(HCURLSessionManagerTest, ADataTaskAnsweredBecomeDownloadGoesOnAsADownloadWithItsHandler) {
  const std::string body(20000, 'x');
  server_.route("/lesson.ts", TestResponse::text(200, body, "video/mp2t"));
  const std::string destination = downloadFolder() + "/converted.ts";
  manager_->setDataTaskDidReceiveResponseBlock(
      [](ns::URLSession&, ns::URLSessionTask&, const std::shared_ptr<const ns::URLResponse>&) {
        return ns::URLSessionResponseDisposition::kBecomeDownload;
      });
  std::shared_ptr<ns::URLSessionTask> became;
  manager_->setDataTaskDidBecomeDownloadTaskBlock(
      [&](ns::URLSession&, ns::URLSessionTask&, const std::shared_ptr<ns::URLSessionTask>& download) {
        became = download;
      });
  manager_->setDownloadTaskDidFinishDownloadingBlock(
      [&](ns::URLSession&, ns::URLSessionTask&, const std::string&) { return destination; });
  Completion completion;
  const auto task = manager_->dataTaskWithRequest(requestTo(server_.url("/lesson.ts")), completion.handler());
  task->resume();
  ASSERT_TRUE(completion.wait());
  EXPECT_FALSE(completion.error);
  EXPECT_EQ(completion.calls, 1);
  EXPECT_EQ(completion.object, ns::Value(destination));
  EXPECT_EQ(ns::stringFromData(*ns::FileManager::defaultManager().contentsAtPath(destination)), body);
  ASSERT_NE(became, nullptr);
  EXPECT_EQ(became->kind(), ns::URLSessionTaskKind::kDownload);
  EXPECT_EQ(became->state(), ns::URLSessionTaskState::kCompleted);
  EXPECT_EQ(task->state(), ns::URLSessionTaskState::kCompleted);
  EXPECT_EQ(manager_->delegateForTask(*task), nullptr);
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(HCURLSessionManagerTest, AFailedMoveOfTheDownloadFailsTheTaskWithTheMovesError) {
  server_.route("/segment", TestResponse::text(200, "segment bytes", "video/mp2t"));
  const std::string taken = downloadFolder() + "/taken.ts";
  ASSERT_TRUE(ns::FileManager::defaultManager().createFileAtPath(taken, ns::dataFromString("older")));
  NotificationRecorder recorder({kHCURLSessionDownloadTaskDidFailToMoveFileNotification});
  Completion completion;
  const auto task = manager_->downloadTaskWithRequest(
      requestTo(server_.url("/segment")), nullptr,
      [&](const std::string&, const std::shared_ptr<const ns::URLResponse>&) { return taken; },
      completion.handler());
  task->resume();
  ASSERT_TRUE(completion.wait());
  ASSERT_TRUE(completion.error);
  EXPECT_EQ(completion.error->domain(), ns::posixError(EEXIST, taken).domain());
  EXPECT_EQ(completion.error->code(), EEXIST);
  EXPECT_FALSE(completion.object);
  EXPECT_EQ(recorder.namesFor(task),
            std::vector<std::string>{kHCURLSessionDownloadTaskDidFailToMoveFileNotification});
  EXPECT_EQ(ns::stringFromData(*ns::FileManager::defaultManager().contentsAtPath(taken)), "older");
}

TEST_F(HCURLSessionManagerTest, AnUploadOfUnknownLengthTakesItsProgressTotalFromContentLength) {
  server_.route("/upload", TestResponse::text(200, "{}", "application/json"));
  ns::URLRequest request = requestTo(server_.url("/upload"));
  request.setHTTPMethod("POST");
  request.setHTTPBodyStream(std::make_shared<ns::DataInputStream>(ns::dataFromString("0123456789")));
  request.setValue("10", "Content-Length");
  std::shared_ptr<ns::Progress> progress;
  Completion completion;
  const auto task = manager_->uploadTaskWithStreamedRequest(request, &progress, completion.handler());
  EXPECT_EQ(progress->totalUnitCount(), 10);
  task->resume();
  ASSERT_TRUE(completion.wait());
  EXPECT_EQ(progress->completedUnitCount(), 10);
  EXPECT_EQ(server_.requests().back().body, "0123456789");

  // Cancelling the progress cancels its task.
  Completion cancelled;
  server_.route("/silent", TestResponse::noAnswer());
  std::shared_ptr<ns::Progress> silentProgress;
  const auto silent = manager_->uploadTaskWithRequestFromData(
      requestTo(server_.url("/silent")), ns::dataFromString("x"), &silentProgress, cancelled.handler());
  silent->resume();
  silentProgress->cancel();
  ASSERT_TRUE(cancelled.wait());
  EXPECT_EQ(cancelled.error->code(), ns::kURLErrorCancelled);
}

TEST_F(HCURLSessionManagerTest, TheSecurityPolicyJudgesServerTrustAndOtherChallengesGetTheDefault) {
  testsupport::LoopbackHTTPServer tlsServer(testsupport::TestCertificates::shared().identity());
  tlsServer.route("/lesson", TestResponse::text(200, "{}", "application/json"));
  const std::string url = tlsServer.url("/lesson", "localhost");

  Completion refused;
  manager_->dataTaskWithRequest(requestTo(url), refused.handler())->resume();
  ASSERT_TRUE(refused.wait());
  EXPECT_EQ(refused.error->code(), ns::kURLErrorCancelled);

  ns::ServerTrust::setAdditionalAnchorsForTesting({testsupport::TestCertificates::shared().root().der});
  Completion trusted;
  manager_->dataTaskWithRequest(requestTo(url), trusted.handler())->resume();
  ASSERT_TRUE(trusted.wait());
  EXPECT_FALSE(trusted.error);

  server_.route("/private", [](const testsupport::RecordedRequest&) {
    TestResponse response = TestResponse::text(401, "{}", "application/json");
    response.headers.emplace_back("WWW-Authenticate", "Basic realm=\"files\"");
    return response;
  });
  Completion basic;
  manager_->dataTaskWithRequest(requestTo(server_.url("/private")), basic.handler())->resume();
  ASSERT_TRUE(basic.wait());
  EXPECT_EQ(basic.error->code(), kHCResponseErrorBadServerResponse);
}

TEST_F(HCURLSessionManagerTest, BlocksTakeOverRedirectsAndChallenges) {
  server_.route("/old", TestResponse::redirect(302, "/new"));
  server_.route("/new", TestResponse::text(200, R"("moved")", "application/json"));
  std::atomic<int> redirects = 0;
  manager_->setTaskWillPerformHTTPRedirectionBlock(
      [&](ns::URLSession&, ns::URLSessionTask&, const ns::HTTPURLResponse&, const ns::URLRequest&) {
        ++redirects;
        return std::optional<ns::URLRequest>();
      });
  Completion refused;
  manager_->dataTaskWithRequest(requestTo(server_.url("/old")), refused.handler())->resume();
  ASSERT_TRUE(refused.wait());
  EXPECT_EQ(redirects, 1);
  EXPECT_EQ(server_.requestCount(), 1u);

  testsupport::LoopbackHTTPServer tlsServer(testsupport::TestCertificates::shared().identity());
  tlsServer.route("/lesson", TestResponse::text(200, "{}", "application/json"));
  manager_->setSessionDidReceiveAuthenticationChallengeBlock(
      [](ns::URLSession&, const ns::URLAuthenticationChallenge& challenge,
         std::optional<ns::URLCredential>& credential) {
        credential = ns::URLCredential::forTrust(challenge.protectionSpace.serverTrust);
        return ns::URLSessionAuthChallengeDisposition::kUseCredential;
      });
  Completion trusted;
  manager_->dataTaskWithRequest(requestTo(tlsServer.url("/lesson")), trusted.handler())->resume();
  ASSERT_TRUE(trusted.wait());
  EXPECT_FALSE(trusted.error);
}

TEST_F(HCURLSessionManagerTest, TaskListsGoDataUploadDownloadAndInvalidationIsAnnounced) {
  const ns::URLRequest request = requestTo(server_.url("/any"));
  const auto download = manager_->downloadTaskWithRequest(request, nullptr, nullptr, nullptr);
  const auto upload =
      manager_->uploadTaskWithRequestFromData(request, ns::dataFromString("x"), nullptr, nullptr);
  const auto data = manager_->dataTaskWithRequest(request, nullptr);
  EXPECT_EQ(manager_->tasks(), (ns::URLSession::Tasks{data, upload, download}));
  EXPECT_EQ(manager_->uploadTasks(), ns::URLSession::Tasks{upload});
  EXPECT_EQ(manager_->downloadTasks(), ns::URLSession::Tasks{download});

  NotificationRecorder recorder({kHCURLSessionDidInvalidateNotification});
  manager_->invalidateSessionCancelingTasks(true);
  ASSERT_TRUE(runMainLoopUntil([&] { return !recorder.namesFor(manager_->session()).empty(); }));
  EXPECT_EQ(manager_->delegateForTask(*data), nullptr);
  EXPECT_EQ(data->state(), ns::URLSessionTaskState::kCompleted);
}

TEST_F(HCURLSessionManagerTest, ACopyOrADecodedManagerKeepsTheConfigurationButNotThePolicy) {
  ns::URLSessionConfiguration configuration;
  configuration.setHTTPAdditionalHeaders({{"X-Client", "quillmark"}});
  const auto configured = HCURLSessionManager::manager(configuration);
  auto policy = std::make_shared<HCSecurityPolicy>();
  policy->setAllowInvalidCertificates(true);
  configured->setSecurityPolicy(policy);

  const std::shared_ptr<HCURLSessionManager> copied = configured->copy();
  EXPECT_EQ(copied->sessionConfiguration(), configuration);
  EXPECT_FALSE(copied->securityPolicy()->allowInvalidCertificates());
  EXPECT_NE(copied->taskDescriptionForSessionTasks(), configured->taskDescriptionForSessionTasks());

  ns::Dictionary coder;
  configured->encodeWithCoder(coder);
  EXPECT_EQ(HCURLSessionManager::managerWithCoder(coder)->sessionConfiguration(), configuration);
  EXPECT_NE(configured->description().find("session: <URLSession: 0x"), std::string::npos);
  configured->session()->invalidateAndCancel();
  copied->session()->invalidateAndCancel();
}

// Downloads cut at half and resumed from their resume data.
class HCURLSessionManagerResumeTest : public HCURLSessionManagerTest {
 protected:
  // Returns the resume data of a download of `body` under `etag` cut at half.
  ns::Data cutDownload(const std::string& body, const std::string& etag) {
    server_.route("/lesson.ts", [body, etag](const testsupport::RecordedRequest& request) {
      TestResponse response = TestResponse::ranged(request, body, etag);
      response.closeAfterBodyBytes = body.size() / 2;
      return response;
    });
    Completion cut;
    manager_->downloadTaskWithRequest(requestTo(server_.url("/lesson.ts")), nullptr, nullptr, cut.handler())
        ->resume();
    EXPECT_TRUE(cut.wait());
    if (!cut.error) {
      return {};
    }
    const auto resumeData = cut.error->userInfo().find(ns::kURLSessionDownloadTaskResumeData);
    return resumeData != cut.error->userInfo().end() && resumeData->second.isData()
               ? resumeData->second.asData()
               : ns::Data();
  }
  // Resumes `resumeData` into a destination file; returns its text, and the offset the download went on from.
  std::string resume(const ns::Data& resumeData, std::int64_t& offset) {
    const std::string destination = downloadFolder() + "/lesson-" + std::to_string(++resumes_) + ".ts";
    manager_->setDownloadTaskDidResumeBlock([&offset](ns::URLSession&, ns::URLSessionTask&,
                                                      std::int64_t fileOffset,
                                                      std::int64_t) { offset = fileOffset; });
    Completion resumed;
    const auto task = manager_->downloadTaskWithResumeData(
        resumeData, nullptr,
        [&](const std::string&, const std::shared_ptr<const ns::URLResponse>&) { return destination; },
        resumed.handler());
    EXPECT_NE(task, nullptr);
    task->resume();
    EXPECT_TRUE(resumed.wait());
    EXPECT_FALSE(resumed.error);
    const ns::Result<ns::Data> contents = ns::FileManager::defaultManager().contentsAtPath(destination);
    return contents ? ns::stringFromData(*contents) : std::string();
  }

  const std::string body_ = std::string(4000, 'a') + std::string(4000, 'b');
  int resumes_ = 0;
};

TEST_F(HCURLSessionManagerResumeTest, ADownloadCutAtHalfAsksOnlyForTheRestFromTheRightByte) {
  const ns::Data resumeData = cutDownload(body_, "\"v1\"");
  ASSERT_FALSE(resumeData.empty());
  server_.route("/lesson.ts", [this](const testsupport::RecordedRequest& request) {
    return TestResponse::ranged(request, body_, "\"v1\"");
  });
  std::int64_t offset = -1;
  EXPECT_EQ(resume(resumeData, offset), body_);
  EXPECT_EQ(offset, 4000);
  const testsupport::RecordedRequest rest = server_.requests().back();
  EXPECT_EQ(rest.header("Range"), "bytes=4000-");
  EXPECT_EQ(rest.header("If-Range"), "\"v1\"");
  EXPECT_EQ(
      manager_->downloadTaskWithResumeData(ns::dataFromString("not resume data"), nullptr, nullptr, nullptr),
      nullptr);
}

TEST_F(HCURLSessionManagerResumeTest, AWholeReplyOrAChangedValidatorStartsOver) {
  const ns::Data ignoredRange = cutDownload(body_, "\"v1\"");
  server_.route("/lesson.ts", [this](const testsupport::RecordedRequest&) {
    TestResponse whole = TestResponse::text(200, body_, "video/mp2t");
    whole.headers.emplace_back("ETag", "\"v1\"");
    return whole;
  });
  std::int64_t offset = -1;
  EXPECT_EQ(resume(ignoredRange, offset), body_);
  EXPECT_EQ(offset, 0);

  const ns::Data changed = cutDownload(body_, "\"v1\"");
  const std::string newer = std::string(8000, 'c');
  server_.route("/lesson.ts", [newer](const testsupport::RecordedRequest& request) {
    return TestResponse::ranged(request, newer, "\"v2\"");
  });
  offset = -1;
  EXPECT_EQ(resume(changed, offset), newer);
  EXPECT_EQ(offset, 0);

  // A partial reply of another entity is no continuation: the whole body is asked for again.
  const ns::Data mismatched = cutDownload(body_, "\"v1\"");
  server_.route("/lesson.ts", [newer](const testsupport::RecordedRequest& request) {
    if (!request.header("Range")) {
      return TestResponse::ranged(request, newer, "\"v2\"");
    }
    TestResponse partial = TestResponse::text(206, newer.substr(4000), "video/mp2t");
    partial.headers.emplace_back("Content-Range", "bytes 4000-7999/8000");
    partial.headers.emplace_back("ETag", "\"v2\"");
    return partial;
  });
  offset = -1;
  EXPECT_EQ(resume(mismatched, offset), newer);
  EXPECT_FALSE(server_.requests().back().header("Range"));
}

}  // namespace
}  // namespace http_client
