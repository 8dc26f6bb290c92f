#pragma once

// ns::URLConnection: loads one URLRequest over HTTP or HTTPS and reports to a URLConnectionDelegate
// (URLConnectionDelegate.h gives the order of the calls). A connection runs on the run loop of the thread
// that starts it; the connections of one loop share one transfer engine there, so no connection gets a
// thread of its own. The engine follows redirects itself (asking the delegate each time, up to
// kMaximumRedirects), keeps the request's idle time-out on a timer of the loop (so a manual clock drives
// it), and lets the delegate judge the server chain of every TLS connection a load uses. A loop runs at most
// kMaximumLoadsPerServer loads of one server (scheme, host and port) at once; the others wait their turn in
// the order they were started, and their idle time-out starts with their turn.
//
// A started connection is held by its loop until it finishes, fails or is cancelled; dropping the last
// caller reference does not stop it. The delegate is held weakly: once it is gone, the connection cancels
// itself.
//
// Thread-safety: create() may be called anywhere; start(), cancel() and resumeReceiving() only on the thread
// of the loop that runs (or will run) the connection.

#include <cstddef>
#include <memory>

#include "platform/net/URLConnectionDelegate.h"
#include "platform/net/URLRequest.h"

namespace ns {

class ConnectionTransfer;

class URLConnection : public std::enable_shared_from_this<URLConnection> {
 public:
  // Redirects followed before a load fails with kURLErrorHTTPTooManyRedirects.
  static constexpr int kMaximumRedirects = 16;
  // Loads of one server that one loop runs at once, as the platform's loading system allows on a phone.
  static constexpr std::size_t kMaximumLoadsPerServer = 4;

  // Returns a connection for `request` that is not started yet.
  static std::shared_ptr<URLConnection> create(URLRequest request,
                                               std::weak_ptr<URLConnectionDelegate> delegate);
  ~URLConnection();

  // Starts loading on the calling thread's run loop. A request without a URL, or with a scheme other than
  // http and https, fails on a later turn of the loop (kURLErrorBadURL, kURLErrorUnsupportedURL); no
  // delegate call is ever made inside start(). Starting again does nothing.
  void start();
  // Stops loading at once. No delegate call is made after cancel() returns, not even a failure: the caller
  // reports the cancellation itself. Before start() it keeps the connection from ever starting; once the
  // connection has finished, failed or been cancelled it does nothing.
  void cancel();
  // Asks for the body again after the delegate answered DataDisposition::kNoSpace; it may be called while
  // that answer is being given. Data comes on a later turn of the loop, never inside this call. Does nothing
  // when reading is not held back by then.
  void resumeReceiving();

  // The request given to create().
  const URLRequest& originalRequest() const { return originalRequest_; }
  // The request being loaded: the original one or the last redirect request followed.
  const URLRequest& currentRequest() const;

 private:
  URLConnection(URLRequest request, std::weak_ptr<URLConnectionDelegate> delegate);

  // Constant after construction
  const URLRequest originalRequest_;
  const std::weak_ptr<URLConnectionDelegate> delegate_;

  std::shared_ptr<ConnectionTransfer> transfer_;
  bool started_ = false;
  bool cancelledBeforeStart_ = false;
};

}  // namespace ns
