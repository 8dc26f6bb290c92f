#pragma once

// ns::Operation: one unit of work with a life of its own, run by an OperationQueue (or by calling start()).
//
// An operation is ready, then executing, then finished; it may be cancelled at any time. Its state is read
// through the virtual queries isReady(), isExecuting() and isFinished(), so a subclass may keep a state
// machine of its own (with extra states such as "paused") and answer them itself. Every change
// of one of those answers is announced to the key observers: willChangeValueForKey(key) before the change and
// didChangeValueForKey(key) after it, for the keys kIsReadyKey, kIsExecutingKey, kIsFinishedKey and
// kIsCancelledKey, in the order the announcing code chooses. Queues, dependent operations and the completion
// block all learn of changes this way, so a subclass that answers the queries itself must announce its
// changes.
//
// A plain operation does its work in main(): the default start() runs main() on the calling thread and then
// finishes. A concurrent operation (isConcurrent() true) overrides start() to begin its work and returns at
// once; it finishes later, from any thread, by announcing the change of kIsFinishedKey.
//
// Dependencies: an operation is ready only when each of its dependencies has finished or has been cancelled
// without executing. A cancelled operation is ready at once whatever its dependencies, so that its queue can
// start it and let it finish quickly.
//
// The completion block runs once, on a background thread, after the operation has announced that it
// finished; the operation then lets go of the block. By default that thread is one of the global dispatch
// queue's; a subclass may choose the thread that finished the operation (dispatchCompletionBlock()).
//
// Operations live in std::shared_ptr (std::make_shared of the class); they are ns::Objects so that they can
// be the object of a notification.
//
// Thread-safety: every method may be called from any thread. Key observers are called on the announcing
// thread, never while the operation's own mutex is held.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/values/Object.h"

namespace ns {

inline constexpr std::string_view kIsReadyKey = "isReady";
inline constexpr std::string_view kIsExecutingKey = "isExecuting";
inline constexpr std::string_view kIsFinishedKey = "isFinished";
inline constexpr std::string_view kIsCancelledKey = "isCancelled";

// Which half of a change a key observer hears about.
enum class KeyChange { kWill, kDid };

class Operation : public Object {
 public:
  // Called for every announced change; `key` is the key named by the announcing code.
  using KeyObserver = std::function<void(Operation& operation, std::string_view key, KeyChange change)>;
  using ObserverToken = std::uint64_t;

  Operation() = default;
  ~Operation() override;

  // Runs the operation. The default: does nothing unless the operation is ready and has not been started;
  // a cancelled operation finishes without calling main(); otherwise the state becomes executing, main()
  // runs on the calling thread, and the state becomes finished. Starting twice does nothing.
  virtual void start();
  // The work of a plain operation. The default does nothing.
  virtual void main() {}
  // Marks the operation cancelled (announcing kIsCancelledKey) unless it already is. Work in progress is
  // not interrupted: main() may check isCancelled(). Overrides call Operation::cancel().
  virtual void cancel();

  bool isCancelled() const;
  // True when the operation is cancelled or every dependency has finished (or was cancelled without
  // executing).
  virtual bool isReady() const;
  virtual bool isExecuting() const;
  virtual bool isFinished() const;
  // True for an operation whose start() returns before the work ends. The default is false.
  virtual bool isConcurrent() const { return false; }

  // Makes this operation wait for `dependency`. REQUIRES: this operation is owned by a std::shared_ptr, has
  // not started, and `dependency` does not depend on it (directly or not).
  void addDependency(std::shared_ptr<Operation> dependency);
  void removeDependency(const std::shared_ptr<Operation>& dependency);
  // Returns a copy of the list, in the order added.
  std::vector<std::shared_ptr<Operation>> dependencies() const;

  // Replaces the completion block; an empty task removes it. A block set after the operation finished
  // never runs.
  virtual void setCompletionBlock(Task block);
  // Returns the current block (empty when none, and once the block has been handed to its thread).
  Task completionBlock() const;

  // Registers `observer` for every key change; returns the token that removes it. After removal the
  // observer may still be called once by an announcement already under way on another thread.
  ObserverToken addKeyObserver(KeyObserver observer);
  void removeKeyObserver(ObserverToken token);

 protected:
  // Announce a change of `key` to the observers. Subclasses that keep their own state call these around
  // each change: willChangeValueForKey before storing the new state and didChangeValueForKey after.
  void willChangeValueForKey(std::string_view key);
  void didChangeValueForKey(std::string_view key);
  // Hands on the completion block once the operation has finished: called at most once, on the thread that
  // announced the finish, after the key observers have heard of it. The default queues the block on the
  // global dispatch queue. A subclass whose blocks only queue work elsewhere may run the block in place and
  // save a thread hop; it then runs inside the announcing code, under whatever locks that code holds.
  virtual void dispatchCompletionBlock(Task block);

 private:
  enum class State { kReady, kExecuting, kFinished };
  struct ObserverEntry {
    ObserverToken token;
    KeyObserver observer;
  };
  struct DependencyEntry {
    std::shared_ptr<Operation> operation;
    ObserverToken token;
  };

  void changeState(State to);
  void announce(std::string_view key, KeyChange change);
  void refreshDependencyReadiness();
  void runCompletionBlockOnce();
  static bool dependencySatisfied(const Operation& dependency);

  mutable ns::Mutex mutex_;
  State state_ QM_GUARDED_BY(mutex_) = State::kReady;
  bool startClaimed_ QM_GUARDED_BY(mutex_) = false;
  bool cancelClaimed_ QM_GUARDED_BY(mutex_) =
      false;  // Set before the change is announced, so that it is announced once
  bool cancelled_ QM_GUARDED_BY(mutex_) = false;
  bool dependenciesSatisfied_ QM_GUARDED_BY(mutex_) = true;
  bool completionHandled_ QM_GUARDED_BY(mutex_) = false;
  Task completionBlock_ QM_GUARDED_BY(mutex_);
  std::vector<DependencyEntry> dependencies_ QM_GUARDED_BY(mutex_);
  std::shared_ptr<const std::vector<ObserverEntry>> observers_ QM_GUARDED_BY(mutex_);
  ObserverToken nextToken_ QM_GUARDED_BY(mutex_) = 1;
};

}  // namespace ns
