// TIFF and ICO pictures made by an independent tool from a PNG of known pixels decode to those pixels;
// pictures beyond the decoding bound, and damaged files, are refused.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/drawing/ImageDataInfo.h"
#include "platform/uikit/drawing/ImagePNGRepresentation.h"
#include "support/converted_picture.h"

namespace uikit {
namespace {

constexpr int kWidth = 4;
constexpr int kHeight = 3;

// Red, with a blue pixel at the top left and a half see-through green one at the bottom right.
std::vector<std::uint8_t> basePixels() {
  std::vector<std::uint8_t> pixels;
  for (int pixel = 0; pixel < kWidth * kHeight; ++pixel) {
    if (pixel == 0) {
      pixels.insert(pixels.end(), {0, 0, 255, 255});
    } else if (pixel == kWidth * kHeight - 1) {
      pixels.insert(pixels.end(), {0, 255, 0, 128});
    } else {
      pixels.insert(pixels.end(), {255, 0, 0, 255});
    }
  }
  return pixels;
}

ns::Data basePNG() {
  return *ImagePNGRepresentation(*Image::imageWithRGBAPixels(kWidth, kHeight, basePixels()));
}

// The base picture converted with `options` into a file of type `extension`.
ns::Data converted(const std::string& options, const std::string& extension) {
  testsupport::ConvertedPicture picture = testsupport::convertedPicture(basePNG(), options, extension);
  EXPECT_FALSE(picture.bytes.empty())
      << "convert (ImageMagick, scripts/install-deps all) failed: " << picture.output;
  return picture.bytes;
}

// Expects `image` to hold the base picture, each component within `tolerance` (libtiff hands colours over
// premultiplied, so a half see-through pixel may come back one step off).
void expectBasePicture(const std::shared_ptr<const Image>& image, int tolerance = 0) {
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->pixelWidth(), kWidth);
  ASSERT_EQ(image->pixelHeight(), kHeight);
  const std::vector<std::uint8_t> expected = basePixels();
  const std::vector<std::uint8_t>& decoded = image->rgbaPixels();
  ASSERT_EQ(decoded.size(), expected.size());
  for (std::size_t index = 0; index < expected.size(); ++index) {
    EXPECT_NEAR(decoded[index], expected[index], tolerance) << "component " << index;
  }
}

// An icon file whose one entry, a PNG, is `png`.
ns::Data iconHolding(const ns::Data& png) {
  ns::Data icon = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0};
  const auto size = static_cast<std::uint32_t>(png.size());
  for (const std::uint32_t value : {size, std::uint32_t{22}}) {
    for (int shift = 0; shift < 32; shift += 8) {
      icon.push_back(static_cast<std::uint8_t>(value >> shift));
    }
  }
  icon.insert(icon.end(), png.begin(), png.end());
  return icon;
}

TEST(TIFFAndIconTest, TIFFsOfEitherByteOrderAndAnyCompressionDecodeToTheirFirstPicture) {
  for (const std::string options :
       {"-compress lzw", "-compress zip -endian MSB -depth 16", "-compress none"}) {
    SCOPED_TRACE(options);
    const ns::Data tiff = converted(options, "tif");
    const std::optional<ImageDataInfo> info = imageDataInfo(tiff);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->format, ImageDataInfo::Format::kTIFF);
    const std::shared_ptr<const Image> image = Image::imageWithData(tiff, 2);
    expectBasePicture(image, 1);
    EXPECT_EQ(image->size(), (Size{2, 1.5}));
  }
  expectBasePicture(Image::imageWithData(converted("-size 2x2 xc:yellow -compress lzw", "tif")), 1);
}

TEST(TIFFAndIconTest, IconsShowTheirLargestPictureWhetherBitmapOrPNG) {
  expectBasePicture(Image::imageWithData(converted("", "ico")));

  // A bitmap of a palette of colours, its bottom right pixel cleared: the colours come through, and the mask
  // makes that pixel see-through.
  const std::shared_ptr<const Image> paletted = Image::imageWithData(
      converted("-fill none -draw \"color 3,2 replace\" -type PaletteAlpha", "ico"));
  ASSERT_NE(paletted, nullptr);
  const std::vector<std::uint8_t>& pixels = paletted->rgbaPixels();
  EXPECT_EQ(std::vector<std::uint8_t>(pixels.begin(), pixels.begin() + 8),
            (std::vector<std::uint8_t>{0, 0, 255, 255, 255, 0, 0, 255}));
  EXPECT_EQ(pixels.at(pixels.size() - 5), 255) << "the pixel beside it stays opaque";
  EXPECT_EQ(pixels.back(), 0);

  const std::shared_ptr<const Image> resized =
      Image::imageWithData(converted("-define icon:auto-resize=16,32,24", "ico"));
  ASSERT_NE(resized, nullptr);
  EXPECT_EQ(resized->pixelWidth(), 32);

  const ns::Data withPNG = converted("-define icon:auto-resize=16,256", "ico");
  EXPECT_EQ(imageDataInfo(withPNG)->format, ImageDataInfo::Format::kICO);
  const std::shared_ptr<const Image> large = Image::imageWithData(withPNG);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(large->pixelWidth(), 256);
  EXPECT_EQ(large->pixelHeight(), 256);

  expectBasePicture(Image::imageWithData(iconHolding(basePNG())));
}

TEST(TIFFAndIconTest, PicturesBeyondTheBoundAreMeasuredButNeverDecoded) {
  const ns::Data tiff = converted("-sample 4097x4096! -compress zip", "tif");
  std::optional<ImageDataInfo> info = imageDataInfo(tiff);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->pixelWidth, 4097);
  EXPECT_FALSE(info->fitsWithin(Image::kMaximumDecodedPixels));
  EXPECT_EQ(Image::imageWithData(tiff), nullptr);

  // An icon's PNG of 4096 x 4097 pixels, whatever its directory says.
  const ns::Data bigPNG = converted("-sample 4096x4097!", "png");
  const ns::Data icon = iconHolding(bigPNG);
  info = imageDataInfo(icon);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->pixelHeight, 4097);
  EXPECT_EQ(Image::imageWithData(icon), nullptr);
}

TEST(TIFFAndIconTest, DamagedFilesAreRefusedWithoutReadingBeyondTheirBytes) {
  for (const ns::Data& whole : {converted("-compress lzw", "tif"), converted("", "ico"),
                                converted("-type PaletteAlpha", "ico"), iconHolding(basePNG())}) {
    for (std::size_t length = 0; length < whole.size(); length += 7) {
      const ns::Data cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      const std::shared_ptr<const Image> image = Image::imageWithData(cut);
      if (image) {
        EXPECT_EQ(image->rgbaPixels().size(),
                  static_cast<std::size_t>(image->pixelWidth()) * image->pixelHeight() * 4);
      }
    }
  }
  // A directory entry whose picture lies past the end of the file.
  ns::Data icon = iconHolding(basePNG());
  icon[18] = 0xFF;
  EXPECT_FALSE(imageDataInfo(icon).has_value());
  EXPECT_EQ(Image::imageWithData(icon), nullptr);
}

}  // namespace
}  // namespace uikit
