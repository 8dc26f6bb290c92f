#include "platform/uikit/views/ImageView.h"

namespace uikit {

ImageView::ImageView(Rect frame) : View(frame) {
  setUserInteractionEnabled(false);
}

ImageView::ImageView(std::shared_ptr<const Image> image)
    : ImageView(Rect(Point{}, image ? image->size() : Size{})) {
  image_ = std::move(image);
}

Size ImageView::sizeThatFits(Size) const {
  return image_ ? image_->size() : Size{};
}

}  // namespace uikit
