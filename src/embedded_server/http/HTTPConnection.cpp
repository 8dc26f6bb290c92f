#include "embedded_server/http/HTTPConnection.h"

#include <algorithm>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>
#include <cerrno>
#include <sstream>

#include "embedded_server/http/responses/HTTPFileResponse.h"
#include "embedded_server/logging/LGLog.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/SendFile.h"

namespace embedded_server {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;

namespace {

// Request headers larger than this are refused; a player's requests are a few hundred bytes.
constexpr std::uint32_t kHeaderLimit = 16 * 1024;
// The most bytes handed to the socket in one call; the socket takes what fits.
constexpr std::uint64_t kMaximumSendLength = 1024 * 1024;

std::optional<std::string_view> rangeHeader(const http::request<http::empty_body>& request) {
  const auto field = request.find(http::field::range);
  if (field == request.end()) {
    return std::nullopt;
  }
  return std::string_view(field->value().data(), field->value().size());
}

bool clientHasGone(const ns::Error& sendError) {
  return sendError.code() == EPIPE || sendError.code() == ECONNRESET;
}

}  // namespace

HTTPConnection::HTTPConnection(asio::ip::tcp::socket socket, HTTPDocumentRoot documentRoot)
    : documentRoot_(std::move(documentRoot)), socket_(std::move(socket)), silence_(socket_.get_executor()) {}

void HTTPConnection::start() {
  QM_DCHECK_CALLED_ON(ioThread_);
  beast::error_code error;
  // A response goes out in several writes (head, part headers, file bytes); without no_delay the last
  // small one would wait for the client's delayed acknowledgement. File bytes are sent without blocking.
  socket_.set_option(asio::ip::tcp::no_delay(true), error);
  if (!error) {
    socket_.non_blocking(true, error);
  }
  if (error) {
    return;
  }
  readRequest();
}

void HTTPConnection::readRequest() {
  parser_.emplace();
  parser_->header_limit(kHeaderLimit);
  watchForSilence();
  http::async_read(socket_, buffer_, *parser_,
                   [self = shared_from_this()](const beast::error_code& error, std::size_t) {
                     self->onRequestRead(error);
                   });
}

void HTTPConnection::onRequestRead(const beast::error_code& error) {
  if (error) {
    if (error != http::error::end_of_stream && error != asio::error::operation_aborted) {
      LGLog::log(LGLogFlag::kWarning, kHTTPLogContext,
                 "HTTPConnection: cannot read request: " + error.message());
    }
    close();
    return;
  }
  const Request& request = parser_->get();
  HTTPResponse response = respond(request);
  response.head.version(request.version());
  response.head.keep_alive(request.keep_alive());
  sendResponse(std::move(response), request.method() != http::verb::head);
}

HTTPResponse HTTPConnection::respond(const Request& request) const {
  if (request.method() != http::verb::get && request.method() != http::verb::head) {
    return HTTPResponse::withStatus(http::status::not_found);
  }
  const auto target = std::string_view(request.target().data(), request.target().size());
  const auto file = documentRoot_.fileForTarget(target);
  if (!file) {
    return HTTPResponse::withStatus(http::status::not_found);
  }
  auto response = HTTPFileResponse::forFile(*file, rangeHeader(request));
  if (!response) {
    LGLog::log(
        LGLogFlag::kWarning, kHTTPLogContext,
        "HTTPConnection: cannot open " + file->string() + ": " + response.error().localizedDescription());
    return HTTPResponse::withStatus(http::status::not_found);
  }
  return std::move(response).value();
}

void HTTPConnection::sendResponse(HTTPResponse response, bool withBody) {
  std::ostringstream head;
  head << response.head.base();
  keepAlive_ = response.head.keep_alive();
  if (!withBody) {
    response.body.clear();
  }
  if (!response.body.empty() && std::holds_alternative<std::string>(response.body.front())) {
    head << std::get<std::string>(response.body.front());
    response.body.front() = head.str();
  } else {
    response.body.insert(response.body.begin(), head.str());
  }
  response_ = std::move(response);
  nextPiece_ = 0;
  sendNextPiece();
}

void HTTPConnection::sendNextPiece() {
  if (nextPiece_ == response_.body.size()) {
    onResponseSent();
    return;
  }
  HTTPBodyPiece& piece = response_.body[nextPiece_];
  if (auto* range = std::get_if<LGRange>(&piece)) {
    sendFileRange(*range);
    return;
  }
  ++nextPiece_;
  watchForSilence();
  asio::async_write(
      socket_, asio::buffer(std::get<std::string>(piece)),
      [self = shared_from_this()](const beast::error_code& error, std::size_t) { self->onPieceSent(error); });
}

void HTTPConnection::sendFileRange(LGRange& range) {
  while (range.length > 0) {
    const auto sent = ns::sendFile(socket_.native_handle(), response_.file.native_handle(), range.location,
                                   static_cast<std::size_t>(std::min(range.length, kMaximumSendLength)));
    if (!sent && sent.error().code() == EAGAIN) {
      watchForSilence();
      socket_.async_wait(
          asio::ip::tcp::socket::wait_write,
          [self = shared_from_this()](const beast::error_code& error) { self->onPieceSent(error); });
      return;
    }
    if (!sent) {
      // A client that hangs up mid-body (a player seeking away from a segment) is routine, not worth a line.
      if (!clientHasGone(sent.error())) {
        LGLog::log(LGLogFlag::kWarning, kHTTPLogContext,
                   "HTTPConnection: cannot send file: " + sent.error().localizedDescription());
      }
      close();
      return;
    }
    if (*sent == 0) {
      // The file shrank under us; the promised Content-Length can no longer be met, so the only honest end
      // is to close the connection.
      LGLog::log(LGLogFlag::kWarning, kHTTPLogContext, "HTTPConnection: file ended early");
      close();
      return;
    }
    range.location += *sent;
    range.length -= *sent;
  }
  ++nextPiece_;
  sendNextPiece();
}

void HTTPConnection::onPieceSent(const beast::error_code& error) {
  if (error) {
    close();
    return;
  }
  sendNextPiece();
}

void HTTPConnection::onResponseSent() {
  response_ = HTTPResponse();
  if (!keepAlive_) {
    close();
    return;
  }
  readRequest();
}

void HTTPConnection::watchForSilence() {
  silence_.expires_after(kSilenceTimeout);
  silence_.async_wait([weak = weak_from_this()](const beast::error_code& error) {
    auto self = weak.lock();
    if (!error && self) {
      self->close();
    }
  });
}

void HTTPConnection::close() {
  beast::error_code ignored;
  silence_.cancel();
  socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
  socket_.close(ignored);
}

}  // namespace embedded_server
