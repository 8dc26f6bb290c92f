// The connection operation against a loopback server: its states, cancellation and pausing, notifications,
// completion, body streams with and without space, text encodings, batches and archiving.

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <mutex>
#include <set>

#include "http_client/HCURLConnectionOperation.h"
#include "http_client/HTTPClientTestUtil.h"
#include "platform/foundation/loop/OperationQueue.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/PosixError.h"
#include "platform/net/URLError.h"
#include "support/LoopbackHTTPServer.h"

namespace {

using httpclienttest::runMainLoopThroughQueuedTasks;
using httpclienttest::runMainLoopUntil;
using httpclienttest::wakingMainLoop;
using testsupport::LoopbackHTTPServer;
using testsupport::TestResponse;

// Takes `capacity` bytes and then fails as a full disk does.
class FullDiskOutputStream : public ns::OutputStream {
 public:
  explicit FullDiskOutputStream(std::size_t capacity) : capacity_(capacity) {}
  void open() override { setStatus(ns::StreamStatus::kOpen); }
  void close() override {}
  std::ptrdiff_t write(const std::uint8_t*, std::size_t length) override {
    if (taken_ + length > capacity_) {
      failWith(ns::posixError(ENOSPC, "disk"));
      return -1;
    }
    taken_ += length;
    return static_cast<std::ptrdiff_t>(length);
  }
  bool hasSpaceAvailable() const override { return streamStatus() == ns::StreamStatus::kOpen; }

 private:
  const std::size_t capacity_;
  std::size_t taken_ = 0;
};

// Takes three bytes at a time and then has no space until the main loop's next turn gives it more, so that
// the writer has to hold bytes back and wait.
class TricklingOutputStream : public ns::OutputStream {
 public:
  static std::shared_ptr<TricklingOutputStream> create() {
    auto stream = std::make_shared<TricklingOutputStream>();
    stream->self_ = stream;
    return stream;
  }
  void open() override { setStatus(ns::StreamStatus::kOpen); }
  void close() override { setStatus(ns::StreamStatus::kClosed); }
  std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) override {
    if (!space_) {
      return 0;
    }
    const std::size_t taken = std::min<std::size_t>(length, 3);
    {
      std::lock_guard lock(mutex_);
      written_.append(reinterpret_cast<const char*>(bytes), taken);
    }
    space_ = false;
    ns::RunLoop::main().post([weakSelf = self_] {
      if (const auto self = weakSelf.lock()) {
        self->space_ = true;
        self->notifySpaceAvailable();
      }
    });
    return static_cast<std::ptrdiff_t>(taken);
  }
  bool hasSpaceAvailable() const override { return space_ && streamStatus() == ns::StreamStatus::kOpen; }
  std::string written() const {
    std::lock_guard lock(mutex_);
    return written_;
  }

 private:
  std::weak_ptr<TricklingOutputStream> self_;
  std::atomic<bool> space_{true};
  mutable std::mutex mutex_;
  std::string written_;
};

std::string bodyOf(const HCURLConnectionOperation& operation) {
  return ns::stringFromData(operation.responseData().value_or(ns::Data()));
}

class HCURLConnectionOperationTest : public testing::Test {
 protected:
  HCURLConnectionOperationTest() {
    server_.route("/hello", TestResponse::text(200, "hello"));
    for (const char* name :
         {kHCNetworkingOperationDidStartNotification, kHCNetworkingOperationDidFinishNotification}) {
      observers_.push_back(ns::NotificationCenter::defaultCenter().addObserverForName(
          name, nullptr, nullptr, [this](const ns::Notification& notification) {
            notifications_[notification.object.get()].push_back(
                notification.name == kHCNetworkingOperationDidStartNotification ? "start" : "finish");
          }));
    }
  }
  ~HCURLConnectionOperationTest() override {
    for (const auto& observer : observers_) {
      ns::NotificationCenter::defaultCenter().removeObserver(observer);
    }
  }

  std::shared_ptr<HCURLConnectionOperation> operationFor(const std::string& path) {
    auto operation =
        std::make_shared<HCURLConnectionOperation>(ns::URLRequest(ns::URL::fromString(server_.url(path))));
    operation->setCompletionBlock([this, completed = operation.get()] {
      completed_.insert(completed);
      completedOnMainThread_ = ns::RunLoop::isMainThread();
    });
    return operation;
  }

  bool runUntilFinished(const HCURLConnectionOperation& operation) {
    return runMainLoopUntil([&] { return operation.isFinished() && completed_.contains(&operation); });
  }

