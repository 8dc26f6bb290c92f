#include "platform/uikit/support/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace uikit {

std::string numberText(double number) {
  std::array<char, 32> buffer{};
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
  return error == std::errc() ? std::string(buffer.data(), end) : std::string("nan");
}

std::string percentText(double fraction) {
  return std::to_string(std::lround(fraction * 100)) + "%";
}

}  // namespace uikit
