#include "platform/foundation/notify/NotificationCenter.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace ns {

namespace {

// Two weak references name the same object when they share its control block, which stays allocated while
// any weak reference exists: a new object at a dead object's address never matches.
bool sameObject(const std::weak_ptr<Object>& filter, const std::shared_ptr<Object>& object) {
  return !filter.owner_before(object) && !object.owner_before(filter);
}

}  // namespace

struct NotificationCenter::Entry {
  Entry(std::optional<std::string> nameFilter, const std::shared_ptr<Object>& objectFilter,
        Block observerBlock)
      : name(std::move(nameFilter)),
        filtersObject(objectFilter != nullptr),
        object(objectFilter),
        block(std::move(observerBlock)) {}

  std::uint64_t id = 0;
  std::optional<std::string> name;  // std::nullopt: every name
  bool filtersObject = false;
  std::weak_ptr<Object> object;
  const void* ownerIdentity = nullptr;  // nullptr for block observers, which have no owner
  std::weak_ptr<const void> owner;
  DispatchQueue* queue = nullptr;
  Block block;
  std::atomic<bool> removed{false};

  bool ownerGone() const { return ownerIdentity != nullptr && owner.expired(); }

  // A notification without an object never reaches an observer that filters on one.
  bool accepts(const Notification& notification) const {
    return (!name || *name == notification.name) &&
           (!filtersObject || sameObject(object, notification.object));
  }

  // Removal filters: std::nullopt and nullptr stand for any name and any object.
  bool registeredFor(const std::optional<std::string>& otherName,
                     const std::shared_ptr<Object>& otherObject) const {
    return (!otherName || name == otherName) &&
           (!otherObject || (filtersObject && sameObject(object, otherObject)));
  }

  void deliver(const Notification& notification) const {
    if (!removed.load()) {
      block(notification);
    }
  }
};

NotificationCenter& NotificationCenter::defaultCenter() {
  // Never destroyed: objects may post or remove their observations while the process exits.
  static NotificationCenter& center = *new NotificationCenter();
  return center;
}

NotificationCenter::NotificationCenter() = default;
NotificationCenter::~NotificationCenter() = default;

NotificationCenter::ObserverToken NotificationCenter::addObserverForName(
    std::optional<std::string> name, const std::shared_ptr<Object>& object, DispatchQueue* queue,
    Block block) {
  auto entry = std::make_shared<Entry>(std::move(name), object, std::move(block));
  entry->queue = queue;
  return ObserverToken(addEntry(std::move(entry)));
}

void NotificationCenter::addOwnedObserver(std::weak_ptr<const void> owner, const void* ownerIdentity,
                                          std::optional<std::string> name,
                                          const std::shared_ptr<Object>& object, Block block) {
  auto entry = std::make_shared<Entry>(std::move(name), object, std::move(block));
  entry->ownerIdentity = ownerIdentity;
  entry->owner = std::move(owner);
  addEntry(std::move(entry));
}

std::uint64_t NotificationCenter::addEntry(std::shared_ptr<Entry> entry) {
  ns::MutexLock lock(mutex_);
  entry->id = nextId_++;
  entries_.push_back(std::move(entry));
  return entries_.back()->id;
}

template <typename Predicate>
void NotificationCenter::removeEntriesWhere(Predicate shouldRemove) {
  ns::MutexLock lock(mutex_);
  std::erase_if(entries_, [&](const std::shared_ptr<Entry>& entry) {
    if (!shouldRemove(*entry)) {
      return false;
    }
    entry->removed.store(true);
    return true;
  });
}

void NotificationCenter::removeObserver(const ObserverToken& token) {
  removeEntriesWhere([&](const Entry& entry) { return entry.id == token.id_; });
}

void NotificationCenter::removeObserver(const void* observer) {
  removeEntriesWhere(
      [&](const Entry& entry) { return observer != nullptr && entry.ownerIdentity == observer; });
}

void NotificationCenter::removeObserver(const void* observer, const std::optional<std::string>& name,
                                        const std::shared_ptr<Object>& object) {
  removeEntriesWhere([&](const Entry& entry) {
    return observer != nullptr && entry.ownerIdentity == observer && entry.registeredFor(name, object);
  });
}

std::vector<std::shared_ptr<NotificationCenter::Entry>> NotificationCenter::entriesMatching(
    const Notification& notification) {
  ns::MutexLock lock(mutex_);
  std::erase_if(entries_, [](const std::shared_ptr<Entry>& entry) { return entry->ownerGone(); });
  std::vector<std::shared_ptr<Entry>> matching;
  for (const std::shared_ptr<Entry>& entry : entries_) {
    if (entry->accepts(notification)) {
      matching.push_back(entry);
    }
  }
  return matching;
}

void NotificationCenter::postNotification(const Notification& notification) {
  for (const std::shared_ptr<Entry>& entry : entriesMatching(notification)) {
    if (entry->queue == nullptr || entry->queue->isCurrent()) {
      entry->deliver(notification);
    } else {
      entry->queue->async([entry, notification] { entry->deliver(notification); });
    }
  }
}

void NotificationCenter::postNotificationName(std::string name, std::shared_ptr<Object> object,
                                              Dictionary userInfo) {
  postNotification(Notification{std::move(name), std::move(object), std::move(userInfo)});
}

}  // namespace ns
