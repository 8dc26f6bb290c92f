#pragma once

// ns::RunLoopImpl: the run loop of one thread, over ppoll(2) with a wake signal (an eventfd) that post()
// and stop() raise to wake the loop. Contract: RunLoop.h.
//
// Thread-safety: post(), stop() and isCurrent() from any thread; everything else on the owner thread.

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/DescriptorSourceSet.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/loop/WakeSignal.h"

namespace ns {

class RunLoopImpl final : public RunLoop {
 public:
  // A loop whose callbacks run on the thread `owner`.
  explicit RunLoopImpl(std::thread::id owner);
  ~RunLoopImpl() override;
  RunLoopImpl(const RunLoopImpl&) = delete;
  RunLoopImpl& operator=(const RunLoopImpl&) = delete;

  bool isCurrent() const override;
  void post(Task task) override;
  std::unique_ptr<FileDescriptorSource> addSource(int fd, IoEvents events,
                                                  std::function<void(IoEvents ready)> callback) override;
  void run() override;
  void stop() override;
  bool runUntil(const std::function<bool()>& done, Duration timeout) override;
  std::size_t runPending() override;
  TimePoint now() const override;
  ManualClock& installManualClockForTesting() override;
  void restoreSteadyClockForTesting() override;

 protected:
  void scheduleTimer(std::shared_ptr<Timer> timer) override;
  void unscheduleTimer(const Timer& timer) override;
  void advanceManualClock(Duration by) override;

 private:
  // Timers ordered by fire date, then by scheduling order.
  using TimerKey = std::pair<TimePoint, std::uint64_t>;
  using Interrupted = std::function<bool()>;

  // Runs one turn, waiting at most until `deadline` (real time; none: as long as needed). Stops between
  // callbacks once `interrupted()` is true. Returns how many callbacks ran.
  std::size_t runTurn(std::optional<TimePoint> deadline, const Interrupted& interrupted);
  std::vector<DescriptorSourceSet::Readiness> waitForEvents(std::optional<TimePoint> deadline);
  std::optional<Duration> waitLimit(std::optional<TimePoint> deadline);
  std::size_t fireDueTimers(TimePoint dueBy, const Interrupted& interrupted);
  void fireTimer(std::map<TimerKey, std::shared_ptr<Timer>>::iterator position);
  std::size_t dispatchSources(const std::vector<DescriptorSourceSet::Readiness>& ready,
                              const Interrupted& interrupted);
  std::size_t runTasks(std::deque<Task> batch, const Interrupted& interrupted);
  std::deque<Task> takeTasks();
  bool hasTasks();
  // Returns the signal when the caller has to raise it, nullptr when it is raised already. The caller raises
  // it after letting go of taskMutex_, so that the woken loop never has to wait for that mutex.
  std::shared_ptr<WakeSignal> claimWakeSignal() QM_REQUIRES(taskMutex_);

  // Constant after construction
  const std::thread::id owner_;
  const std::shared_ptr<WakeSignal> wakeSignal_;

  ns::Mutex taskMutex_;
  std::deque<Task> tasks_ QM_GUARDED_BY(taskMutex_);
  std::atomic<bool> stopRequested_{false};

  // Owner thread only
  std::map<TimerKey, std::shared_ptr<Timer>> timers_;
  std::uint64_t nextTimerSequence_ = 1;
  std::unique_ptr<ManualClock> manualClock_;
  DescriptorSourceSet sources_;
};

}  // namespace ns
