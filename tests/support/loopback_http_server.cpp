#include "support/loopback_http_server.h"

#include <boost/asio.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <cstdint>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace testsupport {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

RecordedRequest recordOf(const http::request<http::string_body>& request) {
  RecordedRequest recorded;
  recorded.method = std::string(request.method_string());
  recorded.target = std::string(request.target());
  recorded.path = recorded.target.substr(0, recorded.target.find('?'));
  for (const auto& field : request) {
    recorded.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
  }
  recorded.body = request.body();
  return recorded;
}

std::string headOf(const TestResponse& response) {
  std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                     std::string(http::obsolete_reason(static_cast<http::status>(response.status))) + "\r\n";
  for (const auto& [name, value] : response.headers) {
    head += name + ": " + value + "\r\n";
  }
  if (response.framing == TestResponse::Framing::kChunked) {
    head += "Transfer-Encoding: chunked\r\n";
  } else if (!response.header("Content-Length")) {
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  }
  return head + "\r\n";
}

// The body split as the response asks, each piece framed for the wire.
std::vector<std::string> framedPiecesOf(const TestResponse& response, std::size_t bodyLimit) {
  const std::string body = response.body.substr(0, bodyLimit);
  const std::size_t pieceSize =
      response.pieceSize == 0 ? std::max<std::size_t>(body.size(), 1) : response.pieceSize;
  const bool chunked = response.framing == TestResponse::Framing::kChunked;
  std::vector<std::string> pieces;
  for (std::size_t offset = 0; offset < body.size(); offset += pieceSize) {
    const std::string piece = body.substr(offset, pieceSize);
    if (chunked) {
      char size[32];
      std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
      pieces.push_back(size + piece + "\r\n");
    } else {
      pieces.push_back(piece);
    }
  }
  return pieces;
}

}  // namespace

class LoopbackHTTPServer::Impl {
 public:
  explicit Impl(std::optional<TLSIdentity> identity)
      : acceptor_(io_, tcp::endpoint(asio::ip::address_v4::loopback(), 0)) {
    if (identity) {
      tls_.emplace(asio::ssl::context::tls_server);
      tls_->use_certificate_chain(asio::buffer(identity->certificateChainPEM));
      tls_->use_private_key(asio::buffer(identity->privateKeyPEM), asio::ssl::context::pem);
    }
    asio::co_spawn(io_, acceptLoop(), asio::detached);
    thread_ = std::thread([this] { io_.run(); });
  }

  ~Impl() {
    io_.stop();
    thread_.join();
  }

  bool isTLS() const { return tls_.has_value(); }
  std::uint16_t port() const { return acceptor_.local_endpoint().port(); }

  void route(std::string path, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[std::move(path)] = std::move(handler);
  }

  std::vector<RecordedRequest> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

  std::size_t connectionCount() const {
    std::lock_guard lock(mutex_);
    return connections_;
  }

 private:
  asio::awaitable<void> acceptLoop() {
    for (;;) {
      boost::system::error_code error;
      tcp::socket socket = co_await acceptor_.async_accept(asio::redirect_error(asio::use_awaitable, error));
      if (error) {
        co_return;
      }
      // Heads and bodies go out in separate writes; waiting to merge them would only slow every test.
      socket.set_option(tcp::no_delay(true), error);
      {
        std::lock_guard lock(mutex_);
        ++connections_;
      }
      if (tls_) {
        asio::co_spawn(io_, serveTLS(std::move(socket)), asio::detached);
      } else {
        asio::co_spawn(io_, servePlain(std::move(socket)), asio::detached);
      }
    }
  }

  asio::awaitable<void> serveTLS(tcp::socket socket) {
    asio::ssl::stream<tcp::socket> stream(std::move(socket), *tls_);
    boost::system::error_code error;
    co_await stream.async_handshake(asio::ssl::stream_base::server,
                                    asio::redirect_error(asio::use_awaitable, error));
    if (!error) {
      co_await serveRequests(stream);
    }
  }

  asio::awaitable<void> servePlain(tcp::socket socket) { co_await serveRequests(socket); }

