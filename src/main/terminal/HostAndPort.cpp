#include "main/terminal/HostAndPort.h"

#include <charconv>

#include "main/terminal/UsageError.h"

namespace {

std::optional<std::uint16_t> portNumber(std::string_view digits) {
  unsigned number = 0;
  const auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || failure != std::errc() || end != digits.data() + digits.size() || number == 0 ||
      number > 65535) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(number);
}

}  // namespace

ns::Result<HostAndPort> HostAndPort::parse(std::string_view text, Port port) {
  std::string_view host = text;
  std::optional<std::string_view> portText;
  if (text.starts_with('[')) {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) {
      return usageError("\"" + std::string(text) + "\" opens an IPv6 address with \"[\" but never closes it");
    }
    host = text.substr(0, close + 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (!rest.starts_with(':')) {
        return usageError("\"" + std::string(text) + "\" has text after its address that is not \":PORT\"");
      }
      portText = rest.substr(1);
    }
  } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    host = text.substr(0, colon);
    portText = text.substr(colon + 1);
    if (host.find(':') != std::string_view::npos) {
      return usageError("\"" + std::string(text) + "\" holds an IPv6 address: write it as [ADDRESS]:PORT");
    }
  }
  if (host.empty() || host == "[]") {
    return usageError("\"" + std::string(text) + "\" names no host");
  }
  HostAndPort address{std::string(host), std::nullopt};
  if (portText) {
    address.port = portNumber(*portText);
    if (!address.port) {
      return usageError("\"" + std::string(text) + "\" has the port \"" + std::string(*portText) +
                        "\"; a port is a number from 1 to 65535");
    }
  } else if (port == Port::kRequired) {
    return usageError("\"" + std::string(text) + "\" has no port; write HOST:PORT");
  }
  return address;
}

std::string HostAndPort::text() const {
  return port ? host + ":" + std::to_string(*port) : host;
}
