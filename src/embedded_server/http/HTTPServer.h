#pragma once

// HTTPServer: the web server that serves a downloaded lesson folder to the player over the loopback
// interface. It listens on 127.0.0.1 only, whatever it is asked, so that paid segments and their key never
// reach the local network; a service type may be set and is reported back, but nothing is ever published.
//
// It is one of the device's own servers: its port is held with the network link (ns::NetworkLink), so that
// the player reaches it with no network too.
//
// Control calls run on the server's serial queue "HTTPServer"; connections run on its queue
// "HTTPConnection", never on the main loop. Releasing the server stops it: the listening socket and every
// connection are closed before the destructor returns. A client that hangs up ends its own connection only;
// when the process runs out of descriptors the server pauses accepting (AcceptLoop) and goes on serving the
// connections it has.
// Thread-safety: every method may be called from any thread.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "embedded_server/sockets/AcceptLoop.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/NetworkLink.h"

namespace embedded_server {

class HTTPServer {
 public:
  // A server that is not running, with port 0 (the system picks a free port at start), no type and no
  // document root.
  HTTPServer();
  // Stops the server.
  ~HTTPServer();
  HTTPServer(const HTTPServer&) = delete;
  HTTPServer& operator=(const HTTPServer&) = delete;

  // Stores the service type (for example "_http._tcp."), later, on the server's queue.
  void setType(std::string type);
  // Stores the absolute path of the folder to serve, on the server's queue, and returns once it is stored:
  // every connection accepted after the call takes it. A connection takes the document root when it is
  // accepted, so a new root applies to later connections only.
  // REQUIRES: not called on the server's own queue.
  void setDocumentRoot(std::string path);

  // Starts accepting connections on 127.0.0.1. On success the server is running and logs
  // "<server>: Started HTTP server on port <port>". On failure (also when it is already running) returns the
  // error, logs "<server>: Failed to start HTTP Server: <error>" and stays as it was.
  ns::Status start();

  // True between a successful start() and the release of the server.
  bool isRunning() const;
  // The port the running server listens on; 0 while it is not running.
  std::uint16_t listeningPort() const;

  // The service type last stored; it is only reported, never published.
  std::string type() const;

 private:
  ns::Status startOnQueue();
  void serve(boost::asio::ip::tcp::socket socket);
  std::string documentRoot() const;
  std::string description() const;

  // Constant after construction
  const std::shared_ptr<ns::DispatchQueue> serverQueue_;
  const std::shared_ptr<ns::DispatchQueue> connectionQueue_;

  // Used by connectionQueue_'s thread while running; by serverQueue_ otherwise.
  boost::asio::io_context io_;
  boost::asio::ip::tcp::acceptor acceptor_;
  AcceptLoop acceptLoop_;

  // Touched only on serverQueue_
  std::string type_;
  bool running_ = false;
  std::uint16_t listeningPort_ = 0;
  std::optional<ns::NetworkLink::OwnServerPort> ownPort_;  // held while running

  mutable ns::Mutex mutex_;
  std::string documentRoot_ QM_GUARDED_BY(mutex_);
};

}  // namespace embedded_server
