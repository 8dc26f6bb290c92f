#pragma once

// ns::URLDataLoad: one load of a request through URLConnection on the run loop of the thread that starts it,
// with the body collected in memory up to a size the caller chooses. When the final response's header is
// in, the caller's check may end the load with an error of its own before any of the body is read. A body
// larger than the maximum, announced by its "Content-Length" or found while it arrives, stops the connection
// at once and fails the load with kURLErrorDataLengthExceedsMaximum, so no more than the maximum is ever
// held, whatever the server sends.
//
// The completion is called exactly once, on that loop, never inside start(); it is never called after
// cancel() returns, nor once the caller has dropped its last reference (which cancels the load).
//
// Thread-safety: used only on the thread that starts it.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Error.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/URLConnection.h"
#include "platform/net/URLConnectionDelegate.h"
#include "platform/net/URLRequest.h"
#include "platform/net/URLResponse.h"

namespace ns {

class URLDataLoad : public URLConnectionDelegate, public std::enable_shared_from_this<URLDataLoad> {
 public:
  // Looks at the final response when its header is in. Returns nullopt to read its body, or the error to
  // end the load with at once.
  using ResponseCheck = std::function<std::optional<Error>(const URLResponse& response)>;
  // `response` is the final response (its peerAddress() names the server), or nullptr when the load failed
  // before one came. `body` is the whole body, or the failure: the check's own error, or a URL-loading error
  // (URLConnectionDelegate::didFailWithError, or kURLErrorDataLengthExceedsMaximum) that names the failing
  // URL and, once a connection was made, the server's address under kURLErrorPeerAddressKey.
  using Completion = std::function<void(std::shared_ptr<const URLResponse> response, Result<Data> body)>;

  // Starts loading `request`, whose body may hold at most `maximumBodySize` bytes, and returns the load; the
  // caller keeps it while it wants the completion. An empty `check` reads every response's body.
  static std::shared_ptr<URLDataLoad> start(URLRequest request, std::size_t maximumBodySize,
                                            ResponseCheck check, Completion completion);
  ~URLDataLoad() override;
  URLDataLoad(const URLDataLoad&) = delete;
  URLDataLoad& operator=(const URLDataLoad&) = delete;

  // Stops the load; the completion is not called. Does nothing once the load has ended.
  void cancel();

  void didReceiveResponse(URLConnection& connection, std::shared_ptr<const URLResponse> response) override;
  DataDisposition didReceiveData(URLConnection& connection, const std::uint8_t* bytes,
                                 std::size_t length) override;
  void didFinishLoading(URLConnection& connection) override;
  void didFailWithError(URLConnection& connection, const Error& error) override;

  // Use start(); public for std::make_shared.
  URLDataLoad(std::size_t maximumBodySize, ResponseCheck check, Completion completion);

 private:
  // Stops the connection and ends the load with `error`.
  void stopWith(Error error);
  void complete(Result<Data> body);

  // Constant after construction
  const std::size_t maximumBodySize_;
  const ResponseCheck check_;
  const ThreadChecker ownerThread_;

  Completion completion_;
  std::shared_ptr<URLConnection> connection_;
  std::shared_ptr<const URLResponse> response_;
  Data body_;
};

}  // namespace ns
