// What picture headers say before decoding: sizes, GIF frame counts, and the PNGs whose pixel data would
// inflate to far more than their size holds, which are refused unread.

#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/drawing/ImageDataInfo.h"
#include "platform/uikit/drawing/ImagePNGRepresentation.h"

namespace uikit {
namespace {

void appendChunk(ns::Data& png, const char* type, const ns::Data& body) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    png.push_back(static_cast<std::uint8_t>(body.size() >> shift));
  }
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), body.begin(), body.end());
  png.insert(png.end(), 4, 0);  // a CRC, which nothing here checks
}

// A 16 x 16 RGBA PNG whose pixel data is `inflatedLength` zero bytes, compressed.
ns::Data pngWithPixelData(std::size_t inflatedLength) {
  ns::Data png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  appendChunk(png, "IHDR", {0, 0, 0, 16, 0, 0, 0, 16, 8, 6, 0, 0, 0});
  const ns::Data zeros(inflatedLength, 0);
  uLongf compressedLength = compressBound(zeros.size());
  ns::Data compressed(compressedLength);
  EXPECT_EQ(compress2(compressed.data(), &compressedLength, zeros.data(), zeros.size(), 9), Z_OK);
  compressed.resize(compressedLength);
  appendChunk(png, "IDAT", compressed);
  appendChunk(png, "IEND", {});
  return png;
}

TEST(ImageDataInfoTest, ReadsTheSizeOfKnownFormatsOnly) {
  const auto picture = Image::imageWithRGBAPixels(5, 3, std::vector<std::uint8_t>(5 * 3 * 4, 200));
  const std::optional<ImageDataInfo> info = imageDataInfo(*ImagePNGRepresentation(*picture));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->pixelWidth, 5);
  EXPECT_EQ(info->pixelHeight, 3);
  EXPECT_EQ(info->frameCount, 1u);
  EXPECT_TRUE(info->fitsWithin(15));
  EXPECT_FALSE(info->fitsWithin(14));

  // A format the decoder could read too, but whose loose signature random bytes match.
  const ns::Data targa = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 0, 32, 0};
  EXPECT_FALSE(imageDataInfo(targa));
  EXPECT_FALSE(imageDataInfo(ns::Data()));
}

TEST(ImageDataInfoTest, RefusesAPNGWhosePixelDataInflatesBeyondItsSize) {
  // 16 rows of a filter byte and 16 RGBA pixels: exactly what the picture holds.
  EXPECT_TRUE(imageDataInfo(pngWithPixelData(16 * (1 + 16 * 4))));
  EXPECT_TRUE(Image::imageWithData(pngWithPixelData(16 * (1 + 16 * 4))));
  // A few kilobytes that inflate to 16 MB.
  const ns::Data bomb = pngWithPixelData(16 * 1024 * 1024);
  EXPECT_LT(bomb.size(), 64u * 1024);
  EXPECT_FALSE(imageDataInfo(bomb));
  EXPECT_EQ(Image::imageWithData(bomb), nullptr);
}

}  // namespace
}  // namespace uikit
