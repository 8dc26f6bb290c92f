#pragma once

// Helpers for URLConnection tests: a delegate that records every call and can be told how to answer, and
// functions that start a connection and run the loop until it ends, with a deadline.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/URLConnection.h"

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
  const ns::HTTPURLResponse& httpResponse() const;

  TrustDecision shouldTrustServer(ns::URLConnection& connection, ns::ServerTrust& trust,
                                  const std::string& host) override;
  std::optional<ns::URLRequest> willSendRequest(ns::URLConnection& connection, ns::URLRequest proposed,
                                                const ns::HTTPURLResponse& redirectResponse) override;
  void didSendBodyData(ns::URLConnection& connection, std::int64_t bytesWritten,
                       std::int64_t totalBytesWritten, std::int64_t totalBytesExpectedToWrite) override;
  void didReceiveResponse(ns::URLConnection& connection,
                          std::shared_ptr<const ns::URLResponse> response) override;
  DataDisposition didReceiveData(ns::URLConnection& connection, const std::uint8_t* bytes,
                                 std::size_t length) override;
  void didFinishLoading(ns::URLConnection& connection) override;
  void didFailWithError(ns::URLConnection& connection, const ns::Error& error) override;

 private:
  void record(ns::URLConnection& connection, std::string event);
};

// Returns a GET request for `url`. REQUIRES: url is valid.
ns::URLRequest requestFor(const std::string& url);

// Starts a connection for `request` on the calling thread's loop, reporting to `delegate`.
std::shared_ptr<ns::URLConnection> start(ns::URLRequest request,
                                         const std::shared_ptr<RecordingDelegate>& delegate);

// Runs the calling thread's loop until `delegate` has finished or failed, for at most `timeout`.
bool runUntilEnded(const RecordingDelegate& delegate,
                   std::chrono::seconds timeout = std::chrono::seconds(20));

// Runs the calling thread's loop for `duration` of real time, to show that nothing more happens.
void runFor(std::chrono::milliseconds duration);

// Loads `request` to its end and returns the delegate that saw it.
std::shared_ptr<RecordingDelegate> load(ns::URLRequest request);

}  // namespace nettest
