#include "platform/foundation/loop/ThreadName.h"

#include <pthread.h>

#include <string>

namespace ns {

void setCurrentThreadName(std::string_view name) {
  // The kernel refuses names longer than 15 bytes instead of cutting them.
  constexpr std::size_t kKernelNameLimit = 15;
  const std::string cut(name.substr(0, kKernelNameLimit));
  ::pthread_setname_np(::pthread_self(), cut.c_str());
}

}  // namespace ns
