// Hands the HTTP client's image response serializer a reply whose body is the input, with the content
// type its signature suggests, through the whole decoding road: the header reading that bounds what is
// decoded, the decoders (TIFF through libtiff, icon files' directories and their PNG or BMP pictures
// included), and animated pictures' frames. Checks the serializer's promises: a reply gives an
// image or an error, never both missing; an image holds exactly its pixels (and each frame its own), and
// never more of them than the decoding bound.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_check.h"
#include "http_client/HCImageResponseSerializer.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/uikit/drawing/Image.h"

namespace {

std::string contentTypeOf(const ns::Data& body) {
  switch (body.empty() ? 0 : body[0]) {
    case 0xFF:
      return "image/jpeg";
    case 'G':
      return "image/gif";
    case 'I':
    case 'M':
      return "image/tiff";
    case 0:
      return "image/x-icon";
    default:
      return "image/png";
  }
}

bool holdsExactlyItsPixels(const uikit::Image& image) {
  return image.pixelWidth() > 0 && image.pixelHeight() > 0 &&
         image.rgbaPixels().size() == static_cast<std::size_t>(image.pixelWidth()) * image.pixelHeight() * 4;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ns::Data body(data, data + size);
  const auto response = std::make_shared<const ns::HTTPURLResponse>(
      *ns::URL::fromString("http://h/picture"), 200,
      ns::HTTPHeaderFields{{"Content-Type", contentTypeOf(body)}});
  static const auto* serializer =
      new http_client::HCImageResponseSerializer(ns::Dictionary{{"imageScale", 2.0}});
  const http_client::HCSerializedResponse result = serializer->responseObjectForResponse(response, body);
  requireProperty(result.responseImage != nullptr || result.error.has_value(), "an image or an error");
  if (const std::shared_ptr<const uikit::Image>& image = result.responseImage) {
    requireProperty(holdsExactlyItsPixels(*image), "the image holds exactly its pixels");
    std::size_t pixels = static_cast<std::size_t>(image->pixelWidth()) * image->pixelHeight();
    for (const std::shared_ptr<const uikit::Image>& frame : image->images()) {
      requireProperty(holdsExactlyItsPixels(*frame) && frame->pixelWidth() == image->pixelWidth() &&
                          frame->pixelHeight() == image->pixelHeight(),
                      "every frame holds the picture's pixels");
      pixels += static_cast<std::size_t>(frame->pixelWidth()) * frame->pixelHeight();
    }
    requireProperty(image->images().size() != 1, "an animated image has several frames");
    requireProperty(pixels <= 2 * uikit::Image::kMaximumDecodedPixels, "no more pixels than the bound");
  }
  return 0;
}
