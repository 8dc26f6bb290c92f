#include "platform/net/CurlMultiEngine.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/BrokenPipeSignal.h"
#include "platform/net/ConnectionTransfer.h"
#include "platform/net/NetworkLink.h"
#include "platform/net/URLConnection.h"

namespace ns {

namespace {

// A failure that only a broken engine can meet: an option or a call that this libcurl must accept, or a
// timer the system must set. Going on would leave transfers that never end.
[[noreturn]] void stopBrokenEngine(const char* call, const char* reason) {
  std::fprintf(stderr, "CurlMultiEngine: %s failed: %s\n", call, reason);
  std::abort();
}

void requireMultiOK(CURLMcode result, const char* call) {
  if (result != CURLM_OK) {
    stopBrokenEngine(call, curl_multi_strerror(result));
  }
}

CURLcode initializeCurlOnce() {
  static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
  return result;
}

// The engine and the TLS library are set up while the program loads, on the main thread, as the engine
// asks. Their clean-up at exit then runs after every loop thread made later has ended, so the state those
// threads hold is released with them.
const bool curlInitializedAtLoad = (initializeCurlOnce(), true);

// The result a transfer ends with when the multi handle fails it, so that it ends as any other does.
CURLcode transferResultFor(CURLMcode failure) {
  return failure == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_FAILED_INIT;
}

// The server a request goes to, by which transfers take turns.
std::string serverOf(const URLRequest& request) {
  const URL& url = *request.url();
  return url.scheme().value_or("") + "://" + url.host().value_or("") + ":" +
         (url.port() ? std::to_string(*url.port()) : std::string());
}

IoEvents ioEventsFor(int what) {
  IoEvents events = IoEvents::kNone;
  if (what == CURL_POLL_IN || what == CURL_POLL_INOUT) {
    events = events | IoEvents::kRead;
  }
  if (what == CURL_POLL_OUT || what == CURL_POLL_INOUT) {
    events = events | IoEvents::kWrite;
  }
  return events;
}

}  // namespace

CurlMultiEngine* CurlMultiEngine::forCurrentThread() {
  thread_local std::unique_ptr<CurlMultiEngine> engine;
  if (!engine) {
    engine = make(RunLoop::current());
  }
  return engine.get();
}

std::unique_ptr<CurlMultiEngine> CurlMultiEngine::make(RunLoop& loop) {
  if (initializeCurlOnce() != CURLE_OK) {
    return nullptr;
  }
  // Transfers run with CURLOPT_NOSIGNAL, as loops on threads other than the main one require. libcurl then
  // never touches SIGPIPE and leaves it to the program, whose default would end the process on a write to a
  // server that has hung up.
  ignoreBrokenPipeSignal();
  CurlMultiHandle multi(curl_multi_init());
  OwnedDescriptor timer(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
  if (!multi || !timer.isValid()) {
    return nullptr;
  }
  return std::unique_ptr<CurlMultiEngine>(new CurlMultiEngine(loop, std::move(multi), std::move(timer)));
}

CurlMultiEngine::CurlMultiEngine(RunLoop& loop, CurlMultiHandle multi, OwnedDescriptor timer)
    : loop_(loop), multi_(std::move(multi)), timer_(std::move(timer)) {
  requireMultiOK(curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETFUNCTION, &CurlMultiEngine::onSocket),
                 "curl_multi_setopt(CURLMOPT_SOCKETFUNCTION)");
  requireMultiOK(curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETDATA, this),
                 "curl_multi_setopt(CURLMOPT_SOCKETDATA)");
  requireMultiOK(curl_multi_setopt(multi_.get(), CURLMOPT_TIMERFUNCTION, &CurlMultiEngine::onTimer),
                 "curl_multi_setopt(CURLMOPT_TIMERFUNCTION)");
  requireMultiOK(curl_multi_setopt(multi_.get(), CURLMOPT_TIMERDATA, this),
                 "curl_multi_setopt(CURLMOPT_TIMERDATA)");
  timerSource_ = loop_.addSource(timer_.get(), IoEvents::kRead, [this](IoEvents) { onTimerFired(); });
  linkWatch_ = std::make_unique<ReachabilityWatch>(loop_, [this] { endTransfersTheLinkRefuses(); });
}

