#pragma once

// HTTPConnection: one accepted client of the lesson server. It reads requests one after the other on the
// same connection (keep-alive), answers GET and HEAD of files below its document root (HTTPFileResponse),
// 404 for anything else, and hands file bytes to the socket straight from the file, a socket's worth at a
// time, so that a segment is never held in memory. The head of a response goes out together with the
// text that follows it.
//
// The connection keeps itself alive while an operation is pending and closes when the client closes, when a
// request cannot be read, when a response asks to close, or when the client neither sends nor takes bytes
// for kSilenceTimeout. Destroying the server's io_context destroys every connection it still holds.
// Thread-safety: all work runs on the io_context's thread.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/parser.hpp>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>

#include "embedded_server/http/HTTPDocumentRoot.h"
#include "embedded_server/http/responses/HTTPResponse.h"
#include "platform/foundation/check/ThreadChecker.h"

namespace embedded_server {

class HTTPConnection : public std::enable_shared_from_this<HTTPConnection> {
 public:
  static constexpr std::chrono::seconds kSilenceTimeout{60};

  // Takes over `socket`, just accepted, to serve files below `documentRoot`. REQUIRES: made on the thread of
  // the socket's io_context.
  HTTPConnection(boost::asio::ip::tcp::socket socket, HTTPDocumentRoot documentRoot);

  // Starts reading the first request.
  void start();

 private:
  using Request = boost::beast::http::request<boost::beast::http::empty_body>;

  void readRequest();
  void onRequestRead(const boost::beast::error_code& error);
  HTTPResponse respond(const Request& request) const;
  void sendResponse(HTTPResponse response, bool withBody);
  void sendNextPiece();
  void sendFileRange(LGRange& range);
  void onPieceSent(const boost::beast::error_code& error);
  void onResponseSent();
  void watchForSilence();
  void close();

  // Constant after construction
  const HTTPDocumentRoot documentRoot_;

  boost::asio::ip::tcp::socket socket_;
  boost::asio::steady_timer silence_;
  boost::beast::flat_buffer buffer_;
  std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser_;
  // The response being sent: its head is the first piece, followed by its body unless it answers HEAD.
  HTTPResponse response_;
  std::size_t nextPiece_ = 0;
  bool keepAlive_ = false;
  const ns::ThreadChecker ioThread_;
};

}  // namespace embedded_server
