#pragma once

// Pictures for the image-loading tests: PNG and JPEG files made from pixels, a small animated GIF, and
// headers that claim pictures too large to decode.

#include <stb/stb_image_write.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/values/Data.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/drawing/ImagePNGRepresentation.h"
#include "support/test_response.h"

namespace http_client::imagetest {

// A `width` x `height` picture of one opaque colour, as PNG bytes.
inline ns::Data pngOfColour(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(static_cast<std::size_t>(width) * height * 4);
  for (int pixel = 0; pixel < width * height; ++pixel) {
    pixels.insert(pixels.end(), {red, green, blue, 255});
  }
  return *uikit::ImagePNGRepresentation(*uikit::Image::imageWithRGBAPixels(width, height, std::move(pixels)));
}

// A `width` x `height` grey picture as JPEG bytes.
inline ns::Data greyJPEG(int width, int height) {
  const std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3, 128);
  ns::Data jpeg;
  stbi_write_jpg_to_func(
      [](void* context, void* data, int size) {
        auto* bytes = static_cast<ns::Data*>(context);
        bytes->insert(bytes->end(), static_cast<std::uint8_t*>(data),
                      static_cast<std::uint8_t*>(data) + size);
      },
      &jpeg, width, height, 3, pixels.data(), 90);
  return jpeg;
}

// The signature and header chunk of a PNG of `width` x `height` pixels, with no pixel data after them.
inline ns::Data pngHeaderClaiming(std::uint32_t width, std::uint32_t height) {
  ns::Data png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (const std::uint32_t value : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) {
      png.push_back(static_cast<std::uint8_t>(value >> shift));
    }
  }
  png.insert(png.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});  // 8-bit RGBA, then a CRC the decoder does not check
  return png;
}

// One frame of a 1 x 1 GIF: a 1/10 s graphic control, the descriptor and one pixel of colour index 0 from
// the frame's own two-colour table when `localColours` holds one, else from the global one.
inline void appendGIFFrame(ns::Data& gif, const std::vector<std::uint8_t>& localColours) {
  gif.insert(gif.end(), {0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00});
  gif.insert(gif.end(),
             {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, static_cast<std::uint8_t>(localColours.empty() ? 0 : 0x80)});
  gif.insert(gif.end(), localColours.begin(), localColours.end());
  gif.insert(gif.end(), {0x02, 0x02, 0x44, 0x01, 0x00});
}

// A 1 x 1 GIF header with a global table of red and blue.
inline ns::Data gifHeader(std::uint16_t width = 1, std::uint16_t height = 1) {
  return ns::Data{'G',
                  'I',
                  'F',
                  '8',
                  '9',
                  'a',
                  static_cast<std::uint8_t>(width),
                  static_cast<std::uint8_t>(width >> 8),
                  static_cast<std::uint8_t>(height),
                  static_cast<std::uint8_t>(height >> 8),
                  0x80,
                  0,
                  0,
                  0xFF,
                  0,
                  0,
                  0,
                  0,
                  0xFF};
}

// A 1 x 1 GIF of two frames, 1/10 s each: red, then green.
inline ns::Data redThenGreenGIF() {
  ns::Data gif = gifHeader();
  appendGIFFrame(gif, {});
  appendGIFFrame(gif, {0, 0xFF, 0, 0, 0, 0});
  gif.push_back(0x3B);
  return gif;
}

inline std::string bodyOf(const ns::Data& data) {
  return std::string(data.begin(), data.end());
}

// A 200 reply of `contentType` carrying `data`.
inline testsupport::TestResponse imageReply(const ns::Data& data, std::string contentType = "image/png",
                                            int status = 200) {
  testsupport::TestResponse response;
  response.status = status;
  response.headers = {{"Content-Type", std::move(contentType)}};
  response.body = bodyOf(data);
  return response;
}

// The first pixel's red, green and blue.
inline std::vector<int> firstPixel(const uikit::Image& image) {
  return {image.rgbaPixels().at(0), image.rgbaPixels().at(1), image.rgbaPixels().at(2)};
}

}  // namespace http_client::imagetest
