// The connection operation against a loopback server: states, notifications, streams, batches, archiving.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <map>

#include "http_client/HCURLConnectionOperation.h"
#include "http_client/http_client_test_util.h"
#include "platform/foundation/loop/OperationQueue.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/PosixError.h"
#include "platform/net/URLError.h"

namespace http_client {

namespace {

using httpclienttest::runMainLoopThroughQueuedTasks;
using httpclienttest::runMainLoopUntil;
using httpclienttest::wakingMainLoop;
using testsupport::TestResponse;
using Events = std::vector<std::string>;

// Fails as a full disk past `capacity`; trickling, it takes three bytes and then waits a turn for space.
class TestOutputStream : public ns::OutputStream, public std::enable_shared_from_this<TestOutputStream> {
 public:
  TestOutputStream(std::size_t capacity, bool trickles) : capacity_(capacity), trickles_(trickles) {}
  void open() override { setStatus(ns::StreamStatus::kOpen); }
  void close() override { setStatus(ns::StreamStatus::kClosed); }
  std::ptrdiff_t write(const std::uint8_t* bytes, std::size_t length) override {
    if (!space_) {
      return 0;
    }
    const std::size_t taken = trickles_ ? std::min<std::size_t>(length, 3) : length;
    if (written_.size() + taken > capacity_) {
      failWith(ns::posixError(ENOSPC, "disk"));
      return -1;
    }
    written_.append(reinterpret_cast<const char*>(bytes), taken);
    if (trickles_) {
      space_ = false;
      ns::RunLoop::main().post([weakSelf = weak_from_this()] {
        if (const auto self = weakSelf.lock()) {
          self->space_ = true;
          self->notifySpaceAvailable();
        }
      });
    }
    return static_cast<std::ptrdiff_t>(taken);
  }
  bool hasSpaceAvailable() const override { return space_ && streamStatus() == ns::StreamStatus::kOpen; }
  // Read once the operation has finished, which orders it after every write.
  const std::string& written() const { return written_; }

 private:
  const std::size_t capacity_;
  const bool trickles_;
  std::atomic<bool> space_{true};
  std::string written_;
};

std::string bodyOf(const HCURLConnectionOperation& operation) {
  return ns::stringFromData(operation.responseData().value_or(ns::Data()));
}

void expectCancelled(const HCURLConnectionOperation& operation) {
  ASSERT_TRUE(operation.error());
  EXPECT_EQ(operation.error()->domain(), ns::kURLErrorDomain);
  EXPECT_EQ(operation.error()->code(), ns::kURLErrorCancelled);
}

class HCURLConnectionOperationTest : public testing::Test {
 protected:
  HCURLConnectionOperationTest() {
    server_.route("/hello", TestResponse::text(200, "hello"));
    observer_ = ns::NotificationCenter::defaultCenter().addObserverForName(
        std::nullopt, nullptr, nullptr, [this](const ns::Notification& notification) {
          const bool start = notification.name == kHCNetworkingOperationDidStartNotification;
          if (start || notification.name == kHCNetworkingOperationDidFinishNotification) {
            events_[notification.object.get()].push_back(start ? "start" : "finish");
          }
        });
  }
  // No completion outlives the test: every operation made here is cancelled unless it finished, and the
  // main loop runs until each has finished and its completion has run.
  ~HCURLConnectionOperationTest() override {
    for (const auto& operation : operations_) {
      operation->cancel();
    }
    EXPECT_TRUE(runMainLoopUntil([this] {
      return std::ranges::all_of(operations_, [this](const auto& operation) { return ended(*operation); });
    })) << "an operation of the test never completed";
    ns::NotificationCenter::defaultCenter().removeObserver(observer_);
  }

