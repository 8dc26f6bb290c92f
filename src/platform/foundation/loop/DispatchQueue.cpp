#include "platform/foundation/loop/DispatchQueue.h"

#include <future>

#include "platform/foundation/loop/ConcurrentDispatchQueue.h"
#include "platform/foundation/loop/MainDispatchQueue.h"
#include "platform/foundation/loop/RunLoopThread.h"
#include "platform/foundation/loop/SerialDispatchQueue.h"
#include "platform/foundation/loop/Timer.h"

namespace ns {
namespace {

// The thread whose loop holds the timers of after() for every queue but main(). Never destroyed.
RunLoopThread& delayedWorkThread() {
  static RunLoopThread* const thread = new RunLoopThread("dispatch.timers");
  return *thread;
}

}  // namespace

DispatchQueue& DispatchQueue::main() {
  // Held for the whole process, so work queued for later may retain it like any other queue.
  static const std::shared_ptr<DispatchQueue>* const queue =
      new std::shared_ptr<DispatchQueue>(std::make_shared<MainDispatchQueue>());
  return **queue;
}

DispatchQueue& DispatchQueue::global() {
  static const std::shared_ptr<DispatchQueue>* const queue =
      new std::shared_ptr<DispatchQueue>(std::make_shared<ConcurrentDispatchQueue>("global"));
  return **queue;
}

std::shared_ptr<DispatchQueue> DispatchQueue::createSerial(std::string label) {
  return std::make_shared<SerialDispatchQueue>(std::move(label));
}

std::shared_ptr<DispatchQueue> DispatchQueue::createConcurrent(std::string label) {
  return std::make_shared<ConcurrentDispatchQueue>(std::move(label));
}

void DispatchQueue::sync(Task task) {
  if (isCurrent()) {
    task();
    return;
  }
  // The task owns the promise: the waiter may return, and end its frame, while set_value() is finishing.
  auto ran = std::make_shared<std::promise<void>>();
  std::future<void> done = ran->get_future();
  async([&task, ran] {
    task();
    ran->set_value();
  });
  done.wait();
}

void DispatchQueue::after(Duration delay, Task task) {
  RunLoop& timers = delayedWorkThread().runLoop();
  timers.post([&timers, delay, queue = retained(), task = std::move(task)]() mutable {
    Timer::scheduled(timers, delay, Timer::Repeats::kNo,
                     [queue = std::move(queue), task = std::move(task)](Timer&) { queue->async(task); });
  });
}

std::shared_ptr<DispatchQueue> DispatchQueue::retained() {
  return std::static_pointer_cast<DispatchQueue>(shared_from_this());
}

}  // namespace ns
