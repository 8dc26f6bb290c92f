#include "platform/uikit/drawing/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/foundation/storage/Bundle.h"
#include "platform/uikit/drawing/ImagePNGRepresentation.h"

namespace uikit {
namespace {

// A 4 x 2 picture of red pixels.
const ns::Data kRedPng = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49,
                          0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02,
                          0x00, 0x00, 0x00, 0xF0, 0xCA, 0xEA, 0x34, 0x00, 0x00, 0x00, 0x10, 0x49, 0x44,
                          0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0x00, 0x47, 0x0C, 0xC8, 0x1C,
                          0x00, 0x6F, 0xAA, 0x07, 0xF9, 0x80, 0xDC, 0x00, 0x28, 0x00, 0x00, 0x00, 0x00,
                          0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

TEST(ImageTest, DecodesBytesIntoPixelsAtTheScaleAsked) {
  const auto image = Image::imageWithData(kRedPng, 2);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->pixelWidth(), 4);
  EXPECT_EQ(image->size(), (Size{2, 1}));
  ASSERT_EQ(image->rgbaPixels().size(), 4u * 2u * 4u);
  EXPECT_EQ(image->rgbaPixels()[0], 255);
  EXPECT_EQ(image->rgbaPixels()[3], 255);
  EXPECT_EQ(Image::imageWithData(ns::dataFromString("<html>"), 1), nullptr);
}

TEST(ImageTest, FindsBundlePicturesByNamePreferringTheDoubleScaleFileAndKeepsTheNameOfAMissingOne) {
  const auto bundle = std::filesystem::temp_directory_path() /
                      ("image_test_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  std::filesystem::remove_all(bundle);
  std::filesystem::create_directories(bundle);
  for (const char* fileName : {"home_arrow_up@2x.png", "DL_delete.png"}) {
    std::ofstream(bundle / fileName, std::ios::binary)
        .write(reinterpret_cast<const char*>(kRedPng.data()), static_cast<std::streamsize>(kRedPng.size()));
  }
  ns::Bundle::setMainBundleResourcePathForTesting(bundle.string());

  const auto doubled = Image::imageNamed("home_arrow_up");
  EXPECT_EQ(doubled->name(), "home_arrow_up");
  EXPECT_EQ(doubled->scale(), 2);
  EXPECT_EQ(doubled->size(), (Size{2, 1}));
  EXPECT_EQ(Image::imageNamed("DL_delete")->size(), (Size{4, 2}));
  EXPECT_EQ(Image::imageWithContentsOfFile((bundle / "home_arrow_up@2x.png").string())->scale(), 2);

  const auto missing = Image::imageNamed("avater");
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(missing->name(), "avater");
  EXPECT_EQ(missing->size(), Size{});
  EXPECT_TRUE(missing->rgbaPixels().empty());
  EXPECT_EQ(Image::imageWithContentsOfFile((bundle / "avater.png").string()), nullptr);

  ns::Bundle::setMainBundleResourcePathForTesting(std::nullopt);
  std::filesystem::remove_all(bundle);
}

TEST(ImageTest, PixelsMadeByTheProgramBecomeAnImageAndRoundTripThroughPNG) {
  // 3 x 2 pixels: a red, a green and a see-through blue one on each row.
  std::vector<std::uint8_t> pixels;
  for (int row = 0; row < 2; ++row) {
    pixels.insert(pixels.end(), {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 128});
  }
  const auto image = Image::imageWithRGBAPixels(3, 2, pixels);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->size(), (Size{3, 2}));
  EXPECT_EQ(image->scale(), 1);

  const std::optional<ns::Data> png = ImagePNGRepresentation(*image);
  ASSERT_TRUE(png.has_value());
  const auto decoded = Image::imageWithData(*png);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->pixelWidth(), 3);
  EXPECT_EQ(decoded->pixelHeight(), 2);
  EXPECT_EQ(decoded->rgbaPixels(), pixels);

  EXPECT_EQ(Image::imageWithRGBAPixels(3, 2, std::vector<std::uint8_t>(23)), nullptr) << "one byte short";
  EXPECT_EQ(Image::imageWithRGBAPixels(0, 2, {}), nullptr);
  EXPECT_EQ(Image::imageWithRGBAPixels(-3, -2, pixels), nullptr);
  EXPECT_FALSE(ImagePNGRepresentation(*Image::imageNamed("no-such-picture")).has_value()) << "only named";
}

}  // namespace
}  // namespace uikit
