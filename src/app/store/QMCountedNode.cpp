#include "app/store/QMCountedNode.h"

#include <algorithm>
#include <limits>

#include "platform/foundation/check/Check.h"

namespace app {

std::optional<std::int64_t> QMCountedNode::cachedVideo() const {
  return integerValue(counterAttribute(kCachedVideoKey));
}

void QMCountedNode::setCachedVideo(std::optional<std::int64_t> count) {
  QM_DCHECK_MAIN_THREAD();
  setIntegerValue(counterAttribute(kCachedVideoKey), count);
}

std::optional<std::int64_t> QMCountedNode::cachingVideo() const {
  return integerValue(counterAttribute(kCachingVideoKey));
}

void QMCountedNode::setCachingVideo(std::optional<std::int64_t> count) {
  QM_DCHECK_MAIN_THREAD();
  setIntegerValue(counterAttribute(kCachingVideoKey), count);
}

void QMCountedNode::cachingVideoNumberChanged(int delta) {
  QM_DCHECK_MAIN_THREAD();
  addToCounter(kCachingVideoKey, delta);
}

void QMCountedNode::cachedVideoNumberChanged(int delta) {
  QM_DCHECK_MAIN_THREAD();
  addToCounter(kCachedVideoKey, delta);
}

void QMCountedNode::addToCounter(std::string_view key, int delta) {
  std::shared_ptr<QMCountedNode> next;
  for (QMCountedNode* node = this; node != nullptr; node = next.get()) {
    const std::size_t attribute = node->counterAttribute(key);
    // The stored counter is a 32-bit number; it stays within 0 and that type's largest value.
    const std::int64_t sum = node->integerValue(attribute).value_or(0) + delta;
    node->setIntegerValue(attribute,
                          std::clamp<std::int64_t>(sum, 0, std::numeric_limits<std::int32_t>::max()));
    next = node->counterParent();
  }
}

std::size_t QMCountedNode::counterAttribute(std::string_view key) const {
  return *entity().attributeIndex(key);
}

}  // namespace app
