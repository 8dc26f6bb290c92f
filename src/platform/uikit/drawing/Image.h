#pragma once

// uikit::Image: a picture with a size in points and a scale (pixels per point), as the platform's images are.
//
// An image is either decoded (PNG, JPEG, GIF, BMP, TIFF or ICO bytes, from the bundle, a file or memory; of a
// TIFF its first picture, of an icon file its largest, ICOData.h), in which case it holds its pixels, or only
// named: imageNamed() always returns an image with the name asked for, so that a
// screen that names a picture the bundle lacks still runs, and tests can read which picture a view shows.
// Images are immutable once made and shared through std::shared_ptr<const Image>. A GIF of several frames
// decodes into an animated image: its own pixels are the first frame's, and images() lists every frame.
// Decoding refuses bytes whose pixels, all frames together, would exceed kMaximumDecodedPixels, before
// anything is decoded.
//
// Thread-safety: an image may be read from any thread; the factories may be called from any thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/uikit/drawing/DecodedPixels.h"
#include "platform/uikit/drawing/ImageDataInfo.h"
#include "platform/uikit/geometry/Geometry.h"

namespace uikit {

class Image {
 public:
  // The most pixels one decoding makes, all frames together: 4096 x 4096, 64 MiB of RGBA.
  static constexpr std::size_t kMaximumDecodedPixels = std::size_t{4096} * 4096;

  // Returns the bundle picture `name` (looked up as "<name>@2x.png", then "<name>.png", then `name` itself),
  // decoded at the scale its file name states. When the bundle has no such picture, or it does not decode,
  // returns an empty image (zero size, no pixels) that still carries `name`. Never nullptr.
  static std::shared_ptr<const Image> imageNamed(std::string_view name);
  // Decodes `data` at `scale`. Returns nullptr when the bytes are not a picture, or a larger one than
  // kMaximumDecodedPixels.
  static std::shared_ptr<const Image> imageWithData(const ns::Data& data, double scale = 1);
  // As imageWithData(), for a caller that has read the headers already.
  // REQUIRES: `info` is what imageDataInfo(data) returned.
  static std::shared_ptr<const Image> imageWithData(const ns::Data& data, const ImageDataInfo& info,
                                                    double scale);
  // Decodes the file at `path`, at the scale its name states ("@2x", "@3x", else 1), and names it `name` (a
  // picture of a resource bundle keeps its resource name that way). Returns nullptr when the file cannot be
  // read or does not decode.
  static std::shared_ptr<const Image> imageWithContentsOfFile(const std::string& path, std::string name = {});
  // An image of `pixels`, four bytes (red, green, blue, alpha) per pixel, row by row, `width` by `height`
  // pixels at scale 1: a picture made by the program, such as a video frame. Returns nullptr when the size
  // is not positive or the pixels do not fill it exactly.
  static std::shared_ptr<const Image> imageWithRGBAPixels(int width, int height,
                                                          std::vector<std::uint8_t> pixels);

  // An image of `size` points at `scale` without pixels: a picture drawn by the caller, which the stand-in
  // does not paint.
  Image(std::string name, Size size, double scale);

  // The bundle name the image was asked for by; empty for images made from bytes, or from files without one.
  const std::string& name() const { return name_; }
  Size size() const { return size_; }
  double scale() const { return scale_; }
  int pixelWidth() const { return pixelWidth_; }
  int pixelHeight() const { return pixelHeight_; }
  // Decoded pixels, four bytes (red, green, blue, alpha) per pixel, row by row; empty when not decoded.
  const std::vector<std::uint8_t>& rgbaPixels() const { return pixels_; }

  // The frames of an animated image, each at the image's scale; empty for a still image.
  const std::vector<std::shared_ptr<const Image>>& images() const { return frames_; }
  // Seconds one pass through the frames takes; 0 for a still image.
  double duration() const { return duration_; }

  // Cap insets of a resizable image; zero for others.
  const EdgeInsets& capInsets() const { return capInsets_; }
  // Returns a copy of this image that stretches between `insets`.
  std::shared_ptr<const Image> resizableImageWithCapInsets(EdgeInsets insets) const;

 private:
  // Decodes `data`; returns nullptr when it does not decode or is too large.
  static std::shared_ptr<Image> decode(const ns::Data& data, double scale, std::string name);
  // As decode(), with the headers of `data` read. REQUIRES: `info` is what imageDataInfo(data) returned.
  static std::shared_ptr<Image> decode(const ns::Data& data, const ImageDataInfo& info, double scale,
                                       std::string name);
  // Decodes the frames of a GIF; a single frame gives a still image.
  static std::shared_ptr<Image> decodeGIF(const ns::Data& data, double scale, std::string name);
  // Decodes the picture an icon file shows. REQUIRES: `info` is what imageDataInfo(data) returned.
  static std::shared_ptr<Image> decodeICO(const ns::Data& data, const ImageDataInfo& info, double scale,
                                          std::string name);
  // An image of what a decoder handed over, or nullptr when it decoded nothing.
  static std::shared_ptr<Image> imageOfPixels(std::string name, std::optional<DecodedPixels> pixels,
                                              double scale);
  // An image of `pixels`, `width` by `height`, at `scale`.
  static std::shared_ptr<Image> imageOfPixels(std::string name, int width, int height, double scale,
                                              std::vector<std::uint8_t> pixels);

  std::string name_;
  Size size_;
  double scale_ = 1;
  int pixelWidth_ = 0;
  int pixelHeight_ = 0;
  std::vector<std::uint8_t> pixels_;
  EdgeInsets capInsets_;
  std::vector<std::shared_ptr<const Image>> frames_;
  double duration_ = 0;
};

}  // namespace uikit
