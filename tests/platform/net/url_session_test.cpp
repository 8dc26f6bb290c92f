// URL sessions against loopback servers: every task kind with the order of its delegate calls, suspending,
// resuming and cancelling, redirects, authentication challenges, the network link, and invalidation.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/crypto/Base64.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/net/DataInputStream.h"
#include "platform/net/NetworkLink.h"
#include "platform/net/URLError.h"
#include "platform/net/URLSession.h"
#include "platform/net/url_session_test_util.h"
#include "support/loopback_http_server.h"
#include "support/scoped_scratch_home.h"
#include "support/test_certificates.h"

namespace {

using nettest::RecordingSessionDelegate;
using ns::URLSessionTaskState;
using testsupport::TestResponse;
using Events = std::vector<std::string>;

class URLSessionTest : public ::testing::Test {
 protected:
  URLSessionTest()
      : delegate_(std::make_shared<RecordingSessionDelegate>()),
        session_(ns::URLSession::sessionWithConfiguration(
            ns::URLSessionConfiguration::defaultSessionConfiguration(), delegate_)) {}
  ~URLSessionTest() override {
    session_->invalidateAndCancel();
    ns::RunLoop::main().runUntil([&] { return delegate_->invalidations() > 0; }, std::chrono::seconds(10));
  }

  ns::URLRequest requestFor(const std::string& path) const {
    return ns::URLRequest(ns::URL::fromString(server_.url(path)));
  }
  // Runs `task` to its end; returns its events.
  Events run(const std::shared_ptr<ns::URLSessionTask>& task) {
    task->resume();
    EXPECT_TRUE(delegate_->waitForCompletion(*task));
    return delegate_->events(*task);
  }