  template <typename Stream>
  asio::awaitable<void> serveRequests(Stream& stream) {
    beast::flat_buffer buffer;
    for (;;) {
      // Bodies of any size are taken, so that uploads of many megabytes can be checked whole.
      http::request_parser<http::string_body> parser;
      parser.body_limit(std::numeric_limits<std::uint64_t>::max());
      boost::system::error_code error;
      co_await http::async_read(stream, buffer, parser, asio::redirect_error(asio::use_awaitable, error));
      if (error) {
        co_return;
      }
      const http::request<http::string_body>& request = parser.get();
      const RecordedRequest recorded = recordOf(request);
      const TestResponse response = respond(recorded);
      if (!co_await send(stream, response, recorded.method == "HEAD") || !request.keep_alive()) {
        co_return;
      }
    }
  }

  TestResponse respond(const RecordedRequest& request) {
    Handler handler;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
      const auto found = handlers_.find(request.path);
      if (found != handlers_.end()) {
        handler = found->second;
      }
    }
    return handler ? handler(request) : TestResponse::text(404, "not found");
  }

  // Sends `response`; returns whether the connection may serve another request.
  template <typename Stream>
  asio::awaitable<bool> send(Stream& stream, const TestResponse& response, bool headOnly) {
    boost::system::error_code error;
    auto onError = asio::redirect_error(asio::use_awaitable, error);
    if (response.neverRespond) {
      asio::steady_timer forever(io_, asio::steady_timer::time_point::max());
      co_await forever.async_wait(onError);
      co_return false;
    }
    if (response.rawReply) {
      co_await asio::async_write(stream, asio::buffer(*response.rawReply), onError);
      co_return false;
    }
    co_await asio::async_write(stream, asio::buffer(headOf(response)), onError);
    if (error || headOnly) {
      co_return !error;
    }
    const std::size_t bodyLimit = response.closeAfterBodyBytes.value_or(response.body.size());
    const std::vector<std::string> pieces = framedPiecesOf(response, bodyLimit);
    for (std::size_t i = 0; i < pieces.size() && !error; ++i) {
      if (i > 0 && response.pauseBetweenPieces.count() > 0) {
        asio::steady_timer pause(io_, response.pauseBetweenPieces);
        co_await pause.async_wait(onError);
      }
      co_await asio::async_write(stream, asio::buffer(pieces[i]), onError);
    }
    if (error || response.closeAfterBodyBytes) {
      co_return false;
    }
    if (response.framing == TestResponse::Framing::kChunked) {
      co_await asio::async_write(stream, asio::buffer(std::string_view("0\r\n\r\n")), onError);
    }
    const std::optional<std::string> connection = response.header("Connection");
    co_return !error && !(connection && beast::iequals(*connection, "close"));
  }

  asio::io_context io_;
  tcp::acceptor acceptor_;
  std::optional<asio::ssl::context> tls_;
  std::thread thread_;

  mutable std::mutex mutex_;
  // Guarded by mutex_
  std::map<std::string, Handler> handlers_;
  std::vector<RecordedRequest> requests_;
  std::size_t connections_ = 0;
};

LoopbackHTTPServer::LoopbackHTTPServer() : impl_(std::make_unique<Impl>(std::nullopt)) {}

LoopbackHTTPServer::LoopbackHTTPServer(TLSIdentity identity)
    : impl_(std::make_unique<Impl>(std::move(identity))) {}

LoopbackHTTPServer::~LoopbackHTTPServer() = default;

std::uint16_t LoopbackHTTPServer::port() const {
  return impl_->port();
}

std::string LoopbackHTTPServer::url(std::string_view pathAndQuery, std::string_view host) const {
  return std::string(impl_->isTLS() ? "https://" : "http://") + std::string(host) + ":" +
         std::to_string(port()) + std::string(pathAndQuery);
}

void LoopbackHTTPServer::route(std::string path, Handler handler) {
  impl_->route(std::move(path), std::move(handler));
}

void LoopbackHTTPServer::route(std::string path, TestResponse response) {
  impl_->route(std::move(path), [response](const RecordedRequest&) { return response; });
}

std::vector<RecordedRequest> LoopbackHTTPServer::requests() const {
  return impl_->requests();
}

std::size_t LoopbackHTTPServer::requestCount() const {
  return impl_->requests().size();
}

std::size_t LoopbackHTTPServer::connectionCount() const {
  return impl_->connectionCount();
}

}  // namespace testsupport
