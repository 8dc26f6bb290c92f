#pragma once

// sample_backend::api::ApiServer: carries an ApiService over HTTP/1.1 on the loopback interface, with
// Boost.Beast on a thread of its own. Each connection may carry several requests (keep-alive); a reply is
// held back or the connection cut as the service's test controls say. A connection that brings no whole
// request for kIdleTimeout is closed, so that a client that goes quiet holds no descriptor for ever.
//
// Destroying the server closes the listening socket and every connection and joins its thread; no request
// is answered after that.
//
// Thread-safety: the accessors may be called from any thread.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/values/Result.h"
#include "sample_backend/api/ApiService.h"

namespace sample_backend::media {
class MediaService;
}  // namespace sample_backend::media

namespace sample_backend::api {

class ApiServer {
 public:
  static constexpr std::chrono::milliseconds kIdleTimeout = std::chrono::seconds(60);

  // Starts serving `service` on 127.0.0.1 at `port`; 0 takes any free port. Returns the running server, or
  // an error (domain "ApiServer") saying why the port could not be opened. GET requests go to `media` when
  // one is given (lesson playlists, keys and segments), except those of the service's own pages
  // (ApiService::servesPage()); without it they are answered by the service.
  static ns::Result<std::unique_ptr<ApiServer>> start(std::shared_ptr<ApiService> service,
                                                      std::uint16_t port = 0,
                                                      std::shared_ptr<media::MediaService> media = nullptr);
  ~ApiServer();
  ApiServer(const ApiServer&) = delete;
  ApiServer& operator=(const ApiServer&) = delete;

  std::uint16_t port() const;
  // "127.0.0.1:<port>", the form of the client's --web-host.
  std::string hostAndPort() const;
  // "http://127.0.0.1:<port>".
  std::string baseURL() const;

  ApiService& service() const;

  // Replaces kIdleTimeout for the connections accepted from now on.
  void setIdleTimeoutForTesting(std::chrono::milliseconds timeout);

 private:
  class Impl;
  explicit ApiServer(std::unique_ptr<Impl> impl);

  std::unique_ptr<Impl> impl_;
};

}  // namespace sample_backend::api