  // An operation for `path` (a POST when there is an `upload`) that records its completion.
  std::shared_ptr<HCURLConnectionOperation> operationFor(const std::string& path,
                                                         std::optional<ns::Data> upload = std::nullopt) {
    ns::URLRequest request = httpclienttest::requestTo(server_.url(path));
    if (upload) {
      request.setHTTPMethod("POST");
      request.setHTTPBody(std::move(upload));
    }
    auto operation = std::make_shared<HCURLConnectionOperation>(request);
    operation->setCompletionBlock([this, completed = operation.get()] {
      completionsOnMainThread_ = completionsOnMainThread_ && ns::RunLoop::isMainThread();
      events_[completed].push_back("completion");
    });
    operations_.push_back(operation);
    return operation;
  }

  bool completed(const HCURLConnectionOperation& operation) {
    return std::ranges::count(events_[&operation], "completion") > 0;
  }
  // Finished, and its completion ran.
  bool ended(const HCURLConnectionOperation& operation) {
    return operation.isFinished() && completed(operation);
  }
  bool runUntilFinished(const HCURLConnectionOperation& operation) {
    return runMainLoopUntil([&] { return ended(operation); });
  }
  bool load(HCURLConnectionOperation& operation) {
    operation.start();
    return runUntilFinished(operation);
  }

