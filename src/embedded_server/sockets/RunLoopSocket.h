#pragma once

// RunLoopSocket: a TCP client socket that works on the run loop of the thread that created it and calls its
// delegate there. Writes and reads are queued with tags and complete in the order they were queued; a read
// takes whatever bytes arrive next (no length, no terminator). It is the connection under the
// play-statistics client.
//
// Bytes that arrive while no read is queued wait for the next read; the end of the connection is noticed
// even then. disconnect() closes at once and, when a connection had been started, calls
// onSocketDidDisconnect before it returns. Destroying the socket closes it without any callback.
//
// The network link (ns::NetworkLink) decides, by the host as given, whether the connection may go out: an
// attempt it refuses starts and then fails on a later turn, without a name looked up or a packet sent, and a
// connection it stops carrying is closed (onSocketDidDisconnect), as a phone's are when it loses its
// network.
// Thread-safety: not thread-safe; every call on the thread that created the socket.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "embedded_server/sockets/RunLoopSocketDelegate.h"
#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/Timer.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/ReachabilityWatch.h"

namespace embedded_server {

class RunLoopSocket : public std::enable_shared_from_this<RunLoopSocket> {
 public:
  // Reasons of the RunLoopSocketException that connectToHost() throws.
  static constexpr const char* kNoDelegateReason =
      "Attempting to connect without a delegate. Set a delegate first.";
  static constexpr const char* kAlreadyConnectedReason =
      "Attempting to connect while connected or accepting connections. Disconnect first.";

  // Returns a disconnected socket bound to the calling thread's run loop. `delegate` is held weakly.
  static std::shared_ptr<RunLoopSocket> create(std::weak_ptr<RunLoopSocketDelegate> delegate);
  ~RunLoopSocket();
  RunLoopSocket(const RunLoopSocket&) = delete;
  RunLoopSocket& operator=(const RunLoopSocket&) = delete;

  // Starts connecting to `host` (a name, looked up before the call returns, or a dotted IPv4 address) on
  // `port`, with no time-out. Returns success when the attempt has started: onSocketDidConnectToHost
  // follows, or the socket closes (onSocketDidDisconnect) when the attempt fails. Returns the error when the
  // attempt cannot start (an unknown host, no socket to be had).
  // Throws RunLoopSocketException (kNoDelegateReason) when the delegate is gone, and
  // (kAlreadyConnectedReason) while a connection is started or up.
  ns::Status connectToHost(const std::string& host, std::uint16_t port);

  // Queues `data` behind earlier writes; onSocketDidWriteDataWithTag(tag) follows once all of it is sent. A
  // `timeoutSeconds` of 0 or more, counted from this call, closes the socket when the write is not done by
  // then; a negative one means none. Empty data, and a socket with no connection started, are ignored.
  void writeData(ns::Data data, double timeoutSeconds, long tag);

  // Queues a read of the next bytes that arrive; onSocketDidReadData(data, tag) follows. A time-out works as
  // for writeData(). Ignored on a socket with no connection started.
  void readData(double timeoutSeconds, long tag);

  // Closes at once: queued reads and writes are dropped, and, when a connection had been started, the
  // delegate gets onSocketDidDisconnect before this returns. Does nothing on a closed socket.
  void disconnect();

 private:
  enum class State { kClosed, kConnecting, kConnected };

  struct PendingWrite {
    ns::Data bytes;
    std::size_t sent = 0;
    long tag = 0;
    std::shared_ptr<ns::Timer> timeout;
  };
  struct PendingRead {
    long tag = 0;
    std::shared_ptr<ns::Timer> timeout;
  };

  explicit RunLoopSocket(std::weak_ptr<RunLoopSocketDelegate> delegate);

  std::shared_ptr<ns::Timer> makeTimeout(double timeoutSeconds);
  void onDescriptorReady(ns::IoEvents ready);
  void driveConnect();
  void finishConnect(const boost::system::error_code& error);
  void receiveAvailableBytes();
  void deliverReads();
  void sendQueuedBytes();
  void watchDescriptor();
  // Closes the connection once the network link no longer carries it.
  void watchLink();
  void close();

  // Constant after construction
  ns::RunLoop& loop_;
  const std::weak_ptr<RunLoopSocketDelegate> delegate_;
  const ns::ThreadChecker ownerThread_;

  State state_ = State::kClosed;
  // One context per connection attempt: it only carries the non-blocking connect. Destroying it drops the
  // attempt's handler without running it.
  std::unique_ptr<boost::asio::io_context> io_;
  std::optional<boost::asio::ip::tcp::socket> socket_;
  std::optional<boost::system::error_code> connectResult_;
  std::unique_ptr<ns::FileDescriptorSource> source_;
  std::unique_ptr<ns::ReachabilityWatch> linkWatch_;  // while a connection is started or up
  std::string host_;                                  // as connectToHost() was given it
  std::uint16_t port_ = 0;
  std::deque<PendingWrite> writes_;
  std::deque<PendingRead> reads_;
  ns::Data received_;
};

}  // namespace embedded_server