  static void expectCancelled(const HCURLConnectionOperation& operation) {
    ASSERT_TRUE(operation.error());
    EXPECT_EQ(operation.error()->domain(), ns::kURLErrorDomain);
    EXPECT_EQ(operation.error()->code(), ns::kURLErrorCancelled);
  }

  LoopbackHTTPServer server_;
  std::vector<ns::NotificationCenter::ObserverToken> observers_;
  // The notifications each operation posted, in order; operations of earlier tests may still post.
  std::map<const ns::Object*, std::vector<std::string>> notifications_;
  // The operations whose completion block ran.
  std::set<const HCURLConnectionOperation*> completed_;
  bool completedOnMainThread_ = false;
};

TEST_F(HCURLConnectionOperationTest, LoadsTheBodyAndReportsProgressOnTheMainQueue) {
  const auto operation = operationFor("/hello");
  std::vector<std::int64_t> totals;
  operation->setDownloadProgressBlock([&](std::int64_t, std::int64_t total, std::int64_t expected) {
    EXPECT_TRUE(ns::RunLoop::isMainThread());
    EXPECT_EQ(expected, 5);
    totals.push_back(total);
  });

  operation->start();
  ASSERT_TRUE(runUntilFinished(*operation));
  runMainLoopThroughQueuedTasks();

  EXPECT_FALSE(operation->error());
  EXPECT_EQ(bodyOf(*operation), "hello");
  EXPECT_EQ(operation->totalBytesRead(), 5);
  EXPECT_EQ(totals.back(), 5);
  EXPECT_TRUE(completedOnMainThread_);
  EXPECT_EQ(notifications_[operation.get()], (std::vector<std::string>{"start", "finish"}));
}

TEST_F(HCURLConnectionOperationTest, TheFinishNotificationReachesTheMainQueueAheadOfTheCompletion) {
  const auto operation =
      std::make_shared<HCURLConnectionOperation>(ns::URLRequest(ns::URL::fromString(server_.url("/hello"))));
  std::vector<std::string> events;
  const auto observer = ns::NotificationCenter::defaultCenter().addObserverForName(
      kHCNetworkingOperationDidFinishNotification, operation, nullptr,
      [&](const ns::Notification&) { events.push_back("finish notification"); });
  operation->setCompletionBlock([&] { events.push_back("completion"); });

  operation->start();
  const bool both = runMainLoopUntil([&] { return events.size() == 2; });
  ns::NotificationCenter::defaultCenter().removeObserver(observer);
  ASSERT_TRUE(both);
  EXPECT_EQ(events, (std::vector<std::string>{"finish notification", "completion"}));
}

