#include "platform/foundation/loop/RunLoop.h"

#include <thread>

#include "platform/foundation/check/MainThread.h"
#include "platform/foundation/loop/RunLoopImpl.h"

namespace ns {

RunLoop& RunLoop::main() {
  // Never destroyed: tasks, timers and sources of the main loop may be touched until the process ends.
  static RunLoopImpl* const loop = new RunLoopImpl(mainThreadId());
  return *loop;
}

RunLoop& RunLoop::current() {
  if (isMainThread()) {
    return main();
  }
  thread_local std::unique_ptr<RunLoopImpl> loop;
  if (!loop) {
    loop = std::make_unique<RunLoopImpl>(std::this_thread::get_id());
  }
  return *loop;
}

bool RunLoop::isMainThread() {
  return ns::isMainThread();
}

}  // namespace ns
