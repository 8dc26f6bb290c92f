#pragma once

// uikit::TargetActions: the target–action list of a control, bar button item or gesture recogniser. Each
// entry pairs a target, held weakly as the platform holds control targets, with an action to call on it and
// the events it answers. An entry whose target has gone is skipped. An entry may also have no target: a view
// that owns the sender wires its own parts that way, since its action can never outlive it. Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace uikit {

template <typename Sender>
class TargetActions {
 public:
  using Action = std::function<void(Sender& sender)>;

  // Adds `action` for `events` (a bit set); `target` is held weakly and names the entry for remove().
  void add(std::weak_ptr<const void> target, Action action, std::uint64_t events) {
    entries_.push_back(Entry{std::move(target), std::move(action), events});
  }

  // Adds `action` for `events` without a target. REQUIRES: what `action` captures outlives the sender.
  void add(Action action, std::uint64_t events) {
    entries_.push_back(Entry{std::nullopt, std::move(action), events});
  }

  // Adds `method` of `target` for `events`. The method receives the sender as the type it asks for.
  // REQUIRES: every sender that sends these events is a SenderType.
  template <typename T, typename SenderType>
  void add(const std::shared_ptr<T>& target, void (T::*method)(SenderType&), std::uint64_t events) {
    std::weak_ptr<T> weakTarget = target;
    add(
        std::weak_ptr<const void>(target),
        [weakTarget, method](Sender& sender) {
          if (std::shared_ptr<T> strongTarget = weakTarget.lock()) {
            ((*strongTarget).*method)(dynamic_cast<SenderType&>(sender));
          }
        },
        events);
  }

  // Removes `target`'s entries for any of `events`; a null target removes every entry for them.
  void remove(const void* target, std::uint64_t events) {
    std::erase_if(entries_, [&](const Entry& entry) {
      const bool sameTarget = target == nullptr || (entry.target && entry.target->lock().get() == target);
      return sameTarget && (entry.events & events) != 0;
    });
  }

  // Calls, in the order they were added, the actions for any of `events` whose target is still alive.
  void send(Sender& sender, std::uint64_t events) const {
    const std::vector<Entry> entries = entries_;  // actions may add or remove entries
    for (const Entry& entry : entries) {
      if ((entry.events & events) != 0 && entry.isAlive()) {
        entry.action(sender);
      }
    }
  }

 private:
  struct Entry {
    std::optional<std::weak_ptr<const void>> target;  // std::nullopt: no target
    Action action;
    std::uint64_t events;

    bool isAlive() const { return !target || !target->expired(); }
  };

  std::vector<Entry> entries_;
};

}  // namespace uikit
