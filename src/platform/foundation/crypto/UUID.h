#pragma once

// ns::UUID: a random (version 4) universally unique identifier, as the platform makes one for a new object
// or installation.
// Thread-safe: a plain value.

#include <array>
#include <cstdint>
#include <string>

namespace ns {

class UUID {
 public:
  // Returns a new identifier: 122 random bits from the secure generator, with the version (4) and the
  // RFC 4122 variant set.
  static UUID random();

  // Returns the platform's text form: 36 characters, upper-case hexadecimal digits in groups of 8-4-4-4-12
  // joined by "-", e.g. "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
  std::string uuidString() const;

 private:
  explicit UUID(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}

  std::array<std::uint8_t, 16> bytes_;
};

}  // namespace ns
