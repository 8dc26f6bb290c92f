#include "platform/foundation/loop/ConcurrentDispatchQueue.h"

#include <chrono>
#include <thread>

#include "platform/foundation/loop/ThreadName.h"

namespace ns {
namespace {

constexpr auto kIdleThreadLifetime = std::chrono::seconds(5);
// How long a thread out of tasks watches for another before it sleeps: handing a task to a thread that is
// awake costs nothing, waking a sleeping one tens of microseconds. It yields the processor while it watches,
// so that it never holds up a thread that has work.
constexpr auto kSpinBeforeSleeping = std::chrono::microseconds(50);

// The pool whose task the calling thread is running, if any.
thread_local const void* tCurrentPool = nullptr;

}  // namespace

ConcurrentDispatchQueue::ConcurrentDispatchQueue(std::string label)
    : pool_(std::make_shared<Pool>(std::move(label))) {}

ConcurrentDispatchQueue::~ConcurrentDispatchQueue() {
  MutexLock lock(pool_->mutex);
  pool_->closing = true;
  pool_->workAvailable.notify_all();
  // Released from one of its own tasks, the pool cannot wait for itself: its threads end on their own once
  // the queued tasks have run.
  if (tCurrentPool != pool_.get()) {
    while (pool_->threads > 0) {
      lock.wait(pool_->threadsEnded);
    }
  }
}

void ConcurrentDispatchQueue::async(Task task) {
  bool addThread = false;
  bool wakeSleeper = false;
  {
    MutexLock lock(pool_->mutex);
    pool_->tasks.push_back(std::move(task));
    pool_->queuedTasks = pool_->tasks.size();
    addThread = pool_->tasks.size() > pool_->idleThreads && pool_->threads < kMaxThreads;
    if (addThread) {
      ++pool_->threads;
    }
    // A thread still polling takes the task without being woken.
    wakeSleeper = !addThread && pool_->tasks.size() > pool_->spinningThreads;
  }
  // Woken once the mutex is free, so that the woken thread does not go straight back to sleep waiting for it.
  if (addThread) {
    std::thread([pool = pool_] { work(pool); }).detach();
  } else if (wakeSleeper) {
    pool_->workAvailable.notify_one();
  }
}

bool ConcurrentDispatchQueue::isCurrent() const {
  return tCurrentPool == pool_.get();
}

void ConcurrentDispatchQueue::work(const std::shared_ptr<Pool>& pool) {
  setCurrentThreadName(pool->label);
  tCurrentPool = pool.get();
  MutexLock lock(pool->mutex);
  for (;;) {
    if (pool->tasks.empty()) {
      if (pool->closing) {
        break;
      }
      ++pool->idleThreads;
      ++pool->spinningThreads;
      lock.unlock();
      const auto spinEnd = std::chrono::steady_clock::now() + kSpinBeforeSleeping;
      while (pool->queuedTasks.load() == 0 && std::chrono::steady_clock::now() < spinEnd) {
        std::this_thread::yield();
      }
      lock.lock();
      --pool->spinningThreads;
      const auto sleepEnd = std::chrono::steady_clock::now() + kIdleThreadLifetime;
      while (pool->tasks.empty() && !pool->closing &&
             lock.waitUntil(pool->workAvailable, sleepEnd) == std::cv_status::no_timeout) {
      }
      const bool woken = !pool->tasks.empty() || pool->closing;
      --pool->idleThreads;
      if (!woken) {
        break;
      }
      continue;
    }
    Task task = std::move(pool->tasks.front());
    pool->tasks.pop_front();
    pool->queuedTasks = pool->tasks.size();
    lock.unlock();
    task();
    task = nullptr;  // the task's captures are released outside the lock too
    lock.lock();
  }
  if (--pool->threads == 0) {
    pool->threadsEnded.notify_all();
  }
}

}  // namespace ns
