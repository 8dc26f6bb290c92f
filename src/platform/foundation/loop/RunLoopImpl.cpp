#include "platform/foundation/loop/RunLoopImpl.h"

#include <poll.h>

#include <algorithm>
#include <ctime>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/Deadline.h"
#include "platform/foundation/loop/Timer.h"

namespace ns {
namespace {

// How long a loop that has run out of work keeps polling before it sleeps. Work that another thread hands
// over meanwhile (a posted task, a reply on a socket) is taken up at once; waking a sleeping thread instead
// costs tens of microseconds, which a request that hops between threads pays at every hop.
constexpr Duration kSpinBeforeSleeping = std::chrono::microseconds(50);

// The smallest interval a repeating timer keeps, so that firing it always moves its date forward.
constexpr Duration kMinimumRepeatInterval = std::chrono::microseconds(100);

// The first date after `now` on the timer's grid of `fireDate` plus whole intervals: intervals that passed
// unseen are skipped, not fired late in a burst.
TimePoint nextFireDate(TimePoint fireDate, Duration interval, TimePoint now) {
  const TimePoint next = fireDate + interval;
  if (next > now) {
    return next;
  }
  const auto missed = (now - fireDate) / interval;
  return fireDate + (missed + 1) * interval;
}

// Polls `fds` without sleeping for up to `spin` of real time, yielding the processor between polls to any
// thread that waits for it: on a machine with few cores, polling must not hold up the thread it waits for.
// Returns ppoll's count: 0 when nothing became ready meanwhile.
int pollWhileSpinning(std::vector<pollfd>& fds, Duration spin) {
  const TimePoint end = SteadyClock::now() + spin;
  const timespec noWait{};
  int count = 0;
  while ((count = ::ppoll(fds.data(), fds.size(), &noWait, nullptr)) == 0 && SteadyClock::now() < end) {
    std::this_thread::yield();
  }
  return count;
}

}  // namespace

RunLoopImpl::RunLoopImpl(std::thread::id owner)
    : owner_(owner), wakeSignal_(std::make_shared<WakeSignal>()) {}

RunLoopImpl::~RunLoopImpl() {
  // Timers may outlive the loop; marking them invalid keeps them from ever reaching back into it.
  for (auto& [key, timer] : timers_) {
    timer->valid_ = false;
  }
}

bool RunLoopImpl::isCurrent() const {
  return std::this_thread::get_id() == owner_;
}

void RunLoopImpl::post(Task task) {
  // The loop cannot take the task before the mutex is free, so the loop is alive while it is held. After
  // that post() touches only the signal, which outlives the loop when the task ends the loop's thread.
  std::shared_ptr<WakeSignal> signal;
  {
    ns::MutexLock lock(taskMutex_);
    tasks_.push_back(std::move(task));
    // The loop's own thread is not waiting, and the loop looks at its tasks before it next waits.
    if (!isCurrent()) {
      signal = claimWakeSignal();
    }
  }
  if (signal) {
    signal->raise();
  }
}

std::unique_ptr<FileDescriptorSource> RunLoopImpl::addSource(int fd, IoEvents events,
                                                             std::function<void(IoEvents ready)> callback) {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  return sources_.add(fd, events, std::move(callback));
}

void RunLoopImpl::run() {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  const Interrupted stopped = [this] { return stopRequested_.load(); };
  while (!stopRequested_.exchange(false)) {
    runTurn(std::nullopt, stopped);
  }
}

void RunLoopImpl::stop() {
  std::shared_ptr<WakeSignal> signal;
  {
    ns::MutexLock lock(taskMutex_);
    stopRequested_ = true;
    signal = claimWakeSignal();
  }
  if (signal) {
    signal->raise();
  }
}

bool RunLoopImpl::runUntil(const std::function<bool()>& done, Duration timeout) {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  const TimePoint deadline = deadlineAfter(timeout);
  const Interrupted interrupted = [&] { return stopRequested_.load() || done(); };
  while (!done()) {
    if (stopRequested_.exchange(false) || SteadyClock::now() >= deadline) {
      return done();
    }
    runTurn(deadline, interrupted);
  }
  return true;
}

std::size_t RunLoopImpl::runPending() {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  return runTurn(SteadyClock::now(), [] { return false; });
}

TimePoint RunLoopImpl::now() const {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  return manualClock_ ? manualClock_->now_ : SteadyClock::now();
}

ManualClock& RunLoopImpl::installManualClockForTesting() {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  if (!manualClock_) {
    manualClock_ = std::make_unique<ManualClock>(*this, SteadyClock::now());
  }
  return *manualClock_;
}

void RunLoopImpl::restoreSteadyClockForTesting() {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  manualClock_.reset();
}

void RunLoopImpl::scheduleTimer(std::shared_ptr<Timer> timer) {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  timer->sequence_ = nextTimerSequence_++;
  const TimerKey key{timer->fireDate_, timer->sequence_};
  timers_.emplace(key, std::move(timer));
}

void RunLoopImpl::unscheduleTimer(const Timer& timer) {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  auto found = timers_.find(TimerKey{timer.fireDate_, timer.sequence_});
  if (found != timers_.end() && found->second.get() == &timer) {
    timers_.erase(found);
  }
}

void RunLoopImpl::advanceManualClock(Duration by) {
  QM_DCHECK(isCurrent(), "called on the loop's own thread");
  const TimePoint target = manualClock_->now_ + by;
  while (!timers_.empty() && timers_.begin()->first.first <= target) {
    auto earliest = timers_.begin();
    manualClock_->now_ = std::max(manualClock_->now_, earliest->first.first);
    fireTimer(earliest);
  }
  manualClock_->now_ = target;
}

std::size_t RunLoopImpl::runTurn(std::optional<TimePoint> deadline, const Interrupted& interrupted) {
  const std::vector<DescriptorSourceSet::Readiness> ready = waitForEvents(deadline);
  std::deque<Task> batch = takeTasks();
  std::size_t callbacks = fireDueTimers(now(), interrupted);
  callbacks += dispatchSources(ready, interrupted);
  return callbacks + runTasks(std::move(batch), interrupted);
}

std::vector<DescriptorSourceSet::Readiness> RunLoopImpl::waitForEvents(std::optional<TimePoint> deadline) {
  std::vector<pollfd> fds{pollfd{wakeSignal_->fileDescriptor(), POLLIN, 0}};
  std::vector<std::uint64_t> ids{0};
  sources_.appendPollSet(fds, ids);

  const std::optional<Duration> limit = waitLimit(deadline);
  timespec timeout{};
  if (limit) {
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(*limit).count();
    timeout.tv_sec = static_cast<time_t>(nanoseconds / 1'000'000'000);
    timeout.tv_nsec = static_cast<long>(nanoseconds % 1'000'000'000);
  }
  int count = 0;
  if (!limit || *limit > Duration::zero()) {
    count = pollWhileSpinning(fds, std::min(limit.value_or(kSpinBeforeSleeping), kSpinBeforeSleeping));
  }
  if (count == 0) {
    count = ::ppoll(fds.data(), fds.size(), limit ? &timeout : nullptr, nullptr);
  }

  std::vector<DescriptorSourceSet::Readiness> ready;
  if (count <= 0) {
    return ready;
  }
  if (fds[0].revents != 0) {
    wakeSignal_->clear();
  }
  for (std::size_t i = 1; i < fds.size(); ++i) {
    if (fds[i].revents != 0) {
      ready.push_back({ids[i], fds[i].revents});
    }
  }
  return ready;
}

std::optional<Duration> RunLoopImpl::waitLimit(std::optional<TimePoint> deadline) {
  if (hasTasks() || stopRequested_ || (!timers_.empty() && timers_.begin()->first.first <= now())) {
    return Duration::zero();
  }
  const TimePoint realNow = SteadyClock::now();
  std::optional<Duration> limit;
  if (deadline) {
    limit = std::max(Duration::zero(), *deadline - realNow);
  }
  // A manual clock never moves by itself, so its timers give no reason to wake up.
  if (!manualClock_ && !timers_.empty()) {
    const Duration untilTimer = std::max(Duration::zero(), timers_.begin()->first.first - realNow);
    limit = limit ? std::min(*limit, untilTimer) : untilTimer;
  }
  return limit;
}

std::size_t RunLoopImpl::fireDueTimers(TimePoint dueBy, const Interrupted& interrupted) {
  // Only timers due when the turn began fire in it, so a repeating timer slower than its interval cannot
  // hold the loop in this phase.
  std::size_t fired = 0;
  while (!interrupted() && !timers_.empty() && timers_.begin()->first.first <= dueBy) {
    fireTimer(timers_.begin());
    ++fired;
  }
  return fired;
}

void RunLoopImpl::fireTimer(std::map<TimerKey, std::shared_ptr<Timer>>::iterator position) {
  std::shared_ptr<Timer> timer = std::move(position->second);
  timers_.erase(position);
  if (timer->repeats()) {
    const Duration interval = std::max(timer->interval_, kMinimumRepeatInterval);
    timer->fireDate_ = nextFireDate(timer->fireDate_, interval, now());
    timers_.emplace(TimerKey{timer->fireDate_, timer->sequence_}, timer);
  }
  timer->fire();
}

std::size_t RunLoopImpl::dispatchSources(const std::vector<DescriptorSourceSet::Readiness>& ready,
                                         const Interrupted& interrupted) {
  std::size_t called = 0;
  for (const auto& readiness : ready) {
    if (interrupted()) {
      break;
    }
    if (sources_.dispatch(readiness)) {
      ++called;
    }
  }
  return called;
}

std::size_t RunLoopImpl::runTasks(std::deque<Task> batch, const Interrupted& interrupted) {
  std::size_t ran = 0;
  while (!batch.empty() && !interrupted()) {
    Task task = std::move(batch.front());
    batch.pop_front();
    task();
    ++ran;
  }
  if (!batch.empty()) {
    // Interrupted: the tasks left keep their place ahead of those posted since.
    ns::MutexLock lock(taskMutex_);
    tasks_.insert(tasks_.begin(), std::make_move_iterator(batch.begin()),
                  std::make_move_iterator(batch.end()));
  }
  return ran;
}

std::deque<Task> RunLoopImpl::takeTasks() {
  ns::MutexLock lock(taskMutex_);
  return std::exchange(tasks_, {});
}

bool RunLoopImpl::hasTasks() {
  ns::MutexLock lock(taskMutex_);
  return !tasks_.empty();
}

std::shared_ptr<WakeSignal> RunLoopImpl::claimWakeSignal() {
  // One raise per sleep is enough: the loop clears the signal before it looks at its tasks again.
  return wakeSignal_->claim() ? wakeSignal_ : nullptr;
}

}  // namespace ns
