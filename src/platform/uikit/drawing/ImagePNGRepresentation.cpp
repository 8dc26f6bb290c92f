#include "platform/uikit/drawing/ImagePNGRepresentation.h"

#include <stb/stb_image_write.h>

#include <limits>

namespace uikit {

std::optional<ns::Data> ImagePNGRepresentation(const Image& image) {
  const int width = image.pixelWidth();
  const int height = image.pixelHeight();
  if (width <= 0 || height <= 0 || image.rgbaPixels().empty() ||
      width > std::numeric_limits<int>::max() / 4) {
    return std::nullopt;
  }
  ns::Data png;
  const auto append = [](void* context, void* bytes, int size) {
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    static_cast<ns::Data*>(context)->insert(static_cast<ns::Data*>(context)->end(), first, first + size);
  };
  if (stbi_write_png_to_func(append, &png, width, height, 4, image.rgbaPixels().data(), width * 4) == 0) {
    return std::nullopt;
  }
  return png;
}

}  // namespace uikit
