// Pausing and resuming a download: the resumed request asks for the rest with Range and If-Range, and only a
// reply that continues the body at that byte is appended; anything else starts the body afresh.

#include <gtest/gtest.h>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HTTPClientOutcome.h"
#include "platform/foundation/storage/FileManager.h"
#include "support/LoopbackHTTPServer.h"

namespace {

using httpclienttest::Outcome;
using testsupport::LoopbackHTTPServer;
using testsupport::RecordedRequest;
using testsupport::TestResponse;

std::string numberedBody(std::size_t length, char salt) {
  std::string body;
  for (std::size_t index = 0; body.size() < length; ++index) {
    body += std::to_string(index) + salt;
  }
  body.resize(length);
  return body;
}

// Sends the body in slow pieces, so that a test can pause part-way.
TestResponse slowly(TestResponse response) {
  response.pieceSize = 1000;
  response.pauseBetweenPieces = std::chrono::milliseconds(15);
  return response;
}

class HCHTTPRequestOperationTest : public testing::Test {
 protected:
  static constexpr std::size_t kLength = 12000;

  HCHTTPRequestOperationTest() : body_(numberedBody(kLength, ';')) {}

  // Starts a download of `path`, pauses it once 1000 bytes have been counted, and returns it paused.
  std::shared_ptr<HCHTTPRequestOperation> pausedDownload(const std::string& path, Outcome& outcome) {
    auto operation =
        std::make_shared<HCHTTPRequestOperation>(ns::URLRequest(ns::URL::fromString(server_.url(path))));
    operation->setCompletionBlockWithSuccess(outcome.success(), outcome.failure());
    operation->setDownloadProgressBlock(
        [weak = std::weak_ptr(operation)](std::int64_t, std::int64_t total, std::int64_t) {
          const auto self = weak.lock();
          if (self && total >= 1000 && !self->isPaused() &&
              self->request().valueForHTTPHeaderField("Range") == std::nullopt) {
            self->pause();
          }
        });
    operation->start();
    EXPECT_TRUE(httpclienttest::runMainLoopUntil([&] { return operation->isPaused(); }));
    return operation;
  }

  static std::string bodyOf(const Outcome& outcome) {
    return outcome.responseObject && outcome.responseObject->isData()
               ? ns::stringFromData(outcome.responseObject->asData())
               : "";
  }

  const std::string body_;
  LoopbackHTTPServer server_;
};

TEST_F(HCHTTPRequestOperationTest, AResumedDownloadAsksForTheRestAndAppendsIt) {
  server_.route("/lesson.ts", [this](const RecordedRequest& request) {
    return slowly(TestResponse::ranged(request, body_, "\"v1\""));
  });
  Outcome outcome;
  const auto operation = pausedDownload("/lesson.ts", outcome);

  const std::optional<std::string> range = operation->request().valueForHTTPHeaderField("Range");
  ASSERT_TRUE(range);
  EXPECT_TRUE(range->starts_with("bytes=") && range->ends_with("-"));
  EXPECT_NE(*range, "bytes=0-");
  EXPECT_EQ(operation->request().valueForHTTPHeaderField("If-Range"), "\"v1\"");

  operation->resume();
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.succeededOnce());
  EXPECT_EQ(bodyOf(outcome), body_);
  EXPECT_EQ(operation->response()->statusCode(), 206);
  EXPECT_EQ(server_.requests().back().header("Range"), range);
}

TEST_F(HCHTTPRequestOperationTest, AServerThatIgnoresTheRangeGetsTheBodyStartedAfresh) {
  server_.route("/whole", slowly(TestResponse::text(200, body_, "application/octet-stream")));
  Outcome outcome;
  const auto operation = pausedDownload("/whole", outcome);

  operation->resume();
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.succeededOnce());
  EXPECT_EQ(bodyOf(outcome), body_) << "the resent body replaces what came before";
  EXPECT_EQ(operation->totalBytesRead(), static_cast<std::int64_t>(kLength));
}

