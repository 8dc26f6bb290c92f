#pragma once

// HCViewImageLoads: what image loads keep on each view, beside the view rather than inside it: the view's
// own image response serializer, and the current request operation of each of its image slots (an image
// view has one; a button one per kind of image and per control-state slot). What a view kept goes when the
// view does.
//
// Thread-safety: main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

#include "http_client/HCHTTPRequestOperation.h"
#include "http_client/HCImageResponseSerializer.h"
#include "platform/uikit/views/View.h"

namespace http_client {

// One image slot of a view: a kind of image (an image view's image, a button's image or background image)
// and, for buttons, the control-state slot.
struct HCImageSlot {
  enum class Kind : std::uint8_t { kImageViewImage, kButtonImage, kButtonBackgroundImage };
  Kind kind = Kind::kImageViewImage;
  std::uint32_t state = 0;

  friend auto operator<=>(const HCImageSlot&, const HCImageSlot&) = default;
};

class HCViewImageLoads {
 public:
  // The one table of the process.
  static HCViewImageLoads& shared();

  // The current operation of `slot` of `view`, or nullptr.
  std::shared_ptr<HCHTTPRequestOperation> operation(const uikit::View& view, HCImageSlot slot) const;
  // Makes `operation` the current one of the slot (nullptr forgets it) and returns the one it replaces.
  std::shared_ptr<HCHTTPRequestOperation> exchangeOperation(
      const std::shared_ptr<uikit::View>& view, HCImageSlot slot,
      std::shared_ptr<HCHTTPRequestOperation> operation);

  // The view's own serializer, or nullptr.
  std::shared_ptr<HCImageResponseSerializer> serializer(const uikit::View& view) const;
  void setSerializer(const std::shared_ptr<uikit::View>& view,
                     std::shared_ptr<HCImageResponseSerializer> serializer);

  // Forgets every view.
  void removeAllForTesting();

 private:
  struct Entry {
    std::weak_ptr<const uikit::View> view;
    std::shared_ptr<HCImageResponseSerializer> serializer;
    std::map<HCImageSlot, std::shared_ptr<HCHTTPRequestOperation>> operations;
  };

  // The entry of a live view, or nullptr (a view that has gone may have left an entry at its address).
  const Entry* liveEntry(const uikit::View& view) const;
  // The entry of `view`, made afresh when there is none or it belonged to a view that has gone.
  Entry& entryFor(const std::shared_ptr<uikit::View>& view);
  // Drops the entries of views that have gone, once the table has doubled since the last sweep.
  void sweepWhenGrown();

  std::unordered_map<const uikit::View*, Entry> entries_;
  std::size_t sizeAfterLastSweep_ = 0;
};

}  // namespace http_client
