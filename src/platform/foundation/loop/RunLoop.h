#pragma once

// ns::RunLoop: one event loop per thread, the stand-in for the platform's run loop. A loop runs posted tasks
// (first in, first out), timers (Timer.h) read from the loop's clock, and file-descriptor sources (sockets,
// the HTTP engine's descriptors).
//
// One turn of the loop waits in the kernel until a descriptor is ready, a task is posted or (on the steady
// clock) a timer falls due; then it fires the timers that are due, in fire-date order, calls the sources that
// are ready, and runs the tasks that were posted before its callbacks began. Tasks posted by a turn's
// callbacks run in the next turn, so a task that posts itself never starves timers or sources.
//
// Production loops read the steady clock. A test switches a loop to a ManualClock and advances it, which
// fires due timers at once: no test sleeps for a timer. Network I/O stays real: under a manual clock the loop
// still waits for descriptors and posted tasks, but a timer fires only once the clock has been advanced to
// its fire date, since that clock never moves by itself.
//
// Thread-safety: post(), stop() and isCurrent() may be called from any thread; everything else only on the
// loop's own thread.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace ns {

using SteadyClock = std::chrono::steady_clock;
using TimePoint = SteadyClock::time_point;
using Duration = SteadyClock::duration;
using Task = std::function<void()>;

class ManualClock;
class Timer;

// What a descriptor source waits for, or what it is ready for. Combine with |.
enum class IoEvents : unsigned { kNone = 0, kRead = 1, kWrite = 2 };
constexpr IoEvents operator|(IoEvents a, IoEvents b) {
  return static_cast<IoEvents>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool hasEvent(IoEvents set, IoEvents event) {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(event)) != 0;
}

// A descriptor watched by a loop. Destroying the handle stops the watch; the callback is never called after
// that, even when the descriptor was already reported ready in the current turn. The descriptor itself
// stays open: its owner closes it. REQUIRES: used and destroyed on the loop's thread.
class FileDescriptorSource {
 public:
  virtual ~FileDescriptorSource() = default;
  // Changes what the source waits for; kNone pauses it without removing it.
  virtual void setEvents(IoEvents events) = 0;
  virtual int fileDescriptor() const = 0;
};

class RunLoop {
 public:
  // Returns the main thread's loop. The main thread is the thread that ran the program's static
  // initialisation; all screens, store work and API completions run on this loop.
  static RunLoop& main();
  // Returns the calling thread's loop, created on first use and destroyed when the thread exits.
  static RunLoop& current();
  static bool isMainThread();

  virtual ~RunLoop() = default;

  // True when called on this loop's thread. Thread-safe.
  virtual bool isCurrent() const = 0;

  // Queues `task` to run on this loop's thread after every task posted before it. Never runs the task before
  // returning, even when called on the loop's own thread. Thread-safe.
  virtual void post(Task task) = 0;

  // Watches `fd`; `callback` gets the events the descriptor is ready for. On hang-up or error it gets every
  // event it waits for, so a read or write reports the end. Several sources may watch one descriptor.
  // Sources may be added, changed and destroyed inside any callback. Returns the handle that owns the
  // watch; the handle may outlive the loop, and then does nothing.
  virtual std::unique_ptr<FileDescriptorSource> addSource(int fd, IoEvents events,
                                                          std::function<void(IoEvents ready)> callback) = 0;

  // Runs turns until stop() is called.
  virtual void run() = 0;
  // Makes run() and runUntil() return after the current callback. Thread-safe.
  virtual void stop() = 0;
  // Runs turns until `done()` is true (checked after every callback) or `timeout` of real time has passed,
  // whatever clock the loop reads. Returns the final value of done(). Waits in the kernel, never spins.
  virtual bool runUntil(const std::function<bool()>& done, Duration timeout) = 0;
  // Runs one turn without waiting: due timers, ready sources, tasks posted before the call. Returns how
  // many callbacks ran (timer blocks, source callbacks and tasks).
  virtual std::size_t runPending() = 0;

  // The loop's clock: the steady clock, or the manual clock installed for testing.
  virtual TimePoint now() const = 0;
  // Switches the loop to a manual clock that starts at the current time and only moves when advanced.
  // Returns the clock, owned by the loop. Installing twice returns the same clock.
  virtual ManualClock& installManualClockForTesting() = 0;
  // Switches the loop back to the steady clock and destroys the manual clock, so that a test leaves the loop
  // as it found it. Timers keep their fire dates, which the steady clock then reads. Does nothing on the
  // steady clock.
  virtual void restoreSteadyClockForTesting() = 0;

 protected:
  friend class Timer;
  friend class ManualClock;
  virtual void scheduleTimer(std::shared_ptr<Timer> timer) = 0;
  virtual void unscheduleTimer(const Timer& timer) = 0;
  // Fires, in fire-date order, every timer due at or before the manual clock's time plus `by`, moving the
  // clock to each fire date first; then leaves the clock at that time.
  virtual void advanceManualClock(Duration by) = 0;
};

// A loop's clock under test. REQUIRES: used on its loop's thread.
class ManualClock {
 public:
  explicit ManualClock(RunLoop& loop, TimePoint start) : loop_(loop), now_(start) {}

  TimePoint now() const { return now_; }
  // Moves the clock forward by `by`, firing every timer that falls due on the way, each one with the clock at
  // its own fire date, in order; a repeating timer fires once per interval passed. Posted tasks are not run:
  // follow with runUntil() or runPending() for their effects.
  void advance(Duration by) { loop_.advanceManualClock(by); }

 private:
  friend class RunLoop;
  friend class RunLoopImpl;
  RunLoop& loop_;
  TimePoint now_;
};

}  // namespace ns
