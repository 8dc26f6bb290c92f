#include "sample_backend/media/MediaReplyWriter.h"

#include <algorithm>
#include <boost/asio/write.hpp>
#include <boost/beast/http.hpp>
#include <memory>
#include <sstream>

namespace sample_backend::media {
namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;

// One reply on its way out: the header, then the body piece by piece. Keeps itself alive through the
// handlers it queues.
class ReplyWrite : public std::enable_shared_from_this<ReplyWrite> {
 public:
  ReplyWrite(asio::ip::tcp::socket& socket, asio::steady_timer& timer, MediaReply reply,
             unsigned minorVersion, bool keepAlive, std::function<void(bool)> done)
      : socket_(socket),
        timer_(timer),
        reply_(std::move(reply)),
        keepAlive_(keepAlive && reply_.ending == MediaReply::Ending::kComplete),
        done_(std::move(done)) {
    bodyEnd_ = reply_.ending == MediaReply::Ending::kComplete
                   ? reply_.body.size()
                   : std::min(reply_.endAfterBytes, reply_.body.size());
    head_ = headerText(minorVersion);
  }

  void start() {
    // A reply's last piece must not wait for the client to acknowledge the ones before it.
    boost::system::error_code ignored;
    socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
    asio::async_write(socket_, asio::buffer(head_),
                      [self = shared_from_this()](boost::system::error_code error, std::size_t) {
                        error ? self->finish(false) : self->writePiece();
                      });
  }

 private:
  std::string headerText(unsigned minorVersion) const {
    http::response<http::empty_body> header(static_cast<http::status>(reply_.status), 10 + minorVersion);
    if (!reply_.contentType.empty()) {
      header.set(http::field::content_type, reply_.contentType);
    }
    header.set(http::field::content_length, std::to_string(reply_.body.size()));
    header.set(http::field::connection, keepAlive_ ? "keep-alive" : "close");
    std::ostringstream text;
    text << header.base();
    return text.str();
  }

  void writePiece() {
    if (sent_ == bodyEnd_) {
      end();
      return;
    }
    const std::size_t length =
        reply_.pieceSize == 0 ? bodyEnd_ - sent_ : std::min(reply_.pieceSize, bodyEnd_ - sent_);
    asio::async_write(socket_, asio::buffer(reply_.body.data() + sent_, length),
                      [self = shared_from_this(), length](boost::system::error_code error, std::size_t) {
                        if (error) {
                          self->finish(false);
                          return;
                        }
                        self->sent_ += length;
                        self->pauseThenWritePiece();
                      });
  }

  void pauseThenWritePiece() {
    if (sent_ == bodyEnd_ || reply_.pauseBetweenPieces.count() == 0) {
      writePiece();
      return;
    }
    timer_.expires_after(reply_.pauseBetweenPieces);
    timer_.async_wait([self = shared_from_this()](boost::system::error_code error) {
      error ? self->finish(false) : self->writePiece();
    });
  }

  void end() {
    boost::system::error_code ignored;
    switch (reply_.ending) {
      case MediaReply::Ending::kComplete:
        finish(keepAlive_);
        return;
      case MediaReply::Ending::kCloseAfter:
        socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
        break;
      case MediaReply::Ending::kResetAfter:
        // A zero linger time makes the close send a reset instead of the orderly end of the stream.
        socket_.set_option(asio::socket_base::linger(true, 0), ignored);
        break;
    }
    socket_.close(ignored);
    finish(false);
  }

  void finish(bool keepOpen) { done_(keepOpen); }

  asio::ip::tcp::socket& socket_;
  asio::steady_timer& timer_;
  const MediaReply reply_;
  const bool keepAlive_;
  std::function<void(bool)> done_;
  std::string head_;
  std::size_t bodyEnd_ = 0;
  std::size_t sent_ = 0;
};

}  // namespace

void writeMediaReply(asio::ip::tcp::socket& socket, asio::steady_timer& timer, MediaReply reply,
                     unsigned minorVersion, bool keepAlive, std::function<void(bool keepOpen)> done) {
  std::make_shared<ReplyWrite>(socket, timer, std::move(reply), minorVersion, keepAlive, std::move(done))
      ->start();
}

}  // namespace sample_backend::media
