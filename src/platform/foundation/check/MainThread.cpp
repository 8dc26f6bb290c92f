#include "platform/foundation/check/MainThread.h"

namespace ns {
namespace {

// Records the main thread during static initialisation, before any other thread can exist.
[[maybe_unused]] const std::thread::id kMainThreadRecorded = mainThreadId();

}  // namespace

std::thread::id mainThreadId() {
  static const std::thread::id id = std::this_thread::get_id();
  return id;
}

bool isMainThread() {
  return std::this_thread::get_id() == mainThreadId();
}

}  // namespace ns
