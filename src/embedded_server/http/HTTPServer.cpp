#include "embedded_server/http/HTTPServer.h"

#include <cstdio>

#include "embedded_server/http/HTTPConnection.h"
#include "embedded_server/logging/LGLog.h"
#include "embedded_server/sockets/SocketError.h"

namespace embedded_server {

namespace asio = boost::asio;
using asio::ip::tcp;

namespace {

std::string describeError(const ns::Error& error) {
  return "Error Domain=" + error.domain() + " Code=" + std::to_string(error.code()) + " \"" +
         error.localizedDescription() + "\"";
}

}  // namespace

HTTPServer::HTTPServer()
    : serverQueue_(ns::DispatchQueue::createSerial("HTTPServer")),
      connectionQueue_(ns::DispatchQueue::createSerial("HTTPConnection")),
      acceptor_(io_),
      acceptLoop_(acceptor_, [this](tcp::socket socket) { serve(std::move(socket)); }) {}

HTTPServer::~HTTPServer() {
  serverQueue_->sync([this] {
    if (!running_) {
      return;
    }
    io_.stop();
    connectionQueue_->sync([] {});  // returns once io_.run() has returned
    boost::system::error_code ignored;
    acceptor_.close(ignored);
    running_ = false;
    listeningPort_ = 0;
    ownPort_.reset();
  });
  // The connections still held by io_ are closed as it is destroyed, right after this.
}

void HTTPServer::setType(std::string type) {
  serverQueue_->async([this, type = std::move(type)]() mutable { type_ = std::move(type); });
}

void HTTPServer::setDocumentRoot(std::string path) {
  // Waited for, so that a URL handed out after this call never reaches a connection that took the old root.
  serverQueue_->sync([this, path = std::move(path)]() mutable {
    ns::MutexLock lock(mutex_);
    documentRoot_ = std::move(path);
  });
}

ns::Status HTTPServer::start() {
  ns::Status status;
  serverQueue_->sync([this, &status] { status = startOnQueue(); });
  return status;
}

ns::Status HTTPServer::startOnQueue() {
  boost::system::error_code error;
  if (running_) {
    error = asio::error::already_started;
  } else {
    const tcp::endpoint loopback(asio::ip::address_v4::loopback(), 0);
    acceptor_.open(loopback.protocol(), error);
    if (!error) {
      acceptor_.bind(loopback, error);
    }
    if (!error) {
      acceptor_.listen(asio::socket_base::max_listen_connections, error);
    }
  }
  if (error) {
    const ns::Error failure = socketError(error);
    if (!running_) {
      boost::system::error_code ignored;
      acceptor_.close(ignored);
    }
    LGLog::log(LGLogFlag::kError, kHTTPLogContext,
               description() + ": Failed to start HTTP Server: " + describeError(failure));
    return failure;
  }
  listeningPort_ = acceptor_.local_endpoint().port();
  ownPort_.emplace(listeningPort_);
  running_ = true;
  asio::post(io_, [this] { acceptLoop_.start(); });
  connectionQueue_->async([this] { io_.run(); });
  LGLog::log(LGLogFlag::kInfo, kHTTPLogContext,
             description() + ": Started HTTP server on port " + std::to_string(listeningPort_));
  return {};
}

void HTTPServer::serve(tcp::socket socket) {
  std::make_shared<HTTPConnection>(std::move(socket), HTTPDocumentRoot(documentRoot()))->start();
}

bool HTTPServer::isRunning() const {
  bool running = false;
  serverQueue_->sync([this, &running] { running = running_; });
  return running;
}

std::uint16_t HTTPServer::listeningPort() const {
  std::uint16_t port = 0;
  serverQueue_->sync([this, &port] { port = listeningPort_; });
  return port;
}

std::string HTTPServer::type() const {
  std::string type;
  serverQueue_->sync([this, &type] { type = type_; });
  return type;
}

std::string HTTPServer::documentRoot() const {
  ns::MutexLock lock(mutex_);
  return documentRoot_;
}

std::string HTTPServer::description() const {
  char text[64];
  std::snprintf(text, sizeof text, "<HTTPServer: %p>", static_cast<const void*>(this));
  return text;
}

}  // namespace embedded_server
