#pragma once

// ns::dumpRoutingTable(): asks the kernel's routing service, over a routing socket of the calling thread's
// network namespace, for one of its tables whole (the interfaces with RTM_GETLINK, the routes with
// RTM_GETROUTE) and hands each entry of the answer to the caller.
// Thread-safe: each call has a socket of its own.

#include <linux/netlink.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace ns {

// Sends a dump request of `type` whose fixed header is `requestHeader` (an ifinfomsg for RTM_GETLINK, an
// rtmsg for RTM_GETROUTE) and calls `onEntry` with each message of the answer. Returns false when the
// kernel cannot be asked or answers with an error, whatever `onEntry` heard before.
bool dumpRoutingTable(std::uint16_t type, std::span<const std::byte> requestHeader,
                      const std::function<void(const nlmsghdr&)>& onEntry);

}  // namespace ns
