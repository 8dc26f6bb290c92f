// The machine's link: the kind an interface gives, read from its sysfs uevent text, and an answer from this
// machine's kernel (whatever network it has; the reachability tests follow a namespace's changes).

#include <gtest/gtest.h>

#include "platform/net/MachineLink.h"

namespace ns {
namespace {

TEST(MachineLinkTest, MobileBroadbandDeviceTypesAreCellularAndEverythingElseUnmetered) {
  EXPECT_EQ(linkKindFromUevent("DEVTYPE=wwan\nINTERFACE=wwan0\nIFINDEX=4\n"), LinkKind::kCellular);
  EXPECT_EQ(linkKindFromUevent("INTERFACE=ppp0\nIFINDEX=7\nDEVTYPE=ppp"), LinkKind::kCellular);
  EXPECT_EQ(linkKindFromUevent("DEVTYPE=wlan\nINTERFACE=wlp2s0\n"), LinkKind::kWiFi);
  EXPECT_EQ(linkKindFromUevent("INTERFACE=eth0\nIFINDEX=2\n"), LinkKind::kWiFi) << "wired: no device type";
  EXPECT_EQ(linkKindFromUevent("INTERFACE=wwanish\nDEVTYPE=wwanx\n"), LinkKind::kWiFi);
  EXPECT_EQ(linkKindFromUevent(""), LinkKind::kWiFi) << "an interface sysfs does not show";
  EXPECT_TRUE(machineLinkKind().has_value()) << "the kernel answers the calling thread";
}

}  // namespace
}  // namespace ns
