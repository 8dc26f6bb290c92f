#include "sample_backend/LoopbackListening.h"

namespace sample_backend {

boost::system::error_code listenOnLoopback(boost::asio::ip::tcp::acceptor& acceptor, std::uint16_t port) {
  namespace asio = boost::asio;
  const asio::ip::tcp::endpoint endpoint(asio::ip::address_v4::loopback(), port);
  boost::system::error_code error;
  acceptor.open(endpoint.protocol(), error);
  if (!error) {
    acceptor.set_option(asio::socket_base::reuse_address(true), error);
  }
  if (!error) {
    acceptor.bind(endpoint, error);
  }
  if (!error) {
    acceptor.listen(asio::socket_base::max_listen_connections, error);
  }
  return error;
}

}  // namespace sample_backend
