#include "platform/net/ReachabilityWatch.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <vector>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/check/Mutex.h"

namespace ns {

// A watch as the process-wide list sees it; `alive` turns false when the watch is destroyed, so a callback
// already posted does nothing.
struct ReachabilityWatch::Entry {
  RunLoop* loop;
  std::function<void()> onChange;
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

namespace {

// Never destroyed: a thread's URL engine gives its watch back as the thread ends, which may come after the
// process's static objects are gone.
ns::Mutex& registryMutex() {
  static ns::Mutex* const mutex = new ns::Mutex();
  return *mutex;
}

std::vector<std::weak_ptr<ReachabilityWatch::Entry>>& registry() QM_REQUIRES(registryMutex()) {
  static auto* const entries = new std::vector<std::weak_ptr<ReachabilityWatch::Entry>>();
  return *entries;
}

OwnedDescriptor openRoutingSocket() {
  OwnedDescriptor fd(socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE));
  if (!fd.isValid()) {
    return fd;
  }
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups =
      RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;
  if (bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    return OwnedDescriptor();
  }
  return fd;
}

void postChange(const std::shared_ptr<ReachabilityWatch::Entry>& entry) {
  entry->loop->post([alive = entry->alive, onChange = entry->onChange] {
    if (*alive) {
      onChange();
    }
  });
}

}  // namespace

ReachabilityWatch::ReachabilityWatch(RunLoop& loop, std::function<void()> onChange)
    : loop_(loop),
      entry_(std::make_shared<Entry>(Entry{&loop, std::move(onChange)})),
      routingSocket_(openRoutingSocket()) {
  QM_DCHECK(loop.isCurrent(), "made on its loop's thread");
  if (routingSocket_.isValid()) {
    routingSource_ =
        loop_.addSource(routingSocket_.get(), IoEvents::kRead, [this](IoEvents) { drainRoutingSocket(); });
  }
  ns::MutexLock lock(registryMutex());
  registry().push_back(entry_);
}

ReachabilityWatch::~ReachabilityWatch() {
  {
    ns::MutexLock lock(registryMutex());
    *entry_->alive = false;
    auto& entries = registry();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [this](const std::weak_ptr<Entry>& entry) {
                                   const auto locked = entry.lock();
                                   return !locked || locked == entry_;
                                 }),
                  entries.end());
  }
}

void ReachabilityWatch::notifyAll() {
  ns::MutexLock lock(registryMutex());
  for (const auto& weakEntry : registry()) {
    if (const auto entry = weakEntry.lock()) {
      postChange(entry);
    }
  }
}

void ReachabilityWatch::drainRoutingSocket() {
  char buffer[8192];
  while (recv(routingSocket_.get(), buffer, sizeof buffer, 0) > 0) {
  }
  entry_->onChange();
}

}  // namespace ns