CurlMultiEngine::~CurlMultiEngine() {
  linkWatch_.reset();
  // The thread is ending: transfers still running or waiting stop without telling their delegates.
  const auto running = std::move(transfers_);
  transfers_.clear();
  const auto servers = std::move(servers_);
  servers_.clear();
  for (const auto& [easy, entry] : running) {
    requireMultiOK(curl_multi_remove_handle(multi_.get(), easy), "curl_multi_remove_handle");
    giveBack(*entry.transfer);
    entry.transfer->cancel();
  }
  for (const auto& [server, transfers] : servers) {
    for (const std::shared_ptr<ConnectionTransfer>& transfer : transfers.waiting) {
      giveBack(*transfer);
      transfer->cancel();
    }
  }
  // Freed here rather than as members, since closing its connections calls onSocket, which needs the
  // socket table; the easy handles go after it, out of it by now.
  multi_.reset();
  spareHandles_.clear();
  sockets_.clear();
}

CurlEasyHandle CurlMultiEngine::borrowHandle() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (spareHandles_.empty()) {
    return CurlEasyHandle(curl_easy_init());
  }
  CurlEasyHandle easy = std::move(spareHandles_.back());
  spareHandles_.pop_back();
  return easy;
}

void CurlMultiEngine::add(std::shared_ptr<ConnectionTransfer> transfer) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  QM_DCHECK(!insideLibcurl(), "not inside a libcurl callback");
  std::string server = serverOf(transfer->currentRequest());
  ServerTransfers& transfers = servers_[server];
  if (transfers.running >= URLConnection::kMaximumLoadsPerServer) {
    transfer->setWaitingForTurn(true);
    transfers.waiting.push_back(std::move(transfer));
    return;
  }
  startNow(std::move(transfer), std::move(server));
  if (depth_ == 0 && !settling_) {
    settle();
  }
}

void CurlMultiEngine::startNow(std::shared_ptr<ConnectionTransfer> transfer, std::string server) {
  QM_DCHECK(!insideLibcurl(), "not inside a libcurl callback");
  ++servers_[server].running;
  CURL* easy = transfer->easyHandle();
  transfers_.emplace(easy, Running{std::move(transfer), std::move(server)});
  if (const CURLMcode added = curl_multi_add_handle(multi_.get(), easy); added != CURLM_OK) {
    failLater(easy, transferResultFor(added));
  }
}

void CurlMultiEngine::remove(const ConnectionTransfer& transfer) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  CURL* easy = transfer.easyHandle();
  if (easy == nullptr) {
    return;  // neither running nor waiting: both hold a handle
  }
  if (!transfers_.contains(easy)) {
    dropWaiting(transfer);
    return;
  }
  if (depth_ > 0) {
    pendingRemovals_.push_back(easy);
    return;
  }
  removeNow(easy);
  if ((timeoutDueNow_ || !pendingFailures_.empty()) && !settling_) {
    // A waiting transfer has just started (or failed to); libcurl runs it on the loop's next turn, so that
    // its callbacks never come from inside this removal.
    timeoutDueNow_ = false;
    armTimer(0, TimerPrecision::kThroughTheLoop);
  }
}

void CurlMultiEngine::failLater(CURL* easy, CURLcode result) {
  pendingFailures_.emplace_back(easy, result);
  if (depth_ == 0 && !settling_) {
    armTimer(0, TimerPrecision::kThroughTheLoop);
  }
}

