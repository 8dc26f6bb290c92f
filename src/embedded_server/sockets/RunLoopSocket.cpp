#include "embedded_server/sockets/RunLoopSocket.h"

#include <array>
#include <chrono>

#include "embedded_server/sockets/RunLoopSocketException.h"
#include "embedded_server/sockets/SocketError.h"
#include "platform/foundation/check/Check.h"
#include "platform/net/NetworkLink.h"

namespace embedded_server {

namespace asio = boost::asio;
using asio::ip::tcp;

std::shared_ptr<RunLoopSocket> RunLoopSocket::create(std::weak_ptr<RunLoopSocketDelegate> delegate) {
  return std::shared_ptr<RunLoopSocket>(new RunLoopSocket(std::move(delegate)));
}

RunLoopSocket::RunLoopSocket(std::weak_ptr<RunLoopSocketDelegate> delegate)
    : loop_(ns::RunLoop::current()), delegate_(std::move(delegate)) {}

RunLoopSocket::~RunLoopSocket() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  close();
}

ns::Status RunLoopSocket::connectToHost(const std::string& host, std::uint16_t port) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (delegate_.expired()) {
    throw RunLoopSocketException(kNoDelegateReason);
  }
  if (state_ != State::kClosed) {
    throw RunLoopSocketException(kAlreadyConnectedReason);
  }
  auto io = std::make_unique<asio::io_context>();
  // Decided on the host as given, before any lookup: with no network, not even a name query goes out.
  const bool linkCarries = ns::NetworkLink::allowsConnection(host, port);
  // An empty host would make the lookup answer with this machine's own address.
  boost::system::error_code error = host.empty() ? asio::error::host_not_found : boost::system::error_code();
  tcp::resolver::results_type endpoints;
  if (!error && linkCarries) {
    endpoints = tcp::resolver(*io).resolve(tcp::v4(), host, std::to_string(port), error);
    if (!error && endpoints.empty()) {
      error = asio::error::host_not_found;
    }
  }
  tcp::socket socket(*io);
  if (!error) {
    socket.open(tcp::v4(), error);
  }
  if (error) {
    return socketError(error);
  }

  io_ = std::move(io);
  socket_.emplace(std::move(socket));
  connectResult_.reset();
  host_ = host;
  port_ = port;
  state_ = State::kConnecting;
  if (linkCarries) {
    // The handler only records the outcome: the delegate must never run inside io_->poll(), since it may
    // disconnect and so destroy io_ while it is being polled.
    socket_->async_connect(endpoints.begin()->endpoint(),
                           [this](const boost::system::error_code& result) { connectResult_ = result; });
    watchDescriptor();
  } else {
    // As on a phone with no network: the attempt starts, then fails without a packet sent.
    connectResult_ = asio::error::network_unreachable;
  }
  watchLink();
  // A connect that completes at once leaves the descriptor's state unchanged, so look at the outcome once
  // more on the next turn.
  loop_.post([weak = weak_from_this()] {
    if (auto self = weak.lock(); self && self->state_ == State::kConnecting) {
      self->driveConnect();
    }
  });
  return {};
}

void RunLoopSocket::writeData(ns::Data data, double timeoutSeconds, long tag) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (data.empty() || state_ == State::kClosed) {
    return;
  }
  writes_.push_back(PendingWrite{std::move(data), 0, tag, makeTimeout(timeoutSeconds)});
  watchDescriptor();
}

void RunLoopSocket::readData(double timeoutSeconds, long tag) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (state_ == State::kClosed) {
    return;
  }
  reads_.push_back(PendingRead{tag, makeTimeout(timeoutSeconds)});
  if (!received_.empty()) {
    // Bytes are waiting already; hand them over on the next turn, never inside this call.
    loop_.post([weak = weak_from_this()] {
      if (auto self = weak.lock()) {
        self->deliverReads();
      }
    });
  }
}

void RunLoopSocket::disconnect() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (state_ == State::kClosed) {
    return;
  }
  const auto self = shared_from_this();
  close();
  if (auto delegate = delegate_.lock()) {
    delegate->onSocketDidDisconnect(*this);
  }
}

std::shared_ptr<ns::Timer> RunLoopSocket::makeTimeout(double timeoutSeconds) {
  if (timeoutSeconds < 0) {
    return nullptr;
  }
  const auto interval =
      std::chrono::duration_cast<ns::Duration>(std::chrono::duration<double>(timeoutSeconds));
  return ns::Timer::scheduled(loop_, interval, ns::Timer::Repeats::kNo,
                              [weak = weak_from_this()](ns::Timer&) {
                                if (auto self = weak.lock()) {
                                  self->disconnect();
                                }
                              });
}

