#pragma once

// QMCountedNode: a node of the course chain (subject, stage, course) that counts the lessons below it that
// are downloading ("cachingVideo") and downloaded ("cachedVideo"). A change reaches every node above:
// course, parent course, ..., stage, subject. Both counters are observable attributes of the entity.
//
// Counters never go below 0: a delta that would take one below 0 leaves it at 0 (and the delta still goes
// on up), so a stray transition cannot leave a negative count on screen.
//
// Not thread-safe: main thread only, as the store.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/coredata/ManagedObject.h"

namespace app {

class QMCountedNode : public cd::ManagedObject {
 public:
  static constexpr std::string_view kCachedVideoKey = "cachedVideo";
  static constexpr std::string_view kCachingVideoKey = "cachingVideo";

  std::optional<std::int64_t> cachedVideo() const;
  void setCachedVideo(std::optional<std::int64_t> count);
  std::optional<std::int64_t> cachingVideo() const;
  void setCachingVideo(std::optional<std::int64_t> count);

  // Add `delta` to this node's counter and to each node's above it.
  void cachingVideoNumberChanged(int delta);
  void cachedVideoNumberChanged(int delta);

  // The node whose counters also count this node's lessons: a course's parent course, or its stage when it
  // has none; a stage's subject; nullptr for a subject.
  virtual std::shared_ptr<QMCountedNode> counterParent() const = 0;

 protected:
  QMCountedNode() = default;

 private:
  void addToCounter(std::string_view key, int delta);
  std::size_t counterAttribute(std::string_view key) const;
};

}  // namespace app
