#pragma once

// RunLoopSocketDelegate: what a RunLoopSocket reports, on its run loop's thread. Every callback is optional.
// For one connection the order is: onSocketDidConnectToHost, then each write's onSocketDidWriteDataWithTag
// and each read's onSocketDidReadData in the order they were queued, then onSocketDidDisconnect, last.
// The socket stays alive for the whole of a callback, even when the delegate drops its last reference to
// it inside.

#include <cstdint>
#include <string>

#include "platform/foundation/values/Data.h"

namespace embedded_server {

class RunLoopSocket;

class RunLoopSocketDelegate {
 public:
  virtual ~RunLoopSocketDelegate() = default;

  // The connection is up; `host` is the address connected to, as text.
  virtual void onSocketDidConnectToHost(RunLoopSocket& /*socket*/, const std::string& /*host*/,
                                        std::uint16_t /*port*/) {}
  // A queued read received `data`, the bytes that came in since the previous read.
  virtual void onSocketDidReadData(RunLoopSocket& /*socket*/, const ns::Data& /*data*/, long /*tag*/) {}
  // Every byte of the write queued with `tag` has been sent.
  virtual void onSocketDidWriteDataWithTag(RunLoopSocket& /*socket*/, long /*tag*/) {}
  // The connection is closed: by disconnect(), by the peer, by a failure to connect or by a time-out.
  virtual void onSocketDidDisconnect(RunLoopSocket& /*socket*/) {}
};

}  // namespace embedded_server
