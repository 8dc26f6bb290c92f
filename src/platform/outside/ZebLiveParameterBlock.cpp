#include "platform/outside/ZebLiveParameterBlock.h"

#include <algorithm>

namespace outside {

std::string ZebLiveParameterBlock::textOf(const Bytes& block, ZebLiveParameterField field) {
  const auto begin = block.begin() + static_cast<std::ptrdiff_t>(field.offset);
  const auto end = begin + static_cast<std::ptrdiff_t>(field.size);
  return std::string(begin, std::find(begin, end, std::uint8_t{0}));
}

}  // namespace outside
