#include "embedded_server/sockets/AcceptLoop.h"

#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/BrokenPipeSignal.h"

namespace embedded_server {

namespace asio = boost::asio;
using asio::ip::tcp;

AcceptLoop::AcceptLoop(tcp::acceptor& acceptor, ConnectionHandler onConnection)
    : acceptor_(acceptor), onConnection_(std::move(onConnection)), retry_(acceptor.get_executor()) {}

void AcceptLoop::start() {
  QM_DCHECK(!std::exchange(started_, true), "called once");
  ns::ignoreBrokenPipeSignal();
  acceptNext();
}

void AcceptLoop::acceptNext() {
  acceptor_.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
    onAccepted(error, std::move(socket));
  });
}

void AcceptLoop::onAccepted(const boost::system::error_code& error, tcp::socket socket) {
  if (error == asio::error::operation_aborted || !acceptor_.is_open()) {
    return;
  }
  if (error) {
    retry_.expires_after(kRetryDelay);
    retry_.async_wait([this](const boost::system::error_code& waited) {
      if (!waited) {
        acceptNext();
      }
    });
    return;
  }
  onConnection_(std::move(socket));
  acceptNext();
}

}  // namespace embedded_server