  testsupport::ScopedScratchHome home_;
  testsupport::LoopbackHTTPServer server_;
  std::shared_ptr<RecordingSessionDelegate> delegate_;
  std::shared_ptr<ns::URLSession> session_;
};

std::string writeTemporaryFile(const std::string& name, const std::string& contents) {
  const std::string path = ns::Sandbox::temporaryDirectory() + "/" + name;
  std::ofstream(path, std::ios::binary) << contents;
  return path;
}

TEST_F(URLSessionTest, ADataTaskDeliversItsBodyThenCompletesOnceWithNumberedStates) {
  server_.route("/hello", TestResponse::text(200, "hello world"));
  const auto task = session_->dataTaskWithRequest(requestFor("/hello"));
  const auto second = session_->dataTaskWithRequest(requestFor("/hello"));
  EXPECT_EQ(task->state(), URLSessionTaskState::kSuspended);
  EXPECT_LT(task->taskIdentifier(), second->taskIdentifier());
  EXPECT_EQ(task->kind(), ns::URLSessionTaskKind::kData);

  EXPECT_EQ(run(task), (Events{"data", "complete"}));
  EXPECT_EQ(delegate_->body(*task), "hello world");
  EXPECT_EQ(task->state(), URLSessionTaskState::kCompleted);
  EXPECT_EQ(task->countOfBytesReceived(), 11);
  EXPECT_EQ(task->countOfBytesExpectedToReceive(), 11);
  EXPECT_FALSE(task->error());
  ASSERT_NE(task->response(), nullptr);
  EXPECT_EQ(std::dynamic_pointer_cast<const ns::HTTPURLResponse>(task->response())->statusCode(), 200);

  // A finished task never runs again.
  task->resume();
  task->suspend();
  EXPECT_EQ(task->state(), URLSessionTaskState::kCompleted);
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(URLSessionTest, TheResponseDispositionAllowsOrCancelsTheBody) {
  server_.route("/hello", TestResponse::text(200, "hello world"));
  ns::URLSessionResponseDisposition disposition = ns::URLSessionResponseDisposition::kAllow;
  delegate_->onResponse = [&](ns::URLSessionTask&) { return disposition; };
  EXPECT_EQ(run(session_->dataTaskWithRequest(requestFor("/hello"))),
            (Events{"response", "data", "complete"}));

  disposition = ns::URLSessionResponseDisposition::kCancel;
  EXPECT_EQ(run(session_->dataTaskWithRequest(requestFor("/hello"))), (Events{"response", "complete -999"}));
}

TEST_F(URLSessionTest, UploadsSendTheirBodyFromDataFileOrStreamWithProgress) {
  server_.route("/upload", [](const testsupport::RecordedRequest& request) {
    return TestResponse::text(200, std::to_string(request.body.size()));
  });
  const std::string contents(3 * 1024 * 1024 + 7, 'q');
  ns::URLRequest post = requestFor("/upload");
  post.setHTTPMethod("POST");

  const auto fromData = session_->uploadTaskWithRequest(post, ns::dataFromString("abc"));
  EXPECT_EQ(fromData->kind(), ns::URLSessionTaskKind::kUpload);
  EXPECT_EQ(run(fromData), (Events{"send", "data", "complete"}));
  EXPECT_EQ(delegate_->body(*fromData), "3");
  EXPECT_EQ(fromData->countOfBytesSent(), 3);

  const auto fromFile =
      session_->uploadTaskWithRequestFromFile(post, writeTemporaryFile("session-upload.bin", contents));
  EXPECT_EQ(fromFile->countOfBytesExpectedToSend(), static_cast<std::int64_t>(contents.size()));
  EXPECT_EQ(run(fromFile), (Events{"send", "data", "complete"}));
  EXPECT_EQ(delegate_->body(*fromFile), std::to_string(contents.size()));
  EXPECT_EQ(delegate_->bytesSent(*fromFile), static_cast<std::int64_t>(contents.size()));
  EXPECT_EQ(delegate_->expectedToSend(*fromFile), static_cast<std::int64_t>(contents.size()));
  EXPECT_TRUE(server_.requests().back().body == contents);

  ns::URLRequest streamed = post;
  streamed.setHTTPBodyStream(std::make_shared<ns::DataInputStream>(ns::dataFromString("streamed body")));
  const auto fromStream = session_->uploadTaskWithStreamedRequest(streamed);
  EXPECT_EQ(run(fromStream), (Events{"send", "data", "complete"}));
  EXPECT_EQ(server_.requests().back().body, "streamed body");
  EXPECT_EQ(delegate_->expectedToSend(*fromStream), -1);
}

TEST_F(URLSessionTest, AnUploadFromAFileThatCannotBeReadFails) {
  ns::URLRequest post = requestFor("/upload");
  post.setHTTPMethod("POST");
  const auto task = session_->uploadTaskWithRequestFromFile(post, "/nonexistent/quillmark-upload.bin");
  const Events events = run(task);
  ASSERT_FALSE(events.empty());
  EXPECT_NE(events.back(), "complete");
  EXPECT_TRUE(task->error());
}

TEST_F(URLSessionTest, ADownloadHandsOverTheWholeFileThenRemovesIt) {
  std::string body;
  for (int i = 0; body.size() < 300'000; ++i) {
    body += std::to_string(i) + ",";
  }
  server_.route("/lesson", TestResponse::text(200, body, "application/octet-stream"));
  const auto task = session_->downloadTaskWithRequest(requestFor("/lesson"));
  EXPECT_EQ(task->kind(), ns::URLSessionTaskKind::kDownload);
  EXPECT_EQ(run(task), (Events{"write", "downloaded", "complete"}));
  EXPECT_EQ(delegate_->body(*task), body);
  EXPECT_FALSE(ns::FileManager::defaultManager().fileExistsAtPath(delegate_->downloadPath(*task)));
}

TEST_F(URLSessionTest, ASuspendedTaskTellsNothingUntilResumed) {
  server_.route("/hello", TestResponse::text(200, "hello world"));
  const auto task = session_->dataTaskWithRequest(requestFor("/hello"));
  delegate_->onResponse = [](ns::URLSessionTask& responding) {
    responding.suspend();
    return ns::URLSessionResponseDisposition::kAllow;
  };
  task->resume();
  ASSERT_TRUE(ns::RunLoop::main().runUntil([&] { return !delegate_->events(*task).empty(); },
                                           std::chrono::seconds(10)));
  EXPECT_EQ(task->state(), URLSessionTaskState::kSuspended);
  // The body came with the response; anything the suspended task had passed on would reach the delegate
  // before a task that runs after it has completed.
  delegate_->onResponse = nullptr;
  EXPECT_EQ(run(session_->dataTaskWithRequest(requestFor("/hello"))), (Events{"data", "complete"}));
  EXPECT_EQ(delegate_->events(*task), Events{"response"});
  EXPECT_EQ(task->countOfBytesReceived(), 0);

  task->resume();
  EXPECT_TRUE(delegate_->waitForCompletion(*task));
  EXPECT_EQ(delegate_->events(*task), (Events{"response", "data", "complete"}));
  EXPECT_EQ(delegate_->body(*task), "hello world");
}

TEST_F(URLSessionTest, ASessionLivesWhileItsTasksRunAndCancelsThoseThatNeverStarted) {
  server_.route("/hello", TestResponse::text(200, "hello world"));
  auto session = ns::URLSession::sessionWithConfiguration(ns::URLSessionConfiguration(), delegate_);
  const auto running = session->dataTaskWithRequest(requestFor("/hello"));
  const auto waiting = session->dataTaskWithRequest(requestFor("/hello"));
  const ns::KeyValueObservation wakeOnEnd =
      waiting->observe("state", [](const ns::KeyValueChange&) { ns::RunLoop::main().post([] {}); });
  running->resume();
  session.reset();
  EXPECT_TRUE(delegate_->waitForCompletion(*running));
  EXPECT_EQ(delegate_->events(*running), (Events{"data", "complete"}));
  ASSERT_TRUE(ns::RunLoop::main().runUntil(
      [&] { return waiting->state() == URLSessionTaskState::kCompleted; }, std::chrono::seconds(10)));
  EXPECT_EQ(waiting->error()->code(), ns::kURLErrorCancelled);
  EXPECT_TRUE(delegate_->events(*waiting).empty());
}

TEST_F(URLSessionTest, ASessionKeepsItsDelegateOnlyWhileItHasSomethingToTellIt) {
  server_.route("/hello", TestResponse::text(200, "hello world"));
  // What the delegate heard, kept beyond its life.
  struct Heard {
    std::atomic<bool> completed{false};
    std::atomic<bool> invalid{false};
    std::atomic<bool> destroyed{false};
  };
  class ReleasedDelegate : public RecordingSessionDelegate {
   public:
    explicit ReleasedDelegate(std::shared_ptr<Heard> heard) : heard_(std::move(heard)) {
      onEvent = [heard = heard_](ns::URLSessionTask&, const std::string& event) {
        heard->completed = heard->completed || event == "complete";
      };
    }
    ~ReleasedDelegate() override {
      heard_->destroyed = true;
      ns::RunLoop::main().post([] {});
    }
    void didBecomeInvalidWithError(ns::URLSession& session, const std::optional<ns::Error>& error) override {
      heard_->invalid = heard_->completed.load();
      RecordingSessionDelegate::didBecomeInvalidWithError(session, error);
    }

   private:
    std::shared_ptr<Heard> heard_;
  };

  const auto heard = std::make_shared<Heard>();
  auto delegate = std::make_shared<ReleasedDelegate>(heard);
  auto session = ns::URLSession::sessionWithConfiguration(ns::URLSessionConfiguration(), delegate);
  session->dataTaskWithRequest(requestFor("/hello"))->resume();
  session->finishTasksAndInvalidate();
  delegate.reset();
  session.reset();
  ASSERT_TRUE(
      ns::RunLoop::main().runUntil([&] { return heard->destroyed.load(); }, std::chrono::seconds(10)));
  EXPECT_TRUE(heard->completed);
  EXPECT_TRUE(heard->invalid);

  // An idle session holds its delegate weakly: an owner that is also the delegate can go.
  auto idle = std::make_shared<RecordingSessionDelegate>();
  const std::weak_ptr<RecordingSessionDelegate> watched = idle;
  const auto idleSession = ns::URLSession::sessionWithConfiguration(ns::URLSessionConfiguration(), idle);
  idle.reset();
  EXPECT_TRUE(watched.expired());
}

TEST_F(URLSessionTest, CancellingEndsATaskOnceWithTheCancelledError) {
  server_.route("/silent", [](const testsupport::RecordedRequest&) {
    ns::RunLoop::main().post([] {});
    return TestResponse::noAnswer();
  });
  const auto running = session_->dataTaskWithRequest(requestFor("/silent"));
  running->resume();
  ASSERT_TRUE(
      ns::RunLoop::main().runUntil([&] { return server_.requestCount() == 1; }, std::chrono::seconds(10)));
  running->cancel();
  running->cancel();
  EXPECT_TRUE(delegate_->waitForCompletion(*running));
  EXPECT_EQ(delegate_->events(*running), (Events{"complete -999"}));
  EXPECT_EQ(running->error()->code(), ns::kURLErrorCancelled);

  const auto neverStarted = session_->dataTaskWithRequest(requestFor("/silent"));
  neverStarted->cancel();
  neverStarted->resume();
  EXPECT_TRUE(delegate_->waitForCompletion(*neverStarted));
  EXPECT_EQ(delegate_->events(*neverStarted), (Events{"complete -999"}));
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(URLSessionTest, RedirectsAreFollowedOrRefusedAsTheDelegateDecides) {
  server_.route("/old", TestResponse::redirect(302, "/new"));
  server_.route("/new", TestResponse::text(200, "moved"));
  const auto followed = session_->dataTaskWithRequest(requestFor("/old"));
  EXPECT_EQ(run(followed), (Events{"data", "complete"}));
  EXPECT_EQ(followed->currentRequest().url()->path(), "/new");

  delegate_->onRedirect = [](ns::URLRequest proposed) { return std::optional(std::move(proposed)); };
  EXPECT_EQ(run(session_->dataTaskWithRequest(requestFor("/old"))),
            (Events{"redirect /new", "data", "complete"}));

  delegate_->onRedirect = [](ns::URLRequest) { return std::nullopt; };
  const auto refused = session_->dataTaskWithRequest(requestFor("/old"));
  EXPECT_EQ(run(refused), (Events{"redirect /new", "data", "complete"}));
  EXPECT_EQ(std::dynamic_pointer_cast<const ns::HTTPURLResponse>(refused->response())->statusCode(), 302);
  EXPECT_EQ(refused->currentRequest().url()->path(), "/old");
}

TEST_F(URLSessionTest, ABasicChallengeIsAnsweredRetriedCancelledOrLeftAsTheReply) {
  const std::string accepted = "Basic " + ns::base64Encode(ns::dataFromString("learner:quill"));
  server_.route("/private", [accepted](const testsupport::RecordedRequest& request) {
    if (request.header("Authorization") == accepted) {
      return TestResponse::text(200, "secret");
    }
    TestResponse refused = TestResponse::text(401, "who are you");
    refused.headers.emplace_back("WWW-Authenticate", "Basic realm=\"files\"");
    return refused;
  });
  std::optional<std::string> realm;
  delegate_->onChallenge = [&](const ns::URLAuthenticationChallenge& challenge) {
    realm = challenge.protectionSpace.realm;
    return ns::URLAuthenticationChallengeAnswer{
        ns::URLSessionAuthChallengeDisposition::kUseCredential,
        ns::URLCredential::withUser("learner", challenge.previousFailureCount == 0 ? "wrong" : "quill")};
  };
  const auto answered = session_->dataTaskWithRequest(requestFor("/private"));
  EXPECT_EQ(run(answered), (Events{"challenge NSURLAuthenticationMethodHTTPBasic 0",
                                   "challenge NSURLAuthenticationMethodHTTPBasic 1", "data", "complete"}));
  EXPECT_EQ(delegate_->body(*answered), "secret");
  EXPECT_EQ(realm, "files");

  delegate_->onChallenge = [](const ns::URLAuthenticationChallenge&) {
    return ns::URLAuthenticationChallengeAnswer{
        ns::URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge, std::nullopt};
  };
  EXPECT_EQ(run(session_->dataTaskWithRequest(requestFor("/private"))),
            (Events{"challenge NSURLAuthenticationMethodHTTPBasic 0", "complete -999"}));

  delegate_->onChallenge = [](const ns::URLAuthenticationChallenge&) {
    return ns::URLAuthenticationChallengeAnswer{
        ns::URLSessionAuthChallengeDisposition::kPerformDefaultHandling, std::nullopt};
  };
  const auto unanswered = session_->dataTaskWithRequest(requestFor("/private"));
  EXPECT_EQ(run(unanswered), (Events{"challenge NSURLAuthenticationMethodHTTPBasic 0", "data", "complete"}));
  EXPECT_EQ(std::dynamic_pointer_cast<const ns::HTTPURLResponse>(unanswered->response())->statusCode(), 401);
}

TEST_F(URLSessionTest, AStreamedUploadAsksForANewBodyWhenSentAgainWithACredential) {
  server_.route("/private", [](const testsupport::RecordedRequest& request) {
    if (request.header("Authorization")) {
      return TestResponse::text(200, request.body);
    }
    TestResponse refused = TestResponse::text(401, "");
    refused.headers.emplace_back("WWW-Authenticate", "Basic realm=\"files\"");
    return refused;
  });
  delegate_->onChallenge = [](const ns::URLAuthenticationChallenge&) {
    return ns::URLAuthenticationChallengeAnswer{ns::URLSessionAuthChallengeDisposition::kUseCredential,
                                                ns::URLCredential::withUser("learner", "quill")};
  };
  delegate_->onNeedNewBodyStream = [] {
    return std::make_shared<ns::DataInputStream>(ns::dataFromString("second body"));
  };
  ns::URLRequest streamed = requestFor("/private");
  streamed.setHTTPMethod("PUT");
  streamed.setHTTPBodyStream(std::make_shared<ns::DataInputStream>(ns::dataFromString("first body")));
  const auto task = session_->uploadTaskWithStreamedRequest(streamed);
  const Events events = run(task);
  EXPECT_EQ(events.front(), "send");
  EXPECT_EQ(events.back(), "complete");
  EXPECT_EQ(delegate_->body(*task), "second body");
}

TEST_F(URLSessionTest, AServerTrustChallengeDecidesTheTLSHandshake) {
  testsupport::LoopbackHTTPServer tlsServer(testsupport::TestCertificates::shared().identity());
  tlsServer.route("/hello", TestResponse::text(200, "hello"));
  const ns::URLRequest request(ns::URL::fromString(tlsServer.url("/hello")));

  EXPECT_EQ(run(session_->dataTaskWithRequest(request)).back(), "complete -1202");

  ns::URLSessionAuthChallengeDisposition disposition = ns::URLSessionAuthChallengeDisposition::kUseCredential;
  delegate_->onChallenge = [&](const ns::URLAuthenticationChallenge& challenge) {
    EXPECT_EQ(challenge.protectionSpace.host, "127.0.0.1");
    return ns::URLAuthenticationChallengeAnswer{
        disposition, ns::URLCredential::forTrust(challenge.protectionSpace.serverTrust)};
  };
  const auto trusted = session_->dataTaskWithRequest(request);
  EXPECT_EQ(run(trusted), (Events{"challenge NSURLAuthenticationMethodServerTrust 0", "data", "complete"}));
  EXPECT_EQ(delegate_->body(*trusted), "hello");

  disposition = ns::URLSessionAuthChallengeDisposition::kCancelAuthenticationChallenge;
  EXPECT_EQ(run(session_->dataTaskWithRequest(request)),
            (Events{"challenge NSURLAuthenticationMethodServerTrust 0", "complete -999"}));
}

TEST_F(URLSessionTest, WithoutANetworkOnlyTheDevicesOwnServersAreReached) {
  server_.route("/hello", TestResponse::text(200, "hello"));
  ns::NetworkLink::simulate(ns::LinkKind::kNone);
  const Events refused = run(session_->dataTaskWithRequest(requestFor("/hello")));
  ns::NetworkLink::simulate(std::nullopt);
  EXPECT_EQ(refused, (Events{"complete -1009"}));
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(URLSessionTest, AnInvalidatedSessionListsItsTasksMakesNoNewOnesAndEndsLast) {
  server_.route("/hello", TestResponse::text(200, "hello"));
  const auto data = session_->dataTaskWithRequest(requestFor("/hello"));
  const auto upload = session_->uploadTaskWithRequest(requestFor("/hello"), ns::dataFromString("x"));
  const auto download = session_->downloadTaskWithRequest(requestFor("/hello"));
  std::vector<std::uint64_t> listed;
  bool answered = false;
  session_->getTasksWithCompletionHandler([&](const ns::URLSession::Tasks& dataTasks,
                                              const ns::URLSession::Tasks& uploadTasks,
                                              const ns::URLSession::Tasks& downloadTasks) {
    for (const auto* kind : {&dataTasks, &uploadTasks, &downloadTasks}) {
      for (const auto& task : *kind) {
        listed.push_back(task->taskIdentifier());
      }
    }
    ns::RunLoop::main().post([&] { answered = true; });
  });
  ASSERT_TRUE(ns::RunLoop::main().runUntil([&] { return answered; }, std::chrono::seconds(10)));
  EXPECT_EQ(listed,
            (std::vector{data->taskIdentifier(), upload->taskIdentifier(), download->taskIdentifier()}));

  session_->finishTasksAndInvalidate();
  EXPECT_EQ(session_->dataTaskWithRequest(requestFor("/hello")), nullptr);
  upload->cancel();
  download->cancel();
  EXPECT_EQ(run(data), (Events{"data", "complete"}));
  EXPECT_TRUE(ns::RunLoop::main().runUntil([&] { return delegate_->invalidations() == 1; },
                                           std::chrono::seconds(10)));
}

}  // namespace