void RunLoopSocket::onDescriptorReady(ns::IoEvents ready) {
  const auto self = shared_from_this();
  if (state_ == State::kConnecting) {
    driveConnect();
    return;
  }
  if (ns::hasEvent(ready, ns::IoEvents::kRead)) {
    receiveAvailableBytes();
  }
  if (state_ == State::kConnected && ns::hasEvent(ready, ns::IoEvents::kWrite)) {
    sendQueuedBytes();
  }
}

void RunLoopSocket::driveConnect() {
  io_->restart();
  io_->poll();
  if (connectResult_) {
    finishConnect(*connectResult_);
  }
}

void RunLoopSocket::finishConnect(const boost::system::error_code& error) {
  boost::system::error_code ignored;
  if (!error) {
    socket_->non_blocking(true, ignored);
  }
  if (error || ignored) {
    disconnect();
    return;
  }
  state_ = State::kConnected;
  watchDescriptor();
  const std::string host = socket_->remote_endpoint(ignored).address().to_string();
  if (auto delegate = delegate_.lock()) {
    delegate->onSocketDidConnectToHost(*this, host, port_);
  }
}

void RunLoopSocket::receiveAvailableBytes() {
  std::array<std::uint8_t, 16 * 1024> buffer;
  boost::system::error_code error;
  while (!error) {
    const std::size_t count = socket_->read_some(asio::buffer(buffer), error);
    received_.insert(received_.end(), buffer.begin(), buffer.begin() + count);
  }
  deliverReads();
  // The peer's close, or any failure, ends the connection once the bytes before it have been handed over.
  if (error != asio::error::would_block && state_ == State::kConnected) {
    disconnect();
  }
}

void RunLoopSocket::deliverReads() {
  const auto self = shared_from_this();
  while (state_ == State::kConnected && !reads_.empty() && !received_.empty()) {
    PendingRead read = std::move(reads_.front());
    reads_.pop_front();
    if (read.timeout) {
      read.timeout->invalidate();
    }
    const ns::Data data = std::move(received_);
    received_.clear();
    if (auto delegate = delegate_.lock()) {
      delegate->onSocketDidReadData(*this, data, read.tag);
    }
  }
}

void RunLoopSocket::sendQueuedBytes() {
  while (state_ == State::kConnected && !writes_.empty()) {
    PendingWrite& write = writes_.front();
    boost::system::error_code error;
    write.sent += socket_->write_some(
        asio::buffer(write.bytes.data() + write.sent, write.bytes.size() - write.sent), error);
    if (error == asio::error::would_block) {
      break;
    }
    if (error) {
      disconnect();
      return;
    }
    if (write.sent < write.bytes.size()) {
      continue;
    }
    const long tag = write.tag;
    if (write.timeout) {
      write.timeout->invalidate();
    }
    writes_.pop_front();
    if (auto delegate = delegate_.lock()) {
      delegate->onSocketDidWriteDataWithTag(*this, tag);
    }
  }
  watchDescriptor();
}

void RunLoopSocket::watchDescriptor() {
  if (state_ == State::kClosed) {
    return;
  }
  // While connecting, writability reports the outcome. Once connected, reading is always watched, so that
  // the end of the connection is noticed with no read queued.
  ns::IoEvents events = ns::IoEvents::kWrite;
  if (state_ == State::kConnected) {
    events = writes_.empty() ? ns::IoEvents::kRead : ns::IoEvents::kRead | ns::IoEvents::kWrite;
  }
  if (source_) {
    source_->setEvents(events);
    return;
  }
  source_ = loop_.addSource(socket_->native_handle(), events, [weak = weak_from_this()](ns::IoEvents ready) {
    if (auto self = weak.lock()) {
      self->onDescriptorReady(ready);
    }
  });
}

void RunLoopSocket::watchLink() {
  linkWatch_ = std::make_unique<ns::ReachabilityWatch>(loop_, [weak = weak_from_this(), this] {
    // Looked at on a turn of its own: the watch may call from inside its own source, which closing destroys.
    loop_.post([weak] {
      auto self = weak.lock();
      if (self && self->state_ != State::kClosed &&
          !ns::NetworkLink::allowsConnection(self->host_, self->port_)) {
        self->disconnect();
      }
    });
  });
}

void RunLoopSocket::close() {
  for (const auto& write : writes_) {
    if (write.timeout) {
      write.timeout->invalidate();
    }
  }
  for (const auto& read : reads_) {
    if (read.timeout) {
      read.timeout->invalidate();
    }
  }
  writes_.clear();
  reads_.clear();
  received_.clear();
  linkWatch_.reset();
  source_.reset();  // before the descriptor closes, so the loop never watches a reused number
  socket_.reset();
  io_.reset();
  state_ = State::kClosed;
}

}  // namespace embedded_server
