#include "sample_backend/api/ApiServer.h"

#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <thread>

#include "embedded_server/sockets/AcceptLoop.h"
#include "sample_backend/LoopbackListening.h"
#include "sample_backend/api/FormBody.h"
#include "sample_backend/media/MediaReplyWriter.h"
#include "sample_backend/media/MediaService.h"

namespace sample_backend::api {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

ApiRequest apiRequestFrom(const http::request<http::string_body>& message) {
  ApiRequest request;
  request.method = std::string(message.method_string());
  const std::string_view target(message.target().data(), message.target().size());
  request.path = std::string(target.substr(0, target.find('?')));
  for (const auto& field : message) {
    std::string name(field.name_string());
    for (char& c : name) {
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    request.headers[name] = std::string(field.value());
  }
  request.parameters = decodeFormBody(message.body());
  return request;
}

// One accepted connection: reads requests one after another and answers each as the service says. A client
// that has not sent a whole request `idleTimeout` after the connection was opened or last answered is closed.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(tcp::socket socket, std::shared_ptr<ApiService> service,
             std::shared_ptr<media::MediaService> media, std::chrono::milliseconds idleTimeout)
      : socket_(std::move(socket)),
        timer_(socket_.get_executor()),
        idle_(socket_.get_executor()),
        idleTimeout_(idleTimeout),
        service_(std::move(service)),
        media_(std::move(media)) {}

  void readNext() {
    request_ = {};
    idle_.expires_after(idleTimeout_);
    idle_.async_wait([weak = weak_from_this()](beast::error_code error) {
      if (auto self = weak.lock(); self && !error) {
        self->close();
      }
    });
    http::async_read(
        socket_, buffer_, request_,
        [self = shared_from_this()](beast::error_code error, std::size_t) { self->onRead(error); });
  }

 private:
  void onRead(beast::error_code error) {
    idle_.cancel();
    if (error) {
      close();
      return;
    }
    ApiRequest request = apiRequestFrom(request_);
    if (media_ && request_.method() == http::verb::get && !ApiService::servesPage(request.path)) {
      answerMedia();
      return;
    }
    ApiService::Answer answer = service_->answer(std::move(request));
    if (answer.control.cutConnection) {
      close();
      return;
    }
    response_ = {};
    response_.version(request_.version());
    response_.result(answer.status);
    response_.set(http::field::content_type, answer.contentType);
    response_.keep_alive(request_.keep_alive());
    response_.body() = std::move(answer.body);
    response_.prepare_payload();
    timer_.expires_after(answer.control.delay);
    timer_.async_wait([self = shared_from_this()](beast::error_code) { self->write(); });
  }

  void answerMedia() {
    const std::string_view target(request_.target().data(), request_.target().size());
    const std::string_view host(request_[http::field::host].data(), request_[http::field::host].size());
    media::writeMediaReply(
        socket_, timer_, media_->answer("GET", target, host), request_.version() % 10, request_.keep_alive(),
        [self = shared_from_this()](bool keepOpen) { keepOpen ? self->readNext() : self->close(); });
  }

  void write() {
    http::async_write(socket_, response_, [self = shared_from_this()](beast::error_code error, std::size_t) {
      if (error || !self->response_.keep_alive()) {
        self->close();
        return;
      }
      self->readNext();
    });
  }

  void close() {
    beast::error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
  }

  tcp::socket socket_;
  asio::steady_timer timer_;
  asio::steady_timer idle_;
  const std::chrono::milliseconds idleTimeout_;
  beast::flat_buffer buffer_;
  http::request<http::string_body> request_;
  http::response<http::string_body> response_;
  std::shared_ptr<ApiService> service_;
  std::shared_ptr<media::MediaService> media_;
};

ns::Error serverError(const std::string& what, const beast::error_code& error) {
  return ns::Error("com.quillmark.api-server", error.value(),
                   {{std::string(ns::kLocalizedDescriptionKey), what + ": " + error.message()}});
}

}  // namespace

class ApiServer::Impl {
 public:
  Impl(std::shared_ptr<ApiService> service, std::shared_ptr<media::MediaService> media)
      : acceptor_(context_),
        acceptLoop_(acceptor_, [this](tcp::socket socket) { serve(std::move(socket)); }),
        service_(std::move(service)),
        media_(std::move(media)) {}

  ~Impl() {
    asio::post(context_, [this] {
      beast::error_code ignored;
      acceptor_.close(ignored);
      context_.stop();
    });
    if (thread_.joinable()) {
      thread_.join();
    }
  }

  ns::Status listen(std::uint16_t port) {
    const beast::error_code error = listenOnLoopback(acceptor_, port);
    if (error) {
      return serverError("cannot listen on 127.0.0.1:" + std::to_string(port), error);
    }
    port_ = acceptor_.local_endpoint().port();
    acceptLoop_.start();
    thread_ = std::thread([this] { context_.run(); });
    return {};
  }

  std::uint16_t port() const { return port_; }
  ApiService& service() const { return *service_; }
  void setIdleTimeout(std::chrono::milliseconds timeout) { idleTimeout_ = timeout; }

 private:
  void serve(tcp::socket socket) {
    std::make_shared<Connection>(std::move(socket), service_, media_, idleTimeout_.load())->readNext();
  }

  asio::io_context context_;
  tcp::acceptor acceptor_;
  embedded_server::AcceptLoop acceptLoop_;
  std::shared_ptr<ApiService> service_;
  std::shared_ptr<media::MediaService> media_;
  std::uint16_t port_ = 0;
  std::atomic<std::chrono::milliseconds> idleTimeout_{kIdleTimeout};
  std::thread thread_;
};

ns::Result<std::unique_ptr<ApiServer>> ApiServer::start(std::shared_ptr<ApiService> service,
                                                        std::uint16_t port,
                                                        std::shared_ptr<media::MediaService> media) {
  auto impl = std::make_unique<Impl>(std::move(service), std::move(media));
  if (ns::Status listening = impl->listen(port); !listening.ok()) {
    return listening.error();
  }
  return std::unique_ptr<ApiServer>(new ApiServer(std::move(impl)));
}

ApiServer::ApiServer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

ApiServer::~ApiServer() = default;

std::uint16_t ApiServer::port() const {
  return impl_->port();
}

std::string ApiServer::hostAndPort() const {
  return "127.0.0.1:" + std::to_string(port());
}

std::string ApiServer::baseURL() const {
  return "http://" + hostAndPort();
}

ApiService& ApiServer::service() const {
  return impl_->service();
}

void ApiServer::setIdleTimeoutForTesting(std::chrono::milliseconds timeout) {
  impl_->setIdleTimeout(timeout);
}

}  // namespace sample_backend::api
