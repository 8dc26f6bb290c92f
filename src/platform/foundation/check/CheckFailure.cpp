#include "platform/foundation/check/CheckFailure.h"

#include <cstdio>
#include <cstdlib>

namespace ns {

void failCheck(const char* file, int line, const char* rule) {
  // One write, flushed at once: stderr is unbuffered, and abort() runs no atexit handlers.
  std::fprintf(stderr, "%s:%d: broken rule: %s\n", file, line, rule);
  std::abort();
}

}  // namespace ns
