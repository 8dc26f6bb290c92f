#pragma once

// ns::CurlMultiEngine: the transfer engine of one thread's run loop. It owns one libcurl multi handle and
// drives it with the loop: each socket libcurl wants watched becomes a descriptor source, and libcurl's
// timer is a timerfd source (real time, whatever clock the loop reads, so a test's manual clock never stalls
// name resolution or connecting). Every URLConnection started on the thread shares it, and with it the
// pool of open connections.
//
// libcurl forbids changing the multi handle from inside its own callbacks, so a transfer removed while the
// engine is inside libcurl is taken out just after the call returns. A transfer that libcurl refuses to take,
// or that it can no longer drive, ends with a failure on a later turn rather than hang. A return code that
// can only mean a broken engine (an option it does not know, a timer it cannot set) stops the process with
// a message naming the call. When the network link changes (NetworkLink.h), the transfers it no longer
// carries, running or waiting, end with kURLErrorNetworkConnectionLost.
// Thread-safety: used only on its loop's thread.

#include <curl/curl.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/CurlHandles.h"
#include "platform/net/OwnedDescriptor.h"
#include "platform/net/ReachabilityWatch.h"

namespace ns {

class ConnectionTransfer;

class CurlMultiEngine {
 public:
  // Returns the calling thread's engine, made on first use over RunLoop::current(); it lives until the
  // thread ends. Returns nullptr when it cannot be made (libcurl or the system is out of resources); a
  // later call tries again.
  static CurlMultiEngine* forCurrentThread();

  ~CurlMultiEngine();
  CurlMultiEngine(const CurlMultiEngine&) = delete;
  CurlMultiEngine& operator=(const CurlMultiEngine&) = delete;

  RunLoop& loop() const { return loop_; }

  // Lends an easy handle for a transfer to configure, one that an earlier transfer gave back when there is
  // one (libcurl keeps its buffers); nullptr when libcurl has none to give. It comes back with
  // ConnectionTransfer::handleReturned() once the transfer is removed or done.
  CurlEasyHandle borrowHandle();
  // Starts `transfer`, whose easy handle is configured, or, when its server (scheme, host and port) already
  // runs URLConnection::kMaximumLoadsPerServer transfers, queues it behind them: a burst of requests then
  // reuses a few kept-alive connections instead of opening one each. Holds it until it is removed or done.
  // REQUIRES: not inside a libcurl callback.
  void add(std::shared_ptr<ConnectionTransfer> transfer);
  // Stops `transfer` (running or waiting) and lets it go; does nothing when it is not added.
  void remove(const ConnectionTransfer& transfer);
  // Runs `action`, a libcurl call that may call transfer callbacks, then hands every transfer that ended
  // to ConnectionTransfer::onTransferDone() and completes the removals asked for meanwhile.
  void drive(const std::function<void()>& action);

 private:
  struct Running {
    std::shared_ptr<ConnectionTransfer> transfer;
    std::string server;
  };
  // The transfers of one server: how many run, and those waiting for their turn.
  struct ServerTransfers {
    std::size_t running = 0;
    std::deque<std::shared_ptr<ConnectionTransfer>> waiting;
  };

  CurlMultiEngine(RunLoop& loop, CurlMultiHandle multi, OwnedDescriptor timer);
  // Returns an engine over `loop`, or nullptr when libcurl or the timer cannot be had.
  static std::unique_ptr<CurlMultiEngine> make(RunLoop& loop);

  static int onSocket(CURL* easy, curl_socket_t socket, int what, void* engine, void* socketData);
  static int onTimer(CURLM* multi, long timeoutMilliseconds, void* engine);
  enum class TimerPrecision { kAtOnceWhenDue, kThroughTheLoop };
  void watchSocket(curl_socket_t socket, int what);
  void armTimer(long timeoutMilliseconds, TimerPrecision precision);
  void onTimerFired();
  // Runs libcurl's socket action for `socket` (or its timeouts); when libcurl can no longer drive its
  // transfers, they all end with a failure.
  void socketAction(curl_socket_t socket, int flags);
  void startNow(std::shared_ptr<ConnectionTransfer> transfer, std::string server);
  // Takes the transfer out of libcurl, gives its handle back, and starts the next transfer waiting for
  // its server.
  void removeNow(CURL* easy);
  // Ends `easy`'s transfer with `result` in the next settle().
  void failLater(CURL* easy, CURLcode result);
  // Ends the transfers, running or waiting, that the network link no longer carries.
  void endTransfersTheLinkRefuses();
  // Takes `transfer` out of its server's queue if it waits there, and gives its handle back.
  void dropWaiting(const ConnectionTransfer& transfer);
  // True while libcurl may be on the stack, calling the engine or a transfer back: the multi handle is then
  // left alone.
  bool insideLibcurl() const { return depth_ > 0; }
  void giveBack(ConnectionTransfer& transfer);
  // Completes removals, hands ended transfers over, and runs libcurl's timeouts that are due at once, until
  // none is left.
  void settle();
  CURLMsg* nextDoneMessage();

  // Timeouts due at once that settle() runs in a row before it lets the loop turn.
  static constexpr int kMaximumImmediateTimeouts = 8;
  // Handles kept for later transfers; beyond that, given-back handles are freed.
  static constexpr std::size_t kMaximumSpareHandles = 16;

  // Constant after construction
  RunLoop& loop_;
  const ThreadChecker ownerThread_;  // the loop's thread, on which the engine is made
  CurlMultiHandle multi_;            // freed first in the destructor
  const OwnedDescriptor timer_;
  std::unique_ptr<FileDescriptorSource> timerSource_;
  std::unique_ptr<ReachabilityWatch> linkWatch_;

  std::unordered_map<curl_socket_t, std::unique_ptr<FileDescriptorSource>> sockets_;
  std::unordered_map<CURL*, Running> transfers_;
  std::unordered_map<std::string, ServerTransfers> servers_;
  std::vector<CurlEasyHandle> spareHandles_;
  std::vector<CURL*> pendingRemovals_;
  // Transfers that libcurl refused or gave up, with the result they end with.
  std::vector<std::pair<CURL*, CURLcode>> pendingFailures_;
  int depth_ = 0;  // nesting of drive() calls: libcurl may be on the stack while above zero
  bool settling_ = false;
  bool timeoutDueNow_ = false;
};

}  // namespace ns
