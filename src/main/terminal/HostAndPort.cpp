#include "main/terminal/HostAndPort.h"

#include <charconv>

#include "main/terminal/UsageError.h"

namespace terminal {

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

bool isHostNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.';
}

bool isIPv6Character(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
}

// Returns the first character of `host` that it cannot hold, or std::nullopt.
std::optional<char> strayCharacter(std::string_view host) {
  const bool bracketed = host.starts_with('[');
  const std::string_view inside = bracketed ? host.substr(1, host.size() - 2) : host;
  for (const char c : inside) {
    if (!(bracketed ? isIPv6Character(c) : isHostNameCharacter(c))) {
      return c;
    }
  }
  return std::nullopt;
}

std::string describeCharacter(char c) {
  if (c == ' ') {
    return "a space";
  }
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20 || byte >= 0x7f) {
    return "a byte that is not a printable ASCII character";
  }
  return "\"" + std::string(1, c) + "\"";
}

}  // namespace

ns::Result<HostAndPort> HostAndPort::parse(std::string_view text, Port port) {
  if (const std::size_t scheme = text.find("://"); scheme != std::string_view::npos) {
    return usageError("\"" + std::string(text) + "\" starts with a scheme: drop \"" +
                      std::string(text.substr(0, scheme + 3)) + "\" and write " +
                      (port == Port::kRequired ? "HOST:PORT" : "HOST[:PORT]"));
  }
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
  if (const std::optional<char> stray = strayCharacter(host)) {
    return usageError("\"" + std::string(text) + "\" names a host that holds " + describeCharacter(*stray) +
                      ", which a host name or address cannot hold");
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

}  // namespace terminal
