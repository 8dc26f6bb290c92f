#include "platform/net/RoutingTableDump.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/net/OwnedDescriptor.h"

namespace ns {

namespace {

// Large enough for any one batch of a dump: the kernel fills at most 32 KiB before it waits for a read.
constexpr std::size_t kAnswerBufferSize = 64 * 1024;

bool sendRequest(int socket, std::uint16_t type, std::span<const std::byte> requestHeader) {
  std::vector<std::byte> request(NLMSG_SPACE(requestHeader.size()));
  auto* header = reinterpret_cast<nlmsghdr*>(request.data());
  header->nlmsg_len = NLMSG_LENGTH(requestHeader.size());
  header->nlmsg_type = type;
  header->nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  header->nlmsg_seq = 1;
  std::memcpy(NLMSG_DATA(header), requestHeader.data(), requestHeader.size());
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  return sendto(socket, request.data(), header->nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
                sizeof kernel) == static_cast<ssize_t>(header->nlmsg_len);
}

}  // namespace

bool dumpRoutingTable(std::uint16_t type, std::span<const std::byte> requestHeader,
                      const std::function<void(const nlmsghdr&)>& onEntry) {
  const OwnedDescriptor socket(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
  if (!socket.isValid() || !sendRequest(socket.get(), type, requestHeader)) {
    return false;
  }
  // Held as words, so that the messages in it are aligned as the netlink macros expect.
  std::vector<std::uint32_t> buffer(kAnswerBufferSize / sizeof(std::uint32_t));
  for (;;) {
    ssize_t received = recv(socket.get(), buffer.data(), kAnswerBufferSize, MSG_TRUNC);
    if (received < 0 && errno == EINTR) {
      continue;
    }
    if (received <= 0 || static_cast<std::size_t>(received) > kAnswerBufferSize) {
      return false;
    }
    auto remaining = static_cast<std::uint32_t>(received);
    for (auto* message = reinterpret_cast<const nlmsghdr*>(buffer.data()); NLMSG_OK(message, remaining);
         message = NLMSG_NEXT(message, remaining)) {
      if (message->nlmsg_type == NLMSG_DONE) {
        return true;
      }
      if (message->nlmsg_type == NLMSG_ERROR) {
        return false;
      }
      onEntry(*message);
    }
  }
}

}  // namespace ns
