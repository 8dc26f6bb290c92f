// Multipart uploads over loopback: a 100 MB file streamed in bounded reads to a server that checks every
// byte, and bodies that fail part-way failing the request instead of passing for sent.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <thread>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HCHTTPRequestOperationManager.h"
#include "http_client/HCHTTPRequestSerializer.h"
#include "http_client/HCStreamingMultipartFormData.h"
#include "http_client/http_client_test_util.h"
#include "http_client/multipart_test_util.h"

namespace http_client {

namespace {

using httpclienttest::Outcome;
using multiparttest::ScratchFolder;

constexpr std::uint64_t kBigFileSize = 100ull * 1024 * 1024;

std::uint8_t patternByte(std::uint64_t index) {
  return static_cast<std::uint8_t>(index % 251);
}

void writePatternFile(const std::string& path, std::uint64_t size) {
  std::ofstream file(path, std::ios::binary);
  std::vector<char> block(1 << 20);
  for (std::uint64_t written = 0; written < size; written += block.size()) {
    for (std::size_t index = 0; index < block.size(); ++index) {
      block[index] = static_cast<char>(patternByte(written + index));
    }
    file.write(block.data(),
               static_cast<std::streamsize>(std::min<std::uint64_t>(block.size(), size - written)));
  }
}

// The peak resident memory of the process so far, in bytes.
std::uint64_t peakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmHWM:")) {
      return std::stoull(line.substr(6)) * 1024;
    }
  }
  return 0;
}

// Passes reads on to the multipart body and remembers the largest one, so that a test sees the body go
// out in bounded pieces.
class ReadSizeRecordingStream : public ns::InputStream {
 public:
  explicit ReadSizeRecordingStream(std::shared_ptr<ns::InputStream> inner) : inner_(std::move(inner)) {}

  void open() override {
    inner_->open();
    mirror();
  }
  void close() override {
    inner_->close();
    mirror();
  }
  std::ptrdiff_t read(std::uint8_t* buffer, std::size_t maxLength) override {
    const std::ptrdiff_t count = inner_->read(buffer, maxLength);
    largestRead_ = std::max(largestRead_.load(), count);
    mirror();
    return count;
  }
  bool hasBytesAvailable() const override { return inner_->hasBytesAvailable(); }
  std::ptrdiff_t largestRead() const { return largestRead_; }

 private:
  void mirror() {
    if (inner_->streamStatus() == ns::StreamStatus::kError) {
      failWith(*inner_->streamError());
    } else {
      setStatus(inner_->streamStatus());
    }
  }

  const std::shared_ptr<ns::InputStream> inner_;
  std::atomic<std::ptrdiff_t> largestRead_{0};
};

// A one-request HTTP server on a plain loopback socket that compares the body with the bytes it expects as
// they arrive, holding none of them, and answers 200 when every byte matched, else 400.
class CheckingSinkServer {
 public:
  CheckingSinkServer(std::string prefix, std::uint64_t patternLength, std::string suffix)
      : prefix_(std::move(prefix)), patternLength_(patternLength), suffix_(std::move(suffix)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(listener_, 1), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~CheckingSinkServer() {
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
  }

  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/upload"; }
  std::uint64_t matchedBodyBytes() const { return matched_; }
  bool bodyMatched() const { return bodyMatched_; }

 private:
  std::uint8_t expectedByte(std::uint64_t index) const {
    if (index < prefix_.size()) {
      return static_cast<std::uint8_t>(prefix_[index]);
    }
    index -= prefix_.size();
    if (index < patternLength_) {
      return patternByte(index);
    }
    index -= patternLength_;
    return index < suffix_.size() ? static_cast<std::uint8_t>(suffix_[index]) : 0;
  }

  void serve() {
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) {
      return;
    }
    const std::uint64_t expectedLength = prefix_.size() + patternLength_ + suffix_.size();
    std::string head;
    std::vector<std::uint8_t> buffer(256 * 1024);
    std::uint64_t bodyRead = 0;
    bool inBody = false;
    bool same = true;
    while (bodyRead < expectedLength) {
      const ssize_t count = ::recv(connection, buffer.data(), buffer.size(), 0);
      if (count <= 0) {
        break;
      }
      std::size_t start = 0;
      if (!inBody) {
        head.append(buffer.begin(), buffer.begin() + count);
        const std::size_t end = head.find("\r\n\r\n");
        if (end == std::string::npos) {
          continue;
        }
        inBody = true;
        start = static_cast<std::size_t>(count) - (head.size() - end - 4);
      }
      for (std::size_t index = start; index < static_cast<std::size_t>(count); ++index) {
        same = same && buffer[index] == expectedByte(bodyRead);
        ++bodyRead;
      }
    }
    matched_ = same ? bodyRead : 0;
    bodyMatched_ =
        same && bodyRead == expectedLength &&
        head.find("Content-Length: " + std::to_string(expectedLength) + "\r\n") != std::string::npos;
    const std::string reply = bodyMatched_
                                  ? "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok"
                                  : "HTTP/1.1 400 Bad\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    ::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL);
    ::close(connection);
  }

  const std::string prefix_;
  const std::uint64_t patternLength_;
  const std::string suffix_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<std::uint64_t> matched_{0};
  std::atomic<bool> bodyMatched_{false};
  std::thread thread_;
};

bool runUntilEnded(Outcome& outcome) {
  return ns::RunLoop::main().runUntil([&] { return outcome.successes + outcome.failures > 0; },
                                      std::chrono::seconds(120));
}

