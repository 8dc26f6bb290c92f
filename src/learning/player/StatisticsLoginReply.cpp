#include "learning/player/StatisticsLoginReply.h"

namespace learning {

std::optional<StatisticsLoginReply> StatisticsLoginReply::parse(std::string_view text) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view first = text.substr(0, comma);
  const std::string_view second = text.substr(comma + 1);
  const auto bar = first.find('|');
  if (bar == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view idAndRest = first.substr(bar + 1);
  return StatisticsLoginReply{std::string(idAndRest.substr(0, idAndRest.find('|'))),
                              std::string(second.substr(0, second.find('|')))};
}

}  // namespace learning
