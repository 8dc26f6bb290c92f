#pragma once

// Names the calling thread, for debuggers, `top -H` and crash reports. The kernel keeps the first 15 bytes
// of `name`. Thread-safe.

#include <string_view>

namespace ns {

void setCurrentThreadName(std::string_view name);

}  // namespace ns
