#pragma once

// Helpers for URLConnection tests: a delegate that records every call and can be told how to answer, and
// functions that start a connection and run the loop until it ends, with a deadline.

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

namespace nettest {

struct UploadReport {
  std::int64_t bytesWritten;
  std::int64_t totalBytesWritten;
  std::int64_t totalBytesExpectedToWrite;
};

class RecordingDelegate : public ns::URLConnectionDelegate {
 public:
  // How to answer; unset ones take the base class's answer.
  std::function<TrustDecision(ns::ServerTrust& trust, const std::string& host)> trustPolicy;
  std::function<std::optional<ns::URLRequest>(ns::URLRequest proposed, const ns::HTTPURLResponse& response)>
      redirectPolicy;
  std::function<DataDisposition(ns::URLConnection& connection, const std::uint8_t* bytes, std::size_t length)>
      dataPolicy;
  // Called after each recorded event, for tests that act in the middle of a load.
  std::function<void(ns::URLConnection& connection, const std::string& event)> onEvent;

  // Every call in order: "trust <host>", "redirect <url>", "upload", "response <status>", "data", "finish",
  // "fail <code>".
  std::vector<std::string> events;
  std::vector<std::vector<ns::Data>> presentedChains;
  std::vector<UploadReport> uploads;
  std::shared_ptr<const ns::URLResponse> response;
  std::string body;
  std::optional<ns::Error> error;
  bool finished = false;

  bool ended() const { return finished || error.has_value(); }
  // The response as an HTTP response. REQUIRES: a response arrived.
  const ns::HTTPURLResponse& httpResponse() const {
    return dynamic_cast<const ns::HTTPURLResponse&>(*response);
  }

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
    return decided;
  }

  void didSendBodyData(ns::URLConnection& connection, std::int64_t bytesWritten,
                       std::int64_t totalBytesWritten, std::int64_t totalBytesExpectedToWrite) override {
    uploads.push_back({bytesWritten, totalBytesWritten, totalBytesExpectedToWrite});
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
    const bool repeatsLast =
        !events.empty() && events.back() == event && (event == "data" || event == "upload");
    if (!repeatsLast) {
      events.push_back(std::move(event));
    }
    if (onEvent) {
      onEvent(connection, events.back());
    }
  }
};

// Returns a GET request for `url`. REQUIRES: url is valid.
inline ns::URLRequest requestFor(const std::string& url) {
  std::optional<ns::URL> parsed = ns::URL::fromString(url);
  EXPECT_TRUE(parsed.has_value()) << url;
  return ns::URLRequest(std::move(parsed));
}

// Starts a connection for `request` on the calling thread's loop, reporting to `delegate`.
inline std::shared_ptr<ns::URLConnection> start(ns::URLRequest request,
                                                const std::shared_ptr<RecordingDelegate>& delegate) {
  std::shared_ptr<ns::URLConnection> connection = ns::URLConnection::create(std::move(request), delegate);
  connection->start();
  return connection;
}

// Runs the calling thread's loop until `delegate` has finished or failed, for at most `timeout`.
inline bool runUntilEnded(const RecordingDelegate& delegate,
                          std::chrono::seconds timeout = std::chrono::seconds(20)) {
  return ns::RunLoop::current().runUntil([&] { return delegate.ended(); }, timeout);
}

// Runs the calling thread's loop for `duration` of real time, to show that nothing more happens.
inline void runFor(std::chrono::milliseconds duration) {
  ns::RunLoop::current().runUntil([] { return false; }, duration);
}

// Loads `request` to its end, reporting to `delegate` (a fresh one if none is given), and returns the
// delegate.
inline std::shared_ptr<RecordingDelegate> load(
    ns::URLRequest request,
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>()) {
  const auto connection = start(std::move(request), delegate);
  EXPECT_TRUE(runUntilEnded(*delegate)) << "the load did not end in time";
  return delegate;
}

// Expects that the load reporting to `delegate` failed with `code` of the URL error domain, naming `url`.
inline void expectURLError(const RecordingDelegate& delegate, ns::URLErrorCode code, const std::string& url) {
  ASSERT_TRUE(delegate.error.has_value()) << "the load did not fail";
  EXPECT_EQ(delegate.error->domain(), ns::kURLErrorDomain);
  EXPECT_EQ(delegate.error->code(), code);
  const ns::Dictionary& userInfo = delegate.error->userInfo();
  for (const std::string_view key :
       {ns::kURLErrorFailingURLErrorKey, ns::kURLErrorFailingURLStringErrorKey}) {
    const auto failingURL = userInfo.find(key);
    ASSERT_NE(failingURL, userInfo.end()) << key;
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
