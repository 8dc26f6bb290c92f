#include "platform/net/MachineLink.h"

#include <linux/rtnetlink.h>
#include <net/if.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <span>
#include <string>

#include "platform/net/RoutingTableDump.h"

namespace ns {

namespace {

// The interfaces that can carry traffic out: up, with a carrier, and not loopback; by index, with their
// names.
std::optional<std::map<int, std::string>> interfacesCarryingTraffic() {
  ifinfomsg request{};
  request.ifi_family = AF_UNSPEC;
  std::map<int, std::string> interfaces;
  const bool read =
      dumpRoutingTable(RTM_GETLINK, std::as_bytes(std::span(&request, 1)), [&](const nlmsghdr& message) {
        if (message.nlmsg_type != RTM_NEWLINK) {
          return;
        }
        const auto* link = static_cast<const ifinfomsg*>(NLMSG_DATA(&message));
        const unsigned wanted = IFF_UP | IFF_RUNNING;
        if ((link->ifi_flags & wanted) != wanted || (link->ifi_flags & IFF_LOOPBACK) != 0) {
          return;
        }
        int length = static_cast<int>(IFLA_PAYLOAD(&message));
        for (auto* attribute = IFLA_RTA(link); RTA_OK(attribute, length);
             attribute = RTA_NEXT(attribute, length)) {
          if (attribute->rta_type == IFLA_IFNAME) {
            const auto* name = static_cast<const char*>(RTA_DATA(attribute));
            interfaces[link->ifi_index] = std::string(name, strnlen(name, RTA_PAYLOAD(attribute)));
          }
        }
      });
  if (!read) {
    return std::nullopt;
  }
  return interfaces;
}

// Adds the interfaces a route message's next hops go out over: its one output interface, or each of a
// multipath route's.
void addOutputInterfaces(const nlmsghdr& message, std::set<int>& interfaces) {
  const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(&message));
  int length = static_cast<int>(RTM_PAYLOAD(&message));
  for (auto* attribute = RTM_RTA(route); RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
    if (attribute->rta_type == RTA_OIF && RTA_PAYLOAD(attribute) >= sizeof(int)) {
      int index = 0;
      std::memcpy(&index, RTA_DATA(attribute), sizeof index);
      interfaces.insert(index);
    } else if (attribute->rta_type == RTA_MULTIPATH) {
      const auto* hop = static_cast<const rtnexthop*>(RTA_DATA(attribute));
      auto remaining = static_cast<int>(RTA_PAYLOAD(attribute));
      for (; RTNH_OK(hop, remaining);
           remaining -= static_cast<int>(RTNH_ALIGN(hop->rtnh_len)), hop = RTNH_NEXT(hop)) {
        interfaces.insert(hop->rtnh_ifindex);
      }
    }
  }
}

// The interfaces that some default route, IPv4 or IPv6, goes out over.
std::optional<std::set<int>> defaultRouteInterfaces() {
  rtmsg request{};
  request.rtm_family = AF_UNSPEC;
  std::set<int> interfaces;
  const bool read =
      dumpRoutingTable(RTM_GETROUTE, std::as_bytes(std::span(&request, 1)), [&](const nlmsghdr& message) {
        const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(&message));
        if (message.nlmsg_type == RTM_NEWROUTE && route->rtm_dst_len == 0 && route->rtm_type == RTN_UNICAST &&
            route->rtm_table != RT_TABLE_LOCAL) {
          addOutputInterfaces(message, interfaces);
        }
      });
  if (!read) {
    return std::nullopt;
  }
  return interfaces;
}

LinkKind linkKindOfInterface(const std::string& name) {
  std::ifstream file("/sys/class/net/" + name + "/uevent");
  const std::string uevent((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return linkKindFromUevent(uevent);
}

}  // namespace

std::optional<LinkKind> machineLinkKind() {
  const std::optional<std::map<int, std::string>> interfaces = interfacesCarryingTraffic();
  const std::optional<std::set<int>> routed = defaultRouteInterfaces();
  if (!interfaces || !routed) {
    return std::nullopt;
  }
  LinkKind kind = LinkKind::kNone;
  for (const int index : *routed) {
    const auto interface = interfaces->find(index);
    if (interface == interfaces->end()) {
      continue;
    }
    if (linkKindOfInterface(interface->second) == LinkKind::kWiFi) {
      return LinkKind::kWiFi;
    }
    kind = LinkKind::kCellular;
  }
  return kind;
}

LinkKind linkKindFromUevent(std::string_view uevent) {
  constexpr std::string_view kDeviceType = "DEVTYPE=";
  for (std::size_t start = 0; start < uevent.size();) {
    const std::size_t end = std::min(uevent.find('\n', start), uevent.size());
    const std::string_view line = uevent.substr(start, end - start);
    if (line.starts_with(kDeviceType)) {
      const std::string_view type = line.substr(kDeviceType.size());
      return type == "wwan" || type == "ppp" ? LinkKind::kCellular : LinkKind::kWiFi;
    }
    start = end + 1;
  }
  return LinkKind::kWiFi;
}

}  // namespace ns
