#include "platform/net/URLConnectionTestUtil.h"

#include <gtest/gtest.h>

namespace nettest {

const ns::HTTPURLResponse& RecordingDelegate::httpResponse() const {
  return dynamic_cast<const ns::HTTPURLResponse&>(*response);
}

ns::URLConnectionDelegate::TrustDecision RecordingDelegate::shouldTrustServer(ns::URLConnection& connection,
                                                                              ns::ServerTrust& trust,
                                                                              const std::string& host) {
  presentedChains.push_back(trust.certificateChain());
  const TrustDecision decision = trustPolicy
                                     ? trustPolicy(trust, host)
                                     : URLConnectionDelegate::shouldTrustServer(connection, trust, host);
  record(connection, "trust " + host);
  return decision;
}

std::optional<ns::URLRequest> RecordingDelegate::willSendRequest(
    ns::URLConnection& connection, ns::URLRequest proposed, const ns::HTTPURLResponse& redirectResponse) {
  const std::string target = proposed.url()->absoluteString();
  std::optional<ns::URLRequest> decided = redirectPolicy
                                              ? redirectPolicy(std::move(proposed), redirectResponse)
                                              : std::optional(std::move(proposed));
  record(connection, "redirect " + target);
  return decided;
}

void RecordingDelegate::didSendBodyData(ns::URLConnection& connection, std::int64_t bytesWritten,
                                        std::int64_t totalBytesWritten,
                                        std::int64_t totalBytesExpectedToWrite) {
  uploads.push_back({bytesWritten, totalBytesWritten, totalBytesExpectedToWrite});
  record(connection, "upload");
}

void RecordingDelegate::didReceiveResponse(ns::URLConnection& connection,
                                           std::shared_ptr<const ns::URLResponse> received) {
  response = std::move(received);
  const auto* http = dynamic_cast<const ns::HTTPURLResponse*>(response.get());
  record(connection, "response " + std::to_string(http ? http->statusCode() : 0));
}

ns::URLConnectionDelegate::DataDisposition RecordingDelegate::didReceiveData(ns::URLConnection& connection,
                                                                             const std::uint8_t* bytes,
                                                                             std::size_t length) {
  const DataDisposition disposition =
      dataPolicy ? dataPolicy(connection, bytes, length) : DataDisposition::kConsumed;
  if (disposition == DataDisposition::kConsumed) {
    body.append(reinterpret_cast<const char*>(bytes), length);
    record(connection, "data");
  }
  return disposition;
}

void RecordingDelegate::didFinishLoading(ns::URLConnection& connection) {
  EXPECT_FALSE(ended()) << "a second ending call";
  finished = true;
  record(connection, "finish");
}

void RecordingDelegate::didFailWithError(ns::URLConnection& connection, const ns::Error& failure) {
  EXPECT_FALSE(ended()) << "a second ending call";
  error = failure;
  record(connection, "fail " + std::to_string(failure.code()));
}

void RecordingDelegate::record(ns::URLConnection& connection, std::string event) {
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

ns::URLRequest requestFor(const std::string& url) {
  std::optional<ns::URL> parsed = ns::URL::fromString(url);
  EXPECT_TRUE(parsed.has_value()) << url;
  return ns::URLRequest(std::move(parsed));
}

std::shared_ptr<ns::URLConnection> start(ns::URLRequest request,
                                         const std::shared_ptr<RecordingDelegate>& delegate) {
  std::shared_ptr<ns::URLConnection> connection = ns::URLConnection::create(std::move(request), delegate);
  connection->start();
  return connection;
}

bool runUntilEnded(const RecordingDelegate& delegate, std::chrono::seconds timeout) {
  return ns::RunLoop::current().runUntil([&] { return delegate.ended(); }, timeout);
}

void runFor(std::chrono::milliseconds duration) {
  ns::RunLoop::current().runUntil([] { return false; }, duration);
}

std::shared_ptr<RecordingDelegate> load(ns::URLRequest request) {
  auto delegate = std::make_shared<RecordingDelegate>();
  const auto connection = start(std::move(request), delegate);
  EXPECT_TRUE(runUntilEnded(*delegate)) << "the load did not end in time";
  return delegate;
}

}  // namespace nettest
