#pragma once

// URLConnection test helpers: a delegate that records every call and can be told how to answer, loads run on
// the calling thread's loop with a deadline, and a fixture with a loopback server.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLError.h"
#include "support/loopback_http_server.h"

namespace nettest {

class RecordingDelegate : public ns::URLConnectionDelegate {
 public:
  // How to answer; unset ones take the base class's answer.
  std::function<TrustDecision(ns::ServerTrust&, const std::string& host)> trustPolicy;
  std::function<std::optional<ns::URLRequest>(ns::URLRequest, const ns::HTTPURLResponse&)> redirectPolicy;
  std::function<DataDisposition(ns::URLConnection&, const std::uint8_t*, std::size_t)> dataPolicy;
  // Called after each recorded event, for tests that act in the middle of a load.
  std::function<void(ns::URLConnection&, const std::string& event)> onEvent;

  // Each call: "trust <host>", "redirect <url>", "upload", "response <status>", "data", "finish", "fail <n>".
  std::vector<std::string> events;
  std::vector<std::vector<ns::Data>> presentedChains;
  // Bytes reported sent (chunk framing included) and the total announced; each report must add up.
  std::int64_t uploaded = 0;
  std::int64_t uploadExpected = 0;
  std::shared_ptr<const ns::URLResponse> response;
  std::string body;
  std::optional<ns::Error> error;
  bool finished = false;

  bool ended() const { return finished || error.has_value(); }

  TrustDecision shouldTrustServer(ns::URLConnection& connection, ns::ServerTrust& trust,
                                  const std::string& host) override {
    presentedChains.push_back(trust.certificateChain());
    const TrustDecision decision = trustPolicy
                                       ? trustPolicy(trust, host)
                                       : URLConnectionDelegate::shouldTrustServer(connection, trust, host);
    record(connection, "trust " + host);
    return decision;
  }

  std::optional<ns::URLRequest> willSendRequest(ns::URLConnection& connection, ns::URLRequest proposed,
                                                const ns::HTTPURLResponse& redirectResponse) override {
    const std::string target = proposed.url()->absoluteString();
    std::optional<ns::URLRequest> decided = redirectPolicy
                                                ? redirectPolicy(std::move(proposed), redirectResponse)
                                                : std::optional(std::move(proposed));
    record(connection, "redirect " + target);
    uploaded = 0;  // The next request reports its own progress.
    return decided;
  }

  void didSendBodyData(ns::URLConnection& connection, std::int64_t bytesWritten,
                       std::int64_t totalBytesWritten, std::int64_t totalBytesExpectedToWrite) override {
    EXPECT_EQ(totalBytesWritten, uploaded + bytesWritten) << "progress that does not add up";
    EXPECT_TRUE(uploaded == 0 || totalBytesExpectedToWrite == uploadExpected)
        << "the announced total changed";
    uploaded = totalBytesWritten;
    uploadExpected = totalBytesExpectedToWrite;
    record(connection, "upload");
  }

  void didReceiveResponse(ns::URLConnection& connection,
                          std::shared_ptr<const ns::URLResponse> received) override {
    response = std::move(received);
    const auto* http = dynamic_cast<const ns::HTTPURLResponse*>(response.get());
    record(connection, "response " + std::to_string(http ? http->statusCode() : 0));
  }

  DataDisposition didReceiveData(ns::URLConnection& connection, const std::uint8_t* bytes,
                                 std::size_t length) override {
    const DataDisposition disposition =
        dataPolicy ? dataPolicy(connection, bytes, length) : DataDisposition::kConsumed;
    if (disposition == DataDisposition::kConsumed) {
      body.append(reinterpret_cast<const char*>(bytes), length);
      record(connection, "data");
    }
    return disposition;
  }

  void didFinishLoading(ns::URLConnection& connection) override {
    EXPECT_FALSE(ended()) << "a second ending call";
    finished = true;
    record(connection, "finish");
  }

  void didFailWithError(ns::URLConnection& connection, const ns::Error& failure) override {
    EXPECT_FALSE(ended()) << "a second ending call";
    error = failure;
    record(connection, "fail " + std::to_string(failure.code()));
  }

 private:
  void record(ns::URLConnection& connection, std::string event) {
    // Runs of chunks are recorded once, so orders read the same however the bytes were split.
    if (events.empty() || events.back() != event || (event != "data" && event != "upload")) {
      events.push_back(std::move(event));
    }
    if (onEvent) {
      onEvent(connection, events.back());
    }
  }
};

// A loopback server whose "/slow" sends "0123456789" in pieces of two bytes, 20 ms apart.
class LoopbackTest : public testing::Test {
 protected:
  LoopbackTest() {
    testsupport::TestResponse slow = testsupport::TestResponse::text(200, "0123456789");
    slow.pieceSize = 2;
    slow.pauseBetweenPieces = std::chrono::milliseconds(20);
    server_.route("/slow", slow);
  }

  testsupport::LoopbackHTTPServer server_;
};

inline ns::URLRequest requestFor(const std::string& url) {
  std::optional<ns::URL> parsed = ns::URL::fromString(url);
  EXPECT_TRUE(parsed.has_value()) << url;
  return ns::URLRequest(std::move(parsed));
}

inline std::shared_ptr<ns::URLConnection> start(ns::URLRequest request,
                                                const std::shared_ptr<RecordingDelegate>& delegate) {
  std::shared_ptr<ns::URLConnection> connection = ns::URLConnection::create(std::move(request), delegate);
  connection->start();
  return connection;
}

inline bool runUntilEnded(const RecordingDelegate& delegate) {
  return ns::RunLoop::current().runUntil([&] { return delegate.ended(); }, std::chrono::seconds(20));
}

// Runs the loop for `duration` of real time, to show that nothing more happens.
inline void runFor(std::chrono::milliseconds duration) {
  ns::RunLoop::current().runUntil([] { return false; }, duration);
}

// Loads `request` to its end and returns the delegate that heard it.
inline std::shared_ptr<RecordingDelegate> load(
    ns::URLRequest request,
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>()) {
  const auto connection = start(std::move(request), delegate);
  EXPECT_TRUE(runUntilEnded(*delegate)) << "the load did not end in time";
  return delegate;
}

// Expects a failure with `code` of the URL error domain, naming `url` under both failing-URL keys.
inline void expectURLError(const RecordingDelegate& delegate, ns::URLErrorCode code, const std::string& url) {
  ASSERT_TRUE(delegate.error.has_value()) << "the load did not fail";
  EXPECT_EQ(delegate.error->domain(), ns::kURLErrorDomain);
  EXPECT_EQ(delegate.error->code(), code);
  for (const std::string_view key :
       {ns::kURLErrorFailingURLErrorKey, ns::kURLErrorFailingURLStringErrorKey}) {
    const auto failingURL = delegate.error->userInfo().find(key);
    ASSERT_NE(failingURL, delegate.error->userInfo().end()) << key;
    EXPECT_EQ(failingURL->second.asString(), url);
  }
}

// Returns `size` bytes in a pattern that shows bytes lost, repeated or out of order.
inline std::string patternedBody(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    body[i] = static_cast<char>(i * 7 % 251);
  }
  return body;
}

}  // namespace nettest
