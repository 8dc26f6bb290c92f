#pragma once

// The machine's own network link, as the kernel's routing tables show it. There is a link while a default
// route goes out over an interface that is up and has a carrier. It is cellular when every such interface is
// a mobile-broadband one (the kernel's device type "wwan", as USB and PCI modems have, or "ppp"), else Wi-Fi:
// wireless and wired links alike, both unmetered.
// Thread-safe: each call asks the kernel afresh.

#include <optional>
#include <string_view>

#include "platform/net/NetworkLink.h"

namespace ns {

// Returns the machine's link now, in the calling thread's network namespace, or nullopt when the kernel
// cannot be asked.
std::optional<LinkKind> machineLinkKind();

// Returns the link an interface gives, from the text of its "uevent" file in sysfs: kCellular when its
// DEVTYPE line names "wwan" or "ppp", else kWiFi.
LinkKind linkKindFromUevent(std::string_view uevent);

}  // namespace ns