void CurlMultiEngine::endTransfersTheLinkRefuses() {
  std::vector<std::shared_ptr<ConnectionTransfer>> refused;
  auto noteIfRefused = [&](const std::shared_ptr<ConnectionTransfer>& transfer) {
    if (!NetworkLink::allowsLoad(*transfer->currentRequest().url())) {
      refused.push_back(transfer);
    }
  };
  for (const auto& [easy, entry] : transfers_) {
    noteIfRefused(entry.transfer);
  }
  for (const auto& [server, transfers] : servers_) {
    std::for_each(transfers.waiting.begin(), transfers.waiting.end(), noteIfRefused);
  }
  // Each ending takes its transfer out of the tables above, so they are read in full first.
  for (const std::shared_ptr<ConnectionTransfer>& transfer : refused) {
    transfer->loseConnection();
  }
}

void CurlMultiEngine::dropWaiting(const ConnectionTransfer& transfer) {
  const auto server = servers_.find(serverOf(transfer.currentRequest()));
  if (server == servers_.end()) {
    return;
  }
  auto& waiting = server->second.waiting;
  const auto found = std::find_if(waiting.begin(), waiting.end(),
                                  [&](const auto& candidate) { return candidate.get() == &transfer; });
  if (found != waiting.end()) {
    const std::shared_ptr<ConnectionTransfer> keepAlive = *found;
    waiting.erase(found);
    giveBack(*keepAlive);
  }
}

void CurlMultiEngine::removeNow(CURL* easy) {
  QM_DCHECK(!insideLibcurl(), "not inside a libcurl callback");
  const auto found = transfers_.find(easy);
  if (found == transfers_.end()) {
    return;
  }
  // The transfer must outlive the removal, during which libcurl may still call its socket callback.
  Running entry = std::move(found->second);
  requireMultiOK(curl_multi_remove_handle(multi_.get(), easy), "curl_multi_remove_handle");
  transfers_.erase(found);
  // The handle may serve another transfer next; a failure still waiting for this one must not reach it.
  std::erase_if(pendingFailures_, [easy](const auto& failure) { return failure.first == easy; });
  giveBack(*entry.transfer);

  const auto server = servers_.find(entry.server);
  --server->second.running;
  if (server->second.waiting.empty()) {
    if (server->second.running == 0) {
      servers_.erase(server);
    }
    return;
  }
  std::shared_ptr<ConnectionTransfer> next = std::move(server->second.waiting.front());
  server->second.waiting.pop_front();
  next->setWaitingForTurn(false);
  startNow(std::move(next), std::move(entry.server));
}

void CurlMultiEngine::giveBack(ConnectionTransfer& transfer) {
  // Beyond the spares kept, a handle given back is freed here.
  CurlEasyHandle easy = transfer.handleReturned();
  if (easy && spareHandles_.size() < kMaximumSpareHandles) {
    spareHandles_.push_back(std::move(easy));
  }
}

void CurlMultiEngine::drive(const std::function<void()>& action) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  ++depth_;
  action();
  --depth_;
  if (depth_ == 0 && !settling_) {
    settle();
  }
}

void CurlMultiEngine::settle() {
  settling_ = true;
  int immediateTimeouts = 0;
  for (;;) {
    std::vector<CURL*> removals;
    removals.swap(pendingRemovals_);
    for (CURL* easy : removals) {
      removeNow(easy);
    }
    std::optional<std::pair<CURL*, CURLcode>> ended;
    if (!pendingFailures_.empty()) {
      ended = pendingFailures_.front();
      pendingFailures_.erase(pendingFailures_.begin());
    } else if (CURLMsg* message = nextDoneMessage()) {
      ended.emplace(message->easy_handle, message->data.result);
    }
    if (ended) {
      const auto found = transfers_.find(ended->first);
      if (found != transfers_.end()) {
        const std::shared_ptr<ConnectionTransfer> transfer = found->second.transfer;
        removeNow(ended->first);
        transfer->onTransferDone(ended->second);
      }
      continue;
    }
    if (!timeoutDueNow_) {
      break;
    }
    timeoutDueNow_ = false;
    if (++immediateTimeouts > kMaximumImmediateTimeouts) {
      // libcurl keeps asking to run at once: let the loop turn (and its other sources run) in between.
      armTimer(0, TimerPrecision::kThroughTheLoop);
      break;
    }
    ++depth_;
    socketAction(CURL_SOCKET_TIMEOUT, 0);
    --depth_;
  }
  settling_ = false;
}

