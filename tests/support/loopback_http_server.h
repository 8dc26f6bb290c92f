#pragma once

// testsupport::LoopbackHTTPServer: an HTTP/1.1 server on 127.0.0.1, plain or TLS, on a free port, running on
// a thread of its own, for tests that need a real server. Each path gets a handler that says how to answer
// (TestResponse.h); every request is recorded. Paths without a handler get 404. Connections are kept alive
// between requests unless a response ends them.
//
// Destroying the server stops it: open connections are closed and the thread is joined.
// Thread-safety: every method may be called from any thread; handlers run on the server's thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/recorded_request.h"
#include "support/tls_identity.h"
#include "support/test_response.h"

namespace testsupport {

class LoopbackHTTPServer {
 public:
  using Handler = std::function<TestResponse(const RecordedRequest& request)>;

  // Starts a plain HTTP server.
  LoopbackHTTPServer();
  // Starts an HTTPS server that presents `identity`.
  explicit LoopbackHTTPServer(TLSIdentity identity);
  ~LoopbackHTTPServer();
  LoopbackHTTPServer(const LoopbackHTTPServer&) = delete;
  LoopbackHTTPServer& operator=(const LoopbackHTTPServer&) = delete;

  std::uint16_t port() const;
  // Returns "http://127.0.0.1:<port>" ("https" for TLS) followed by `pathAndQuery`; `host` replaces
  // 127.0.0.1 (a TLS test names "localhost" to check names).
  std::string url(std::string_view pathAndQuery, std::string_view host = "127.0.0.1") const;

  // Answers requests for `path` (the target without its query) with `handler`, replacing an earlier one.
  void route(std::string path, Handler handler);
  // Answers requests for `path` with `response` every time.
  void route(std::string path, TestResponse response);

  // The requests received so far, in order of arrival.
  std::vector<RecordedRequest> requests() const;
  std::size_t requestCount() const;
  // Connections accepted so far (a kept-alive connection counts once).
  std::size_t connectionCount() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace testsupport
