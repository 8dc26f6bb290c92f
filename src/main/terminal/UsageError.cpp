#include "main/terminal/UsageError.h"

namespace terminal {

ns::Error usageError(std::string description) {
  return ns::Error(
      kUsageErrorDomain, 1,
      ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), ns::Value(std::move(description))}});
}

}  // namespace terminal