TEST_F(HCHTTPRequestOperationTest, APartialReplyFromAnotherByteStartsTheBodyAfresh) {
  server_.route("/shifted", [this](const RecordedRequest& request) {
    TestResponse response = slowly(TestResponse::text(200, body_, "application/octet-stream"));
    if (request.header("Range")) {
      response.status = 206;
      response.headers.emplace_back("Content-Range",
                                    "bytes 0-" + std::to_string(kLength - 1) + "/" + std::to_string(kLength));
    }
    return response;
  });
  Outcome outcome;
  const auto operation = pausedDownload("/shifted", outcome);

  operation->resume();
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_EQ(bodyOf(outcome), body_);
}

TEST_F(HCHTTPRequestOperationTest, AChangedEntityIsSentWholeAndReplacesTheOldBody) {
  const std::string newBody = numberedBody(kLength, ':');
  std::atomic<int> version{1};
  server_.route("/changing", [&](const RecordedRequest& request) {
    return version == 1 ? slowly(TestResponse::ranged(request, body_, "\"v1\""))
                        : TestResponse::ranged(request, newBody, "\"v2\"");
  });
  Outcome outcome;
  const auto operation = pausedDownload("/changing", outcome);

  version = 2;
  operation->resume();
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_EQ(operation->response()->statusCode(), 200);
  EXPECT_EQ(bodyOf(outcome), newBody);
}

TEST_F(HCHTTPRequestOperationTest, AFileDownloadStartedAfreshHoldsTheBodyOnce) {
  server_.route("/whole", slowly(TestResponse::text(200, body_, "application/octet-stream")));
  const std::string path = testing::TempDir() + "/resumed-download.bin";
  Outcome outcome;
  auto operation =
      std::make_shared<HCHTTPRequestOperation>(ns::URLRequest(ns::URL::fromString(server_.url("/whole"))));
  operation->setOutputStream(ns::OutputStream::toFileAtPath(path, ns::OutputStream::FileMode::kTruncate));
  operation->setCompletionBlockWithSuccess(outcome.success(), outcome.failure());
  operation->start();
  ASSERT_TRUE(httpclienttest::runMainLoopUntil([&] { return operation->totalBytesRead() >= 1000; }));
  operation->pause();
  EXPECT_NE(operation->request().valueForHTTPHeaderField("Range"), "bytes=0-");

  operation->resume();
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.succeededOnce());
  EXPECT_EQ(ns::stringFromData(*ns::FileManager::defaultManager().contentsAtPath(path)), body_);
}

TEST_F(HCHTTPRequestOperationTest, APausedOperationThatIsCancelledFailsWithTheCancellation) {
  server_.route("/whole", slowly(TestResponse::text(200, body_, "application/octet-stream")));
  Outcome outcome;
  const auto operation = pausedDownload("/whole", outcome);

  operation->cancel();
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.failedOnce());
  EXPECT_EQ(outcome.error->code(), -999);
  EXPECT_TRUE(operation->isFinished());
}

TEST_F(HCHTTPRequestOperationTest, CopiesAndArchivesCarryTheResponseSerializer) {
  auto operation =
      std::make_shared<HCHTTPRequestOperation>(ns::URLRequest(ns::URL::fromString("http://h/x")));
  auto serializer = HCHTTPResponseSerializer::serializer();
  serializer->setAcceptableStatusCodes(std::set<int>{204});
  operation->setResponseSerializer(serializer);

  const auto copy = std::dynamic_pointer_cast<HCHTTPRequestOperation>(operation->copy());
  ASSERT_TRUE(copy);
  EXPECT_NE(copy->responseSerializer(), serializer);
  EXPECT_EQ(copy->responseSerializer()->acceptableStatusCodes(), std::set<int>{204});

  ns::Dictionary archive;
  operation->encodeWithCoder(archive);
  const auto decoded = std::make_shared<HCHTTPRequestOperation>(archive);
  EXPECT_EQ(decoded->responseSerializer()->acceptableStatusCodes(), std::set<int>{204});
  EXPECT_EQ(decoded->request().valueForHTTPHeaderField("Range"), "bytes=0-") << "archiving pauses first";
  operation->cancel();
  decoded->cancel();
}

}  // namespace