TEST_F(HCURLConnectionOperationTest, CancelledBeforeStartItFinishesWithTheCancellationAlone) {
  const auto operation = operationFor("/hello");
  operation->cancel();
  operation->start();

  ASSERT_TRUE(runUntilFinished(*operation));
  runMainLoopThroughQueuedTasks();
  expectCancelled(*operation);
  EXPECT_EQ(operation->error()->userInfo().at(std::string(ns::kURLErrorFailingURLErrorKey)),
            ns::Value(server_.url("/hello")));
  EXPECT_EQ(notifications_[operation.get()], std::vector<std::string>{"finish"});
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(HCURLConnectionOperationTest, CancelledBeforeTheNetworkThreadSetsUpNoConnectionIsMade) {
  const auto operation = operationFor("/hello");
  std::promise<void> release;
  HCURLConnectionOperation::networkRequestThread().runLoop().post(
      [held = release.get_future().share()] { held.wait(); });

  operation->start();
  operation->cancel();
  release.set_value();

  ASSERT_TRUE(runUntilFinished(*operation));
  runMainLoopThroughQueuedTasks();
  expectCancelled(*operation);
  EXPECT_EQ(notifications_[operation.get()], (std::vector<std::string>{"start", "finish"}));
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(HCURLConnectionOperationTest, CancellingAFinishedOperationOrCancellingTwiceChangesNothing) {
  const auto finished = operationFor("/hello");
  finished->start();
  ASSERT_TRUE(runUntilFinished(*finished));
  finished->cancel();
  EXPECT_FALSE(finished->isCancelled());
  EXPECT_FALSE(finished->error());

  const auto twice = operationFor("/hello");
  int cancellations = 0;
  twice->addKeyObserver([&](ns::Operation&, std::string_view key, ns::KeyChange change) {
    cancellations += key == ns::kIsCancelledKey && change == ns::KeyChange::kDid ? 1 : 0;
  });
  twice->cancel();
  twice->cancel();
  EXPECT_EQ(cancellations, 1);
  twice->start();
  ASSERT_TRUE(runUntilFinished(*twice));
}

TEST_F(HCURLConnectionOperationTest, APausedReadyOperationWaitsSilentlyUntilResumed) {
  const auto operation = operationFor("/hello");
  operation->pause();
  EXPECT_TRUE(operation->isPaused());
  EXPECT_FALSE(operation->isReady());
  runMainLoopThroughQueuedTasks();
  EXPECT_TRUE(notifications_[operation.get()].empty());

  operation->resume();
  ASSERT_TRUE(runUntilFinished(*operation));
  EXPECT_EQ(bodyOf(*operation), "hello");
}

TEST_F(HCURLConnectionOperationTest, PausingAnExecutingOperationStopsItAndACancelThenFinishesIt) {
  server_.route("/silent", wakingMainLoop(TestResponse::noAnswer()));
  const auto operation = operationFor("/silent");
  operation->start();
  ASSERT_TRUE(runMainLoopUntil(
      [&] { return server_.requestCount() == 1 && notifications_[operation.get()].size() == 1; }));

  operation->pause();
  ASSERT_TRUE(runMainLoopUntil([&] { return notifications_[operation.get()].size() == 2; }));
  EXPECT_EQ(notifications_[operation.get()].back(), "finish");
  EXPECT_TRUE(operation->isPaused());
  EXPECT_FALSE(operation->isFinished());
  EXPECT_FALSE(operation->isExecuting());

  operation->cancel();
  ASSERT_TRUE(runUntilFinished(*operation));
  expectCancelled(*operation);
  EXPECT_EQ(completed_.size(), 1u);
}

TEST_F(HCURLConnectionOperationTest, AFinishedOperationIgnoresPauseResumeAndStart) {
  const auto operation = operationFor("/hello");
  operation->start();
  ASSERT_TRUE(runUntilFinished(*operation));

  operation->pause();
  operation->resume();
  operation->start();
  EXPECT_TRUE(operation->isFinished());
  EXPECT_FALSE(operation->isPaused());
  runMainLoopThroughQueuedTasks();
  EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(HCURLConnectionOperationTest, AStreamThatFailsFailsTheOperationInsteadOfCuttingTheBody) {
  server_.route("/long", TestResponse::text(200, std::string(5000, 'x')));
  const auto operation = operationFor("/long");
  operation->setOutputStream(std::make_shared<FullDiskOutputStream>(100));

  operation->start();
  ASSERT_TRUE(runUntilFinished(*operation));
  ASSERT_TRUE(operation->error());
  EXPECT_EQ(operation->error()->domain(), ns::kPOSIXErrorDomain);
  EXPECT_EQ(operation->error()->code(), ENOSPC);
  EXPECT_FALSE(operation->responseData());
}

TEST_F(HCURLConnectionOperationTest, AStreamThatCannotOpenFailsBeforeAnyRequest) {
  const auto operation = operationFor("/hello");
  operation->setOutputStream(ns::OutputStream::toFileAtPath(testing::TempDir() + "/missing/folder/body",
                                                            ns::OutputStream::FileMode::kTruncate));
  operation->start();
  ASSERT_TRUE(runUntilFinished(*operation));
  ASSERT_TRUE(operation->error());
  EXPECT_EQ(operation->error()->code(), ENOENT);
  EXPECT_EQ(server_.requestCount(), 0u);
}

TEST_F(HCURLConnectionOperationTest, AStreamWithoutSpaceMakesTheWriterWaitWithoutLosingBytes) {
  std::string body;
  for (int index = 0; index < 120; ++index) {
    body += std::to_string(index) + ",";
  }
  TestResponse slow = TestResponse::text(200, body);
  slow.framing = TestResponse::Framing::kChunked;
  slow.pieceSize = 50;
  server_.route("/numbers", slow);
  const auto stream = TricklingOutputStream::create();
  const auto operation = operationFor("/numbers");
  operation->setOutputStream(stream);

  operation->start();
  ASSERT_TRUE(runUntilFinished(*operation));
  EXPECT_FALSE(operation->error());
  EXPECT_EQ(stream->written(), body);
  EXPECT_FALSE(operation->responseData()) << "the body went to the caller's stream";
}

TEST_F(HCURLConnectionOperationTest, UploadProgressReachesTheMainQueue) {
  server_.route("/upload", TestResponse::text(200, "ok"));
  ns::URLRequest request(ns::URL::fromString(server_.url("/upload")));
  request.setHTTPMethod("POST");
  request.setHTTPBody(ns::Data(20000, 'u'));
  const auto operation = std::make_shared<HCURLConnectionOperation>(request);
  std::int64_t lastTotal = 0;
  operation->setUploadProgressBlock([&](std::int64_t, std::int64_t total, std::int64_t expected) {
    EXPECT_TRUE(ns::RunLoop::isMainThread());
    EXPECT_EQ(expected, 20000);
    lastTotal = total;
  });

  operation->start();
  ASSERT_TRUE(runMainLoopUntil([&] { return operation->isFinished() && lastTotal == 20000; }));
  EXPECT_EQ(server_.requests().front().body.size(), 20000u);
}

TEST_F(HCURLConnectionOperationTest, ResponseTextFollowsTheNamedCharacterSet) {
  const auto textOf = [&](const std::string& contentType, const std::string& body) {
    server_.route("/text", TestResponse::text(200, body, contentType));
    const auto operation = operationFor("/text");
    EXPECT_FALSE(operation->responseStringEncoding());
    operation->start();
    EXPECT_TRUE(runUntilFinished(*operation));
    return operation->responseString();
  };

  EXPECT_EQ(textOf("text/plain", "h\xC3\xA9llo"), "héllo");
  EXPECT_EQ(textOf("text/plain; charset=ISO-8859-1", "caf\xE9"), "café");
  EXPECT_EQ(textOf("text/plain; charset=gbk", "\xD6\xD0\xCE\xC4"), "中文");
  EXPECT_EQ(textOf("text/plain; charset=x-unheard-of", "h\xC3\xA9llo"), "héllo");
}

TEST_F(HCURLConnectionOperationTest, ABatchReportsEachFinishedOperationThenCompletesOnce) {
  ns::OperationQueue queue;
  std::vector<std::shared_ptr<HCURLConnectionOperation>> operations;
  for (int index = 0; index < 3; ++index) {
    operations.push_back(operationFor("/hello"));
  }
  std::vector<std::pair<std::size_t, std::size_t>> progress;
  int batchCompletions = 0;
  const auto batch = HCURLConnectionOperation::batchOfRequestOperations(
      operations, [&](std::size_t finished, std::size_t total) { progress.emplace_back(finished, total); },
      [&](const std::vector<std::shared_ptr<HCURLConnectionOperation>>& done) {
        EXPECT_TRUE(ns::RunLoop::isMainThread());
        EXPECT_EQ(done, operations);
        EXPECT_EQ(completed_.size(), 3u) << "every operation's own completion ran first";
        ++batchCompletions;
      });
  ASSERT_EQ(batch.size(), 4u);
  queue.addOperations(batch, ns::OperationQueue::WaitUntilFinished::kNo);

  ASSERT_TRUE(runMainLoopUntil([&] { return batchCompletions == 1; }));
  runMainLoopThroughQueuedTasks();
  ASSERT_EQ(progress.size(), 3u);
  for (const auto& [finished, total] : progress) {
    EXPECT_EQ(total, 3u);
    EXPECT_GE(finished, 1u);
  }
  EXPECT_EQ(progress.back().first, 3u);
  EXPECT_EQ(batchCompletions, 1);
}

TEST_F(HCURLConnectionOperationTest, AnEmptyBatchCompletesWithNoOperations) {
  ns::OperationQueue queue;
  bool completed = false;
  const auto batch = HCURLConnectionOperation::batchOfRequestOperations(
      {}, nullptr, [&](const std::vector<std::shared_ptr<HCURLConnectionOperation>>& done) {
        EXPECT_TRUE(done.empty());
        completed = true;
      });
  ASSERT_EQ(batch.size(), 1u);
  queue.addOperation(batch.front());
  EXPECT_TRUE(runMainLoopUntil([&] { return completed; }));
}

TEST_F(HCURLConnectionOperationTest, ArchivingARunningOperationPausesItAndStoresItReady) {
  server_.route("/silent", wakingMainLoop(TestResponse::noAnswer()));
  const auto operation = operationFor("/silent");
  operation->start();
  ASSERT_TRUE(runMainLoopUntil([&] { return server_.requestCount() == 1; }));

  ns::Dictionary archive;
  operation->encodeWithCoder(archive);
  EXPECT_TRUE(operation->isPaused());
  EXPECT_EQ(archive.at("state"), ns::Value(1));

  const auto decoded = std::make_shared<HCURLConnectionOperation>(archive);
  EXPECT_TRUE(decoded->isReady());
  EXPECT_EQ(decoded->request().url()->absoluteString(), server_.url("/silent"));

  operation->cancel();
  ASSERT_TRUE(runUntilFinished(*operation));
}

}  // namespace
