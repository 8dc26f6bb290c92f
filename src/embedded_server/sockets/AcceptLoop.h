#pragma once

// AcceptLoop: the accepting side of a long-lived server. It accepts connections on a listening acceptor one
// after the other and hands each to the server, until the acceptor is closed.
//
// When an accept fails (the process or the system is out of descriptors, the kernel out of memory), the
// connection waits in the listening queue and the acceptor stays ready, so accepting again at once would
// spin and starve every other connection of the thread. The loop instead waits kRetryDelay before it tries
// again; the connections the server has go on being served meanwhile, and waiting clients are accepted as
// soon as descriptors free up.
// Thread-safety: not thread-safe; runs on the thread of the acceptor's io_context.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <functional>

namespace embedded_server {

class AcceptLoop {
 public:
  using ConnectionHandler = std::function<void(boost::asio::ip::tcp::socket)>;

  static constexpr std::chrono::milliseconds kRetryDelay{100};

  // A loop that will hand every connection accepted on `acceptor` to `onConnection`.
  // REQUIRES: `acceptor` outlives the loop.
  AcceptLoop(boost::asio::ip::tcp::acceptor& acceptor, ConnectionHandler onConnection);
  AcceptLoop(const AcceptLoop&) = delete;
  AcceptLoop& operator=(const AcceptLoop&) = delete;

  // Starts accepting. It also sets SIGPIPE to be ignored in the process, so that a client that hangs up
  // while the server sends to it ends that connection only (see ns::ignoreBrokenPipeSignal()).
  // REQUIRES: `acceptor` is listening; called once, before its io_context runs or on its thread.
  void start();

 private:
  void acceptNext();
  void onAccepted(const boost::system::error_code& error, boost::asio::ip::tcp::socket socket);

  boost::asio::ip::tcp::acceptor& acceptor_;
  const ConnectionHandler onConnection_;
  boost::asio::steady_timer retry_;
  bool started_ = false;
};

}  // namespace embedded_server
