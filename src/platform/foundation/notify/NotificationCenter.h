#pragma once

// ns::NotificationCenter: the process's broadcast channel. A poster names a notification; every observer
// registered for that name (or for all names), and for that object (or for any object), is told.
//
// Delivery is synchronous: postNotification() calls each observer on the posting thread and returns when all
// have run, except for block observers registered with a queue other than the posting thread's, which get the
// notification through that queue. Observers run in the order they were registered.
//
// Observers may register and remove observers, themselves included, while a notification is being posted:
// an observer added during a post is not told of that post, and an observer removed during a post is not
// called later in it (nor from a queue it had not yet reached).
//
// Thread-safety: every method may be called from any thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/notify/Notification.h"

namespace ns {

class NotificationCenter {
 public:
  using Block = std::function<void(const Notification&)>;

  // Names one block observer for removeObserver(). A default-constructed token names none.
  class ObserverToken {
   public:
    ObserverToken() = default;

   private:
    friend class NotificationCenter;
    explicit ObserverToken(std::uint64_t id) : id_(id) {}
    std::uint64_t id_ = 0;
  };

  // Returns the process-wide center. It lives for the whole process.
  static NotificationCenter& defaultCenter();

  NotificationCenter();
  ~NotificationCenter();
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  // Registers `block` for notifications called `name` (std::nullopt: every name) whose object is `object`
  // (nullptr: any object; the center keeps only a weak reference for the comparison). With a `queue` the
  // block runs there (at once when the poster is already running on that queue); without one it runs on the
  // posting thread. Returns the token that removes the observer; the observer stays until then.
  // REQUIRES: `queue`, when given, outlives the observer.
  ObserverToken addObserverForName(std::optional<std::string> name, const std::shared_ptr<Object>& object,
                                   DispatchQueue* queue, Block block);

  // Registers `selector` of `observer`, which the center holds weakly: an observer that is gone is never
  // called, and its registrations are dropped. Filters as addObserverForName(); delivered on the posting
  // thread. Removed by removeObserver(observer.get(), ...), which an observer may call from its destructor.
  template <typename T>
  void addObserver(const std::shared_ptr<T>& observer, void (T::*selector)(const Notification&),
                   std::optional<std::string> name, const std::shared_ptr<Object>& object) {
    std::weak_ptr<T> weakObserver = observer;
    addOwnedObserver(observer, observer.get(), std::move(name), object,
                     [weakObserver, selector](const Notification& notification) {
                       if (std::shared_ptr<T> strongObserver = weakObserver.lock()) {
                         ((*strongObserver).*selector)(notification);
                       }
                     });
  }

  // Removes the block observer that `token` names. Does nothing when it was removed before.
  void removeObserver(const ObserverToken& token);
  // Removes every registration of `observer`.
  void removeObserver(const void* observer);
  // Removes the registrations of `observer` that match `name` (std::nullopt: any name) and `object`
  // (nullptr: any object).
  void removeObserver(const void* observer, const std::optional<std::string>& name,
                      const std::shared_ptr<Object>& object);

  // Tells every matching observer, as the header comment describes, and returns once the synchronous ones
  // have run.
  void postNotification(const Notification& notification);
  void postNotificationName(std::string name, std::shared_ptr<Object> object = nullptr,
                            Dictionary userInfo = {});

 private:
  struct Entry;

  void addOwnedObserver(std::weak_ptr<const void> owner, const void* ownerIdentity,
                        std::optional<std::string> name, const std::shared_ptr<Object>& object, Block block);
  std::uint64_t addEntry(std::shared_ptr<Entry> entry);
  // Marks each entry for which `shouldRemove` holds as removed and drops it from the list.
  template <typename Predicate>
  void removeEntriesWhere(Predicate shouldRemove);
  // Returns the entries to tell of `notification`, dropping those whose owner is gone.
  std::vector<std::shared_ptr<Entry>> entriesMatching(const Notification& notification);

  ns::Mutex mutex_;
  std::vector<std::shared_ptr<Entry>> entries_ QM_GUARDED_BY(mutex_);  // In registration order
  std::uint64_t nextId_ QM_GUARDED_BY(mutex_) = 1;
};

}  // namespace ns
