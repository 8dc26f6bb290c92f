// The image response serializer: what it accepts, the images it makes at its scale (animated ones with
// their frames), the errors that say why a reply yields no image, and its archived and copied forms.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "http_client/HCImageResponseSerializer.h"
#include "http_client/HCSerializerCoding.h"
#include "http_client/image_test_util.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/uikit/app/Screen.h"
#include "support/converted_picture.h"

namespace http_client {
namespace {

using imagetest::pngOfColour;

std::shared_ptr<const ns::URLResponse> reply(int status, const std::string& contentType) {
  return std::make_shared<const ns::HTTPURLResponse>(*ns::URL::fromString("http://h/avatar"), status,
                                                     ns::HTTPHeaderFields{{"Content-Type", contentType}});
}

HCSerializedResponse serialize(const ns::Data& body, const std::string& contentType = "image/png",
                               int status = 200, double scale = 2) {
  HCImageResponseSerializer serializer;
  serializer.setImageScale(scale);
  return serializer.responseObjectForResponse(reply(status, contentType), body);
}

bool isUndecodableError(const std::optional<ns::Error>& error) {
  return error && error->domain() == kHCURLResponseSerializationErrorDomain &&
         error->code() == kHCResponseErrorCannotDecodeContentData;
}

TEST(HCImageResponseSerializer, DecodesPNGAndJPEGRepliesAtItsScaleOnBothSidesOfTheInflationSize) {
  for (const auto& [width, height] : {std::pair{1024, 1024}, std::pair{1025, 1024}}) {
    const HCSerializedResponse png = serialize(pngOfColour(width, height, 10, 200, 30));
    ASSERT_NE(png.responseImage, nullptr) << width;
    EXPECT_FALSE(png.error);
    EXPECT_EQ(png.responseImage->pixelWidth(), width);
    EXPECT_EQ(png.responseImage->size(), (uikit::Size{width / 2.0, height / 2.0}));
    EXPECT_EQ(imagetest::firstPixel(*png.responseImage), (std::vector<int>{10, 200, 30}));
  }
  const HCSerializedResponse jpeg = serialize(imagetest::greyJPEG(40, 20), "image/jpeg", 200, 3);
  ASSERT_NE(jpeg.responseImage, nullptr);
  EXPECT_NEAR(jpeg.responseImage->size().width, 40 / 3.0, 1e-9);
  EXPECT_EQ(jpeg.responseImage->scale(), 3);
  EXPECT_FALSE(jpeg.responseObject);
}

TEST(HCImageResponseSerializer, DecodesTIFFAndIconRepliesAndRefusesOnesBeyondTheBound) {
  const ns::Data png = pngOfColour(6, 4, 10, 200, 30);
  for (const auto& [options, extension, contentType] :
       {std::tuple{"-compress lzw", "tif", "image/tiff"}, std::tuple{"", "ico", "image/x-icon"},
        std::tuple{"-define icon:auto-resize=256", "ico", "image/ico"}}) {
    SCOPED_TRACE(contentType);
    const testsupport::ConvertedPicture picture = testsupport::convertedPicture(png, options, extension);
    ASSERT_FALSE(picture.bytes.empty()) << "convert (ImageMagick) failed: " << picture.output;
    const HCSerializedResponse result = serialize(picture.bytes, contentType);
    ASSERT_NE(result.responseImage, nullptr);
    EXPECT_FALSE(result.error);
    EXPECT_EQ(imagetest::firstPixel(*result.responseImage), (std::vector<int>{10, 200, 30}));
    EXPECT_EQ(result.responseImage->scale(), 2);
  }
  const testsupport::ConvertedPicture huge =
      testsupport::convertedPicture(png, "-sample 5000x5000! -compress zip", "tif");
  const HCSerializedResponse refused = serialize(huge.bytes, "image/tiff");
  EXPECT_EQ(refused.responseImage, nullptr);
  ASSERT_TRUE(isUndecodableError(refused.error));
  EXPECT_NE(refused.error->localizedDescription().find("too large"), std::string::npos);
}

TEST(HCImageResponseSerializer, ReturnsAnAnimatedGIFWithItsFramesWhetherOrNotItInflates) {
  for (const bool inflates : {true, false}) {
    HCImageResponseSerializer serializer;
    serializer.setAutomaticallyInflatesResponseImage(inflates);
    const HCSerializedResponse gif =
        serializer.responseObjectForResponse(reply(200, "image/gif"), imagetest::redThenGreenGIF());
    ASSERT_NE(gif.responseImage, nullptr);
    ASSERT_EQ(gif.responseImage->images().size(), 2u);
    EXPECT_EQ(imagetest::firstPixel(*gif.responseImage->images()[0]), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(imagetest::firstPixel(*gif.responseImage->images()[1]), (std::vector<int>{0, 255, 0}));
    EXPECT_DOUBLE_EQ(gif.responseImage->duration(), 0.2);
  }
}

TEST(HCImageResponseSerializer, KeepsTheImageOfARefusedStatusButReturnsNoneForAnUnacceptableType) {
  const HCSerializedResponse notFound = serialize(pngOfColour(2, 2, 1, 2, 3), "image/png", 404);
  EXPECT_NE(notFound.responseImage, nullptr);
  ASSERT_TRUE(notFound.error);
  EXPECT_EQ(notFound.error->code(), kHCResponseErrorBadServerResponse);

  const HCSerializedResponse html = serialize(pngOfColour(2, 2, 1, 2, 3), "text/html");
  EXPECT_EQ(html.responseImage, nullptr);
  EXPECT_TRUE(isUndecodableError(html.error));
  EXPECT_EQ(serialize(pngOfColour(2, 2, 1, 2, 3), "image/x-icon").responseImage != nullptr, true);
}

// A reply that yields no image says so, so that the load reports a failure rather than an empty success;
// nothing larger than the decoding bound is decoded, whatever its header claims.
TEST(HCImageResponseSerializer, ReportsABodyThatIsNoPictureOrTooLargeAsAnErrorWithoutDecodingIt) {
  for (const ns::Data& body : {ns::dataFromString("<html>not a picture</html>"), ns::Data(),
                               ns::Data{0x89, 'P'}, imagetest::pngHeaderClaiming(4, 4)}) {
    const HCSerializedResponse result = serialize(body);
    EXPECT_EQ(result.responseImage, nullptr);
    EXPECT_TRUE(isUndecodableError(result.error)) << body.size();
  }
  const HCSerializedResponse huge = serialize(imagetest::pngHeaderClaiming(5000, 5000));
  EXPECT_EQ(huge.responseImage, nullptr);
  ASSERT_TRUE(isUndecodableError(huge.error));
  EXPECT_NE(huge.error->localizedDescription().find("too large"), std::string::npos);
  EXPECT_EQ(serialize(imagetest::pngHeaderClaiming(4097, 4096)).responseImage, nullptr);

  // Each frame is small, but the frames together are more than the bound.
  ns::Data manyFrames = imagetest::gifHeader(128, 128);
  for (int frame = 0; frame < 1025; ++frame) {
    imagetest::appendGIFFrame(manyFrames, {});
  }
  manyFrames.push_back(0x3B);
  const HCSerializedResponse tooManyFrames = serialize(manyFrames, "image/gif");
  EXPECT_EQ(tooManyFrames.responseImage, nullptr);
  EXPECT_TRUE(isUndecodableError(tooManyFrames.error));
}

TEST(HCImageResponseSerializer, ArchivesAndCopiesItsScaleAndInflationSwitch) {
  HCImageResponseSerializer defaults;
  EXPECT_EQ(defaults.imageScale(), uikit::Screen::mainScreen().scale());
  EXPECT_TRUE(defaults.automaticallyInflatesResponseImage());
  EXPECT_EQ(defaults.acceptableContentTypes()->size(), 10u);

  HCImageResponseSerializer changed;
  changed.setImageScale(3);
  changed.setAutomaticallyInflatesResponseImage(false);
  changed.setAcceptableContentTypes(std::set<std::string>{"image/png"});
  const std::shared_ptr<HCHTTPResponseSerializer> decoded =
      HCDecodeResponseSerializer(HCEncodeResponseSerializer(changed));
  const auto decodedImage = std::dynamic_pointer_cast<HCImageResponseSerializer>(decoded);
  ASSERT_NE(decodedImage, nullptr);
  EXPECT_EQ(decodedImage->imageScale(), 3);
  EXPECT_FALSE(decodedImage->automaticallyInflatesResponseImage());
  EXPECT_EQ(decodedImage->acceptableContentTypes(), std::optional<std::set<std::string>>({"image/png"}));

  const auto copy = std::dynamic_pointer_cast<HCImageResponseSerializer>(changed.copy());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->imageScale(), 3);
  EXPECT_FALSE(copy->automaticallyInflatesResponseImage());
  EXPECT_EQ(copy->acceptableContentTypes()->size(), 10u);
}

}  // namespace
}  // namespace http_client
