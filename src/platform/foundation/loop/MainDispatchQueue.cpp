#include "platform/foundation/loop/MainDispatchQueue.h"

#include "platform/foundation/loop/Timer.h"

namespace ns {

void MainDispatchQueue::async(Task task) {
  RunLoop::main().post(std::move(task));
}

void MainDispatchQueue::after(Duration delay, Task task) {
  auto schedule = [delay, task = std::move(task)]() mutable {
    Timer::scheduled(RunLoop::main(), delay, Timer::Repeats::kNo,
                     [task = std::move(task)](Timer&) { task(); });
  };
  // Scheduling at once on the main thread lets a test's manual clock fire the timer without a turn between.
  if (isCurrent()) {
    schedule();
  } else {
    RunLoop::main().post(std::move(schedule));
  }
}

bool MainDispatchQueue::isCurrent() const {
  return RunLoop::isMainThread();
}

}  // namespace ns
