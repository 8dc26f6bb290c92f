#pragma once

// uikit::ImageView: a view that shows an image (by name from the bundle, or decoded). Like labels, image
// views let touches pass to the view behind them. It adds nothing to the screen text: pictures are not text.
//
// Thread-safety: main thread only, like every class of uikit.

#include <memory>

#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/views/View.h"

namespace uikit {

class ImageView : public View {
 public:
  explicit ImageView(Rect frame = {});
  // A view sized to `image`, at the origin.
  explicit ImageView(std::shared_ptr<const Image> image);

  // The image shown, or nullptr.
  const std::shared_ptr<const Image>& image() const { return image_; }
  void setImage(std::shared_ptr<const Image> image) { image_ = std::move(image); }

  // The image's size (zero without one).
  Size sizeThatFits(Size size) const override;

 private:
  std::shared_ptr<const Image> image_;
};

}  // namespace uikit
