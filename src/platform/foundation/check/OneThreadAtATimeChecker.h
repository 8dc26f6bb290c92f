#pragma once

// ns::OneThreadAtATimeChecker: catches two threads inside one object at once, for
// QM_DCHECK_ONE_THREAD_AT_A_TIME (Check.h). An object whose rule is "one thread at a time" may pass from
// thread to thread but is never used by two at once; it holds one of these as a member, and each public entry
// point marks the object in use for the length of the call. A second thread that enters meanwhile breaks the
// rule; the same thread entering again (a callback into the object) does not.
//
// A copy starts unused: the rule binds an object, not its value.
//
// Thread-safety: may be used from any thread; that is its job.

#include <atomic>
#include <thread>

namespace ns {

class OneThreadAtATimeChecker {
 public:
  OneThreadAtATimeChecker() = default;
  OneThreadAtATimeChecker(const OneThreadAtATimeChecker&) noexcept {}
  OneThreadAtATimeChecker& operator=(const OneThreadAtATimeChecker&) noexcept { return *this; }

  // The object in use by the calling thread, from construction to destruction.
  class [[nodiscard]] Use {
   public:
    explicit Use(const OneThreadAtATimeChecker& checker) : checker_(checker) {
      const std::thread::id self = std::this_thread::get_id();
      std::thread::id user;
      if (checker_.user_.compare_exchange_strong(user, self)) {
        outermost_ = true;
      } else {
        alone_ = user == self;
      }
    }
    ~Use() {
      if (outermost_) {
        checker_.user_.store(std::thread::id());
      }
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    // False when another thread was inside the object as this use began.
    bool alone() const { return alone_; }

   private:
    const OneThreadAtATimeChecker& checker_;
    bool outermost_ = false;
    bool alone_ = true;
  };

 private:
  // The thread inside the object, or no thread.
  mutable std::atomic<std::thread::id> user_{};
};

}  // namespace ns
