#include "platform/net/NetworkReachability.h"

#include "platform/foundation/check/Check.h"
#include "platform/foundation/check/Mutex.h"
#include "platform/net/LoopbackHost.h"
#include "platform/net/MachineLink.h"
#include "platform/net/NetworkLink.h"
#include "platform/net/ReachabilityWatch.h"

namespace ns {

namespace {

ns::Mutex& overrideMutex() {
  static ns::Mutex mutex;
  return mutex;
}

std::optional<ReachabilityFlags>& flagsOverride() QM_REQUIRES(overrideMutex()) {
  static std::optional<ReachabilityFlags> flags;
  return flags;
}

}  // namespace

std::shared_ptr<NetworkReachability> NetworkReachability::forAddress(const sockaddr* address) {
  QM_DCHECK(address != nullptr, "address is not null");
  return std::shared_ptr<NetworkReachability>(
      new NetworkReachability(TargetKind::kAddress, isLoopbackAddress(address)));
}

std::shared_ptr<NetworkReachability> NetworkReachability::forHostName(std::string hostName) {
  return std::shared_ptr<NetworkReachability>(
      new NetworkReachability(TargetKind::kHostName, isLoopbackHost(hostName)));
}

NetworkReachability::NetworkReachability(TargetKind kind, bool isLoopback)
    : kind_(kind), isLoopback_(isLoopback) {}

NetworkReachability::~NetworkReachability() = default;

std::optional<ReachabilityFlags> NetworkReachability::flags() const {
  {
    ns::MutexLock lock(overrideMutex());
    if (flagsOverride()) {
      return flagsOverride();
    }
  }
  if (isLoopback_) {
    return kReachabilityFlagsReachable | kReachabilityFlagsIsLocalAddress | kReachabilityFlagsIsDirect;
  }
  std::optional<LinkKind> link = NetworkLink::simulated();
  if (!link) {
    link = machineLinkKind();
  }
  if (!link) {
    return std::nullopt;
  }
  switch (*link) {
    case LinkKind::kNone:
      break;
    case LinkKind::kCellular:
      return kReachabilityFlagsReachable | kReachabilityFlagsIsWWAN;
    case LinkKind::kWiFi:
      return kReachabilityFlagsReachable;
  }
  return ReachabilityFlags{0};
}

void NetworkReachability::setCallback(std::function<void(ReachabilityFlags)> callback) {
  callback_ = std::move(callback);
}

void NetworkReachability::scheduleWithCurrentRunLoop() {
  if (watch_) {
    return;
  }
  std::weak_ptr<NetworkReachability> weakSelf = shared_from_this();
  RunLoop& loop = RunLoop::current();
  watch_ = std::make_unique<ReachabilityWatch>(loop, [weakSelf] {
    if (const auto self = weakSelf.lock()) {
      self->reportIfChanged();
    }
  });
  if (kind_ == TargetKind::kHostName) {
    // A name is looked at once it is watched, so its first flags are always reported.
    lastReported_.reset();
    loop.post([weakSelf] {
      if (const auto self = weakSelf.lock(); self && self->watch_) {
        self->reportIfChanged();
      }
    });
  } else {
    lastReported_ = flags();
  }
}

void NetworkReachability::unschedule() {
  watch_.reset();
}

void NetworkReachability::reportIfChanged() {
  const std::optional<ReachabilityFlags> current = flags();
  if (!current || current == lastReported_) {
    return;
  }
  lastReported_ = current;
  if (callback_) {
    callback_(*current);
  }
}

void NetworkReachability::setFlagsForTesting(std::optional<ReachabilityFlags> flags) {
  {
    ns::MutexLock lock(overrideMutex());
    flagsOverride() = flags;
  }
  ReachabilityWatch::notifyAll();
}

}  // namespace ns