  testsupport::LoopbackHTTPServer server_;
  ns::NotificationCenter::ObserverToken observer_;
  // Every operation made by operationFor(), held so that no later one takes a finished one's address.
  std::vector<std::shared_ptr<HCURLConnectionOperation>> operations_;
  // Each operation's notifications and completion, in order.
  std::map<const ns::Object*, Events> events_;
  bool completionsOnMainThread_ = true;
};

TEST_F(HCURLConnectionOperationTest, LoadsAndReportsProgressOnTheMainQueueTheFinishNotificationFirst) {
  const auto operation = operationFor("/hello", ns::Data(20000, 'u'));
  std::int64_t uploaded = 0;
  std::int64_t downloaded = 0;
  const auto recordingProgress = [](std::int64_t& last, std::int64_t expectedTotal) {
    return [&last, expectedTotal](std::int64_t, std::int64_t total, std::int64_t expected) {
      EXPECT_TRUE(ns::RunLoop::isMainThread());
      EXPECT_EQ(expected, expectedTotal);
      last = total;
    };
  };
  operation->setUploadProgressBlock(recordingProgress(uploaded, 20000));
  operation->setDownloadProgressBlock(recordingProgress(downloaded, 5));
  ASSERT_TRUE(load(*operation));
  runMainLoopThroughQueuedTasks();
  EXPECT_FALSE(operation->error());
  EXPECT_EQ(bodyOf(*operation), "hello");
  EXPECT_EQ(operation->totalBytesRead(), 5);
  EXPECT_EQ(uploaded, 20000);
  EXPECT_EQ(downloaded, 5);
  EXPECT_EQ(server_.requests().front().body.size(), 20000u);
  EXPECT_TRUE(completionsOnMainThread_);
  EXPECT_EQ(events_[operation.get()], (Events{"start", "finish", "completion"}));
}

// Cancelled before start, or before the network thread set the connection up: no request, only -999.
TEST_F(HCURLConnectionOperationTest, CancelledBeforeTheConnectionIsSetUpItFinishesWithTheCancellationAlone) {
  const auto beforeStart = operationFor("/hello");
  int cancellations = 0;
  beforeStart->addKeyObserver([&](ns::Operation&, std::string_view key, ns::KeyChange change) {
    cancellations += key == ns::kIsCancelledKey && change == ns::KeyChange::kDid ? 1 : 0;
  });
  beforeStart->cancel();
  beforeStart->cancel();
  EXPECT_EQ(cancellations, 1);
  beforeStart->start();
  const auto beforeSetUp = operationFor("/hello");
  std::promise<void> release;
  HCURLConnectionOperation::networkRequestThread().runLoop().post(
      [held = release.get_future().share()] { held.wait(); });
  beforeSetUp->start();
  beforeSetUp->cancel();
  release.set_value();
  ASSERT_TRUE(runUntilFinished(*beforeStart) && runUntilFinished(*beforeSetUp));
  runMainLoopThroughQueuedTasks();
  expectCancelled(*beforeStart);
  expectCancelled(*beforeSetUp);
  EXPECT_EQ(beforeStart->error()->userInfo().at(std::string(ns::kURLErrorFailingURLErrorKey)),
            ns::Value(server_.url("/hello")));
  EXPECT_EQ(events_[beforeStart.get()], (Events{"finish", "completion"}));
  EXPECT_EQ(events_[beforeSetUp.get()], (Events{"start", "finish", "completion"}));
  EXPECT_EQ(server_.requestCount(), 0u);
}

// A paused ready operation waits silently until resumed; once finished, it ignores every change.
TEST_F(HCURLConnectionOperationTest, PauseResumeCancelAndStartFollowTheStateTable) {
  const auto operation = operationFor("/hello");
  operation->pause();
  EXPECT_TRUE(operation->isPaused());
  EXPECT_FALSE(operation->isReady());
  runMainLoopThroughQueuedTasks();
  EXPECT_TRUE(events_[operation.get()].empty());
  operation->resume();
  ASSERT_TRUE(runUntilFinished(*operation));
  EXPECT_EQ(bodyOf(*operation), "hello");
  operation->cancel();
  operation->pause();
  operation->resume();
  operation->start();
  runMainLoopThroughQueuedTasks();
  EXPECT_TRUE(operation->isFinished());
  EXPECT_FALSE(operation->isCancelled());
  EXPECT_FALSE(operation->isPaused());
  EXPECT_FALSE(operation->error());
  EXPECT_EQ(server_.requestCount(), 1u);
  EXPECT_EQ(events_[operation.get()], (Events{"start", "finish", "completion"}));
}

// A stream that fails, at once or part-way, fails the operation rather than cutting the body short.
TEST_F(HCURLConnectionOperationTest, AStreamThatFailsFailsTheOperationInsteadOfCuttingTheBody) {
  server_.route("/long", TestResponse::text(200, std::string(5000, 'x')));
  const auto diskFull = operationFor("/long");
  diskFull->setOutputStream(std::make_shared<TestOutputStream>(100, false));
  const auto unopenable = operationFor("/hello");
  unopenable->setOutputStream(ns::OutputStream::toFileAtPath(testing::TempDir() + "/missing/folder/body",
                                                             ns::OutputStream::FileMode::kTruncate));
  ASSERT_TRUE(load(*diskFull) && load(*unopenable));
  ASSERT_TRUE(diskFull->error() && unopenable->error());
  EXPECT_EQ(diskFull->error()->domain(), ns::kPOSIXErrorDomain);
  EXPECT_EQ(diskFull->error()->code(), ENOSPC);
  EXPECT_FALSE(diskFull->responseData());
  EXPECT_EQ(unopenable->error()->code(), ENOENT);
  EXPECT_EQ(server_.requestCount(), 1u) << "a stream that cannot open fails before any request";
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
  const auto stream = std::make_shared<TestOutputStream>(body.size(), true);
  const auto operation = operationFor("/numbers");
  operation->setOutputStream(stream);
  ASSERT_TRUE(load(*operation));
  EXPECT_FALSE(operation->error());
  EXPECT_EQ(stream->written(), body);
  EXPECT_FALSE(operation->responseData()) << "the body went to the caller's stream";
}

TEST_F(HCURLConnectionOperationTest, ResponseTextFollowsTheNamedCharacterSet) {
  const auto textOf = [&](const std::string& contentType, const std::string& body) {
    server_.route("/text", TestResponse::text(200, body, contentType));
    const auto operation = operationFor("/text");
    EXPECT_TRUE(load(*operation));
    return operation->responseString();
  };
  EXPECT_EQ(textOf("text/plain", "h\xC3\xA9llo"), "héllo");
  EXPECT_EQ(textOf("text/plain; charset=ISO-8859-1", "caf\xE9"), "café");
  EXPECT_EQ(textOf("text/plain; charset=gbk", "\xD6\xD0\xCE\xC4"), "中文");
  EXPECT_EQ(textOf("text/plain; charset=x-unheard-of", "h\xC3\xA9llo"), "héllo");
}

TEST_F(HCURLConnectionOperationTest, ABatchReportsEachFinishedOperationThenCompletesOnceEvenWhenEmpty) {
  ns::OperationQueue queue;
  const std::vector<std::shared_ptr<HCURLConnectionOperation>> operations{
      operationFor("/hello"), operationFor("/hello"), operationFor("/hello")};
  std::vector<std::pair<std::size_t, std::size_t>> progress;
  int batchCompletions = 0;
  const auto batch = HCURLConnectionOperation::batchOfRequestOperations(
      operations, [&](std::size_t finished, std::size_t total) { progress.emplace_back(finished, total); },
      [&](const std::vector<std::shared_ptr<HCURLConnectionOperation>>& done) {
        EXPECT_TRUE(ns::RunLoop::isMainThread());
        EXPECT_EQ(done, operations);
        EXPECT_TRUE(std::ranges::all_of(operations, [&](const auto& each) { return completed(*each); }))
            << "every operation's own completion ran first";
        ++batchCompletions;
      });
  ASSERT_EQ(batch.size(), 4u);
  queue.addOperations(batch, ns::OperationQueue::WaitUntilFinished::kNo);
  ASSERT_TRUE(runMainLoopUntil([&] { return batchCompletions == 1; }));
  runMainLoopThroughQueuedTasks();
  ASSERT_EQ(progress.size(), 3u);
  EXPECT_TRUE(
      std::ranges::all_of(progress, [](const auto& each) { return each.first >= 1 && each.second == 3; }));
  EXPECT_EQ(progress.back().first, 3u);
  EXPECT_EQ(batchCompletions, 1);
  bool emptyCompleted = false;
  const auto empty = HCURLConnectionOperation::batchOfRequestOperations(
      {}, nullptr, [&](const std::vector<std::shared_ptr<HCURLConnectionOperation>>& done) {
        emptyCompleted = done.empty();
      });
  ASSERT_EQ(empty.size(), 1u);
  queue.addOperation(empty.front());
  EXPECT_TRUE(runMainLoopUntil([&] { return emptyCompleted; }));
}

// Archiving pauses: the connection stops with a finish notification, and the archive stores it ready.
TEST_F(HCURLConnectionOperationTest, ArchivingARunningOperationPausesItAndACancelThenFinishesIt) {
  server_.route("/silent", wakingMainLoop(TestResponse::noAnswer()));
  const auto operation = operationFor("/silent");
  operation->start();
  ASSERT_TRUE(
      runMainLoopUntil([&] { return server_.requestCount() == 1 && events_[operation.get()].size() == 1; }));
  ns::Dictionary archive;
  operation->encodeWithCoder(archive);
  ASSERT_TRUE(runMainLoopUntil([&] { return events_[operation.get()] == Events{"start", "finish"}; }));
  EXPECT_TRUE(operation->isPaused());
  EXPECT_FALSE(operation->isFinished());
  EXPECT_FALSE(operation->isExecuting());
  EXPECT_EQ(archive.at("state"), ns::Value(1));
  const auto decoded = std::make_shared<HCURLConnectionOperation>(archive);
  EXPECT_TRUE(decoded->isReady());
  EXPECT_EQ(decoded->request().url()->absoluteString(), server_.url("/silent"));
  operation->cancel();
  ASSERT_TRUE(runUntilFinished(*operation));
  runMainLoopThroughQueuedTasks();
  expectCancelled(*operation);
  EXPECT_EQ(std::ranges::count(events_[operation.get()], "completion"), 1);
}

}  // namespace

}  // namespace http_client
