// Pausing and resuming a download with Range and If-Range, and the replies that continue or restart the body.

#include <gtest/gtest.h>

#include <atomic>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/http_client_test_util.h"
#include "platform/foundation/storage/FileManager.h"

namespace http_client {

namespace {

using httpclienttest::Outcome;
using testsupport::RecordedRequest;
using testsupport::TestResponse;

constexpr std::size_t kLength = 12000;

std::string numberedBody(char salt) {
  std::string body;
  for (int index = 0; body.size() < kLength; ++index) {
    body += std::to_string(index) + salt;
  }
  return body.substr(0, kLength);
}

// Sends the body in slow pieces, so that a test can pause part-way.
TestResponse slowly(TestResponse response) {
  response.pieceSize = 1000;
  response.pauseBetweenPieces = std::chrono::milliseconds(15);
  return response;
}

TestResponse slowlyWhole(const std::string& body) {
  return slowly(TestResponse::text(200, body, "application/octet-stream"));
}

std::string bodyOf(const Outcome& outcome) {
  return outcome.responseObject && outcome.responseObject->isData()
             ? ns::stringFromData(outcome.responseObject->asData())
             : "";
}

class HCHTTPRequestOperationTest : public testing::Test {
 protected:
  // Starts a download of `path` (into `stream` when given) and returns it paused after 1000 bytes.
  std::shared_ptr<HCHTTPRequestOperation> pausedDownload(const std::string& path, Outcome& outcome,
                                                         std::shared_ptr<ns::OutputStream> stream = nullptr) {
    auto operation = std::make_shared<HCHTTPRequestOperation>(httpclienttest::requestTo(server_.url(path)));
    if (stream) {
      operation->setOutputStream(std::move(stream));
    }
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
    const std::optional<std::string> range = operation->request().valueForHTTPHeaderField("Range");
    EXPECT_TRUE(range && range->starts_with("bytes=") && range->ends_with("-") && *range != "bytes=0-");
    return operation;
  }

  const std::string body_ = numberedBody(';');
  testsupport::LoopbackHTTPServer server_;
};

// Only a 206 from the asked-for byte continues the body; a 200 or a 206 from elsewhere starts it afresh.
TEST_F(HCHTTPRequestOperationTest, AResumedDownloadAppendsOnlyTheRestAndOtherwiseStartsAfresh) {
  const std::string newBody = numberedBody(':');
  std::atomic<bool> changed{false};
  server_.route("/whole", slowlyWhole(body_));
  server_.route("/shifted", [this](const RecordedRequest& request) {
    TestResponse response = slowlyWhole(body_);
    if (request.header("Range")) {
      response.status = 206;
      response.headers.emplace_back("Content-Range",
                                    "bytes 0-" + std::to_string(kLength - 1) + "/" + std::to_string(kLength));
    }
    return response;
  });
  server_.route("/changing", [&](const RecordedRequest& request) {
    return changed ? TestResponse::ranged(request, newBody, "\"v2\"")
                   : slowly(TestResponse::ranged(request, body_, "\"v1\""));
  });
  const std::string file = testing::TempDir() + "/restarted-download.bin";
  struct Case {
    std::string path;
    bool changes;
    std::string expected;
    int status;
    bool toFile = false;
  };
  for (const auto& [path, changes, expected, status, toFile] :
       {Case{"/changing", false, body_, 206}, Case{"/whole", false, body_, 200},
        Case{"/shifted", false, body_, 206}, Case{"/changing", true, newBody, 200},
        Case{"/whole", false, body_, 200, true}}) {
    changed = false;
    Outcome outcome;
    const auto operation = pausedDownload(
        path, outcome,
        toFile ? ns::OutputStream::toFileAtPath(file, ns::OutputStream::FileMode::kTruncate) : nullptr);
    const std::optional<std::string> range = operation->request().valueForHTTPHeaderField("Range");
    EXPECT_EQ(operation->request().valueForHTTPHeaderField("If-Range"),
              path == "/changing" ? std::optional<std::string>("\"v1\"") : std::nullopt);
    changed = changes;
    operation->resume();
    ASSERT_TRUE(outcome.waitForEnd()) << path;
    EXPECT_TRUE(outcome.succeededOnce()) << path;
    EXPECT_EQ(server_.requests().back().header("Range"), range) << path;
    EXPECT_EQ(operation->response()->statusCode(), status) << path;
    EXPECT_EQ(operation->totalBytesRead(), static_cast<std::int64_t>(kLength)) << path;
    EXPECT_EQ(toFile ? ns::stringFromData(*ns::FileManager::defaultManager().contentsAtPath(file))
                     : bodyOf(outcome),
              expected)
        << path << (changes ? " changed" : "") << (toFile ? " into a file" : "");
  }
}

TEST_F(HCHTTPRequestOperationTest, APausedOperationThatIsCancelledFailsWithTheCancellation) {
  server_.route("/whole", slowlyWhole(body_));
  Outcome outcome;
  const auto operation = pausedDownload("/whole", outcome);
  operation->cancel();
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.failedOnce());
  EXPECT_EQ(outcome.error->code(), -999);
  EXPECT_TRUE(operation->isFinished());
}

TEST_F(HCHTTPRequestOperationTest, CopiesAndArchivesCarryTheResponseSerializer) {
  auto operation = std::make_shared<HCHTTPRequestOperation>(httpclienttest::requestTo("http://h/x"));
  auto serializer = HCHTTPResponseSerializer::serializer();
  serializer->setAcceptableStatusCodes(std::set<int>{204});
  operation->setResponseSerializer(serializer);
  ns::Dictionary archive;
  operation->encodeWithCoder(archive);
  const auto decoded = std::make_shared<HCHTTPRequestOperation>(archive);
  EXPECT_EQ(decoded->request().valueForHTTPHeaderField("Range"), "bytes=0-") << "archiving pauses first";
  const auto copy = std::dynamic_pointer_cast<HCHTTPRequestOperation>(operation->copy());
  ASSERT_TRUE(copy);
  for (const auto& kept : {copy, decoded}) {
    EXPECT_NE(kept->responseSerializer(), serializer);
    EXPECT_EQ(kept->responseSerializer()->acceptableStatusCodes(), std::set<int>{204});
  }
  operation->cancel();
  decoded->cancel();
}

}  // namespace

}  // namespace http_client