CURLMsg* CurlMultiEngine::nextDoneMessage() {
  int remaining = 0;
  CURLMsg* message = curl_multi_info_read(multi_.get(), &remaining);
  while (message != nullptr && message->msg != CURLMSG_DONE) {
    message = curl_multi_info_read(multi_.get(), &remaining);
  }
  return message;
}

int CurlMultiEngine::onSocket(CURL*, curl_socket_t socket, int what, void* engine, void*) {
  static_cast<CurlMultiEngine*>(engine)->watchSocket(socket, what);
  return 0;
}

void CurlMultiEngine::watchSocket(curl_socket_t socket, int what) {
  if (what == CURL_POLL_REMOVE) {
    sockets_.erase(socket);
    return;
  }
  const IoEvents events = ioEventsFor(what);
  const auto found = sockets_.find(socket);
  if (found != sockets_.end()) {
    found->second->setEvents(events);
    return;
  }
  sockets_.emplace(socket, loop_.addSource(socket, events, [this, socket](IoEvents ready) {
    int flags = 0;
    if (hasEvent(ready, IoEvents::kRead)) {
      flags |= CURL_CSELECT_IN;
    }
    if (hasEvent(ready, IoEvents::kWrite)) {
      flags |= CURL_CSELECT_OUT;
    }
    drive([&] { socketAction(socket, flags); });
  }));
}

void CurlMultiEngine::socketAction(curl_socket_t socket, int flags) {
  int running = 0;
  const CURLMcode result = curl_multi_socket_action(multi_.get(), socket, flags, &running);
  if (result == CURLM_OK) {
    return;
  }
  // libcurl cannot go on with its transfers: each ends with the failure rather than wait for its idle time.
  for (const auto& [easy, entry] : transfers_) {
    failLater(easy, transferResultFor(result));
  }
}

int CurlMultiEngine::onTimer(CURLM*, long timeoutMilliseconds, void* engine) {
  static_cast<CurlMultiEngine*>(engine)->armTimer(timeoutMilliseconds, TimerPrecision::kAtOnceWhenDue);
  return 0;
}

void CurlMultiEngine::armTimer(long timeoutMilliseconds, TimerPrecision precision) {
  if (timeoutMilliseconds == 0 && precision == TimerPrecision::kAtOnceWhenDue) {
    // Run as soon as the current libcurl call has returned, without a turn of the loop. A later deadline
    // still set on the timerfd only calls libcurl once more for nothing.
    timeoutDueNow_ = true;
    return;
  }
  itimerspec when{};
  if (timeoutMilliseconds >= 0) {
    // A zero it_value would disarm the timer, so "at once" becomes one nanosecond.
    const std::int64_t nanoseconds = std::max<std::int64_t>(1, std::int64_t{timeoutMilliseconds} * 1'000'000);
    when.it_value.tv_sec = static_cast<time_t>(nanoseconds / 1'000'000'000);
    when.it_value.tv_nsec = static_cast<long>(nanoseconds % 1'000'000'000);
  }
  if (timerfd_settime(timer_.get(), 0, &when, nullptr) != 0) {
    stopBrokenEngine("timerfd_settime", std::strerror(errno));
  }
}

void CurlMultiEngine::onTimerFired() {
  std::uint64_t expirations = 0;
  if (read(timer_.get(), &expirations, sizeof expirations) < 0) {
    if (errno == EAGAIN || errno == EINTR) {
      return;  // re-armed or read since the loop saw it ready: nothing is due
    }
    stopBrokenEngine("read(timerfd)", std::strerror(errno));
  }
  drive([&] { socketAction(CURL_SOCKET_TIMEOUT, 0); });
}

}  // namespace ns
