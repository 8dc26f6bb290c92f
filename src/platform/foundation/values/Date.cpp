#include "platform/foundation/values/Date.h"

#include <chrono>

namespace ns {

Date Date::now() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return Date(std::chrono::duration<double>(sinceEpoch).count());
}

}  // namespace ns