TEST(HCMultipartUploadTest, AHundredMegabyteFileGoesOutInBoundedReadsAndArrivesWhole) {
  ScratchFolder folder;
  const std::string path = folder.path("big.bin");
  writePatternFile(path, kBigFileSize);
  const auto serializer = HCHTTPRequestSerializer::serializer();

  std::string boundary;
  // The server's address is known only once it runs, and what it expects only once the boundary is made.
  ns::Result<ns::URLRequest> draft = serializer->multipartFormRequestWithMethod(
      "POST", "http://127.0.0.1:1/upload", std::nullopt, [&](HCMultipartFormData& formData) {
        ASSERT_TRUE(formData.appendPartWithFileURL(*ns::URL::fromString("file://" + path), "file").ok());
        boundary = static_cast<HCStreamingMultipartFormData&>(formData).boundary();
      });
  ASSERT_TRUE(draft.ok());
  CheckingSinkServer server("--" + boundary +
                                "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"big.bin\"\r\n"
                                "Content-Type: application/octet-stream\r\n\r\n",
                            kBigFileSize, "\r\n--" + boundary + "--\r\n");
  ns::URLRequest request = *draft;
  request.setURL(ns::URL::fromString(server.url()));
  auto recorder = std::make_shared<ReadSizeRecordingStream>(request.HTTPBodyStream());
  request.setHTTPBodyStream(recorder);

  const std::uint64_t peakBefore = peakResidentBytes();
  Outcome outcome;
  auto operation = std::make_shared<HCHTTPRequestOperation>(request);
  operation->setCompletionBlockWithSuccess(outcome.success(), outcome.failure());
  operation->start();
  ASSERT_TRUE(runUntilEnded(outcome));

  EXPECT_TRUE(outcome.succeededOnce()) << (outcome.error ? outcome.error->localizedDescription() : "");
  EXPECT_TRUE(server.bodyMatched()) << server.matchedBodyBytes() << " bytes matched";
  EXPECT_GT(recorder->largestRead(), 0);
  EXPECT_LE(recorder->largestRead(), 1 << 20);
  EXPECT_LT(peakResidentBytes() - peakBefore, 48ull * 1024 * 1024);
}

// The request fails with the part's error; the server never gets a body that passes for whole.
TEST(HCMultipartUploadTest, ABodyThatFailsPartWayFailsTheRequest) {
  ScratchFolder folder;
  testsupport::LoopbackHTTPServer server;
  server.route("/upload", httpclienttest::wakingMainLoop(testsupport::TestResponse::text(200, "ok")));
  const auto serializer = HCHTTPRequestSerializer::serializer();
  const std::string shrinking = folder.file("shrinking.bin", std::string(200000, 's'));
  ns::Result<ns::URLRequest> request = serializer->multipartFormRequestWithMethod(
      "POST", server.url("/upload"), ns::Dictionary{{"a", "1"}}, [&](HCMultipartFormData& formData) {
        ASSERT_TRUE(formData.appendPartWithFileURL(*ns::URL::fromString("file://" + shrinking), "file").ok());
      });
  ASSERT_TRUE(request.ok());
  std::filesystem::resize_file(shrinking, 100000);

  Outcome outcome;
  auto operation = std::make_shared<HCHTTPRequestOperation>(*request);
  operation->setCompletionBlockWithSuccess(outcome.success(), outcome.failure());
  operation->start();
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.failedOnce());
  ASSERT_TRUE(outcome.error);
  EXPECT_EQ(outcome.error->code(), kHCRequestErrorBodyLengthMismatch);
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST(HCMultipartUploadTest, TheManagersMultipartPostSendsTheFieldsAndPartsToItsBaseURL) {
  testsupport::LoopbackHTTPServer server;
  server.route("/api/upload", httpclienttest::wakingMainLoop(
                                  testsupport::TestResponse::text(200, "{\"ok\":1}", "application/json")));
  auto manager = std::make_shared<HCHTTPRequestOperationManager>(ns::URL::fromString(server.url("/api")));
  Outcome outcome;
  ASSERT_TRUE(manager->POST(
      "upload", ns::Dictionary{{"lesson", 7}},
      [](HCMultipartFormData& formData) {
        formData.appendPartWithFileData(ns::dataFromString("PNG"), "picture", "p.png", "image/png");
      },
      outcome.success(), outcome.failure()));
  ASSERT_TRUE(outcome.waitForEnd());
  EXPECT_TRUE(outcome.succeededOnce());
  EXPECT_EQ(outcome.responseObject, ns::Value(ns::Dictionary{{"ok", 1}}));
  ASSERT_EQ(server.requestCount(), 1u);
  const testsupport::RecordedRequest request = server.requests()[0];
  EXPECT_EQ(request.method, "POST");
  const std::optional<std::string> contentType = request.header("Content-Type");
  ASSERT_TRUE(contentType && contentType->starts_with("multipart/form-data; boundary=Boundary+"));
  const std::string boundary = contentType->substr(contentType->find('=') + 1);
  EXPECT_EQ(request.body, "--" + boundary +
                              "\r\nContent-Disposition: form-data; name=\"lesson\"\r\n\r\n7\r\n--" +
                              boundary +
                              "\r\nContent-Disposition: form-data; name=\"picture\"; filename=\"p.png\"\r\n"
                              "Content-Type: image/png\r\n\r\nPNG\r\n--" +
                              boundary + "--\r\n");
}

}  // namespace

}  // namespace http_client
