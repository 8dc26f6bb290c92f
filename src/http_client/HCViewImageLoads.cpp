#include "http_client/HCViewImageLoads.h"

#include <algorithm>

#include "platform/foundation/check/Check.h"

namespace http_client {

HCViewImageLoads& HCViewImageLoads::shared() {
  static auto* table = new HCViewImageLoads();
  return *table;
}

std::shared_ptr<HCHTTPRequestOperation> HCViewImageLoads::operation(const uikit::View& view,
                                                                    HCImageSlot slot) const {
  QM_DCHECK_MAIN_THREAD();
  const Entry* entry = liveEntry(view);
  if (entry == nullptr) {
    return nullptr;
  }
  const auto found = entry->operations.find(slot);
  return found == entry->operations.end() ? nullptr : found->second;
}

std::shared_ptr<HCHTTPRequestOperation> HCViewImageLoads::exchangeOperation(
    const std::shared_ptr<uikit::View>& view, HCImageSlot slot,
    std::shared_ptr<HCHTTPRequestOperation> operation) {
  QM_DCHECK_MAIN_THREAD();
  Entry& entry = entryFor(view);
  std::shared_ptr<HCHTTPRequestOperation> previous;
  if (const auto found = entry.operations.find(slot); found != entry.operations.end()) {
    previous = std::move(found->second);
    entry.operations.erase(found);
  }
  if (operation) {
    entry.operations.emplace(slot, std::move(operation));
  }
  return previous;
}

std::shared_ptr<HCImageResponseSerializer> HCViewImageLoads::serializer(const uikit::View& view) const {
  QM_DCHECK_MAIN_THREAD();
  const Entry* entry = liveEntry(view);
  return entry == nullptr ? nullptr : entry->serializer;
}

void HCViewImageLoads::setSerializer(const std::shared_ptr<uikit::View>& view,
                                     std::shared_ptr<HCImageResponseSerializer> serializer) {
  QM_DCHECK_MAIN_THREAD();
  entryFor(view).serializer = std::move(serializer);
}

void HCViewImageLoads::removeAllForTesting() {
  QM_DCHECK_MAIN_THREAD();
  entries_.clear();
  sizeAfterLastSweep_ = 0;
}

const HCViewImageLoads::Entry* HCViewImageLoads::liveEntry(const uikit::View& view) const {
  const auto found = entries_.find(&view);
  if (found == entries_.end() || found->second.view.expired()) {
    return nullptr;
  }
  return &found->second;
}

HCViewImageLoads::Entry& HCViewImageLoads::entryFor(const std::shared_ptr<uikit::View>& view) {
  auto found = entries_.find(view.get());
  if (found != entries_.end() && !found->second.view.expired()) {
    return found->second;
  }
  if (found != entries_.end()) {
    entries_.erase(found);
  }
  sweepWhenGrown();
  Entry& entry = entries_[view.get()];
  entry.view = view;
  return entry;
}

void HCViewImageLoads::sweepWhenGrown() {
  if (entries_.size() < std::max<std::size_t>(2 * sizeAfterLastSweep_, 64)) {
    return;
  }
  std::erase_if(entries_, [](const auto& entry) { return entry.second.view.expired(); });
  sizeAfterLastSweep_ = entries_.size();
}

}  // namespace http_client
