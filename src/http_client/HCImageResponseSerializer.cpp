#include "http_client/HCImageResponseSerializer.h"

#include "http_client/HCResponseSerializationErrors.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/values/Result.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/uikit/app/Screen.h"
#include "platform/uikit/drawing/Image.h"
#include "platform/uikit/drawing/ImageDataInfo.h"

namespace http_client {

namespace {

constexpr char kImageScaleCodingKey[] = "imageScale";
constexpr char kInflatesCodingKey[] = "automaticallyInflatesResponseImage";

// An error of the response checks' domain that names the response when it is an HTTP one. The body is left
// out: it may be tens of megabytes.
ns::Error undecodableImageError(std::string description, const ns::URLResponse* response) {
  if (const auto* httpResponse = dynamic_cast<const ns::HTTPURLResponse*>(response)) {
    return HCResponseSerializationError(kHCResponseErrorCannotDecodeContentData, std::move(description),
                                        *httpResponse, std::nullopt);
  }
  return ns::Error(std::string(kHCURLResponseSerializationErrorDomain),
                   kHCResponseErrorCannotDecodeContentData,
                   ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), std::move(description)}});
}

// Decodes `body` at `scale`, or returns the error that says why it yields no image.
ns::Result<std::shared_ptr<const uikit::Image>> decodedImage(const ns::Data& body, double scale,
                                                             const ns::URLResponse* response) {
  const std::optional<uikit::ImageDataInfo> info = uikit::imageDataInfo(body);
  if (info && !info->fitsWithin(uikit::Image::kMaximumDecodedPixels)) {
    return undecodableImageError(
        "Request failed: image too large to decode (" + std::to_string(info->pixelWidth) + " x " +
            std::to_string(info->pixelHeight) + " pixels, " + std::to_string(info->frameCount) + " frames)",
        response);
  }
  std::shared_ptr<const uikit::Image> image =
      info ? uikit::Image::imageWithData(body, *info, scale) : nullptr;
  if (!image) {
    return undecodableImageError("Request failed: the image data could not be decoded", response);
  }
  return image;
}

}  // namespace

std::shared_ptr<HCImageResponseSerializer> HCImageResponseSerializer::serializer() {
  return std::make_shared<HCImageResponseSerializer>();
}

HCImageResponseSerializer::HCImageResponseSerializer()
    : HCImageResponseSerializer(Settings{uikit::Screen::mainScreen().scale(), true}) {}

HCImageResponseSerializer::HCImageResponseSerializer(Settings settings)
    : imageScale_(settings.imageScale), automaticallyInflates_(settings.automaticallyInflates) {
  setAcceptableContentTypes(std::set<std::string>{"image/tiff", "image/jpeg", "image/gif", "image/png",
                                                  "image/ico", "image/x-icon", "image/bmp", "image/x-bmp",
                                                  "image/x-xbitmap", "image/x-win-bitmap"});
}

HCImageResponseSerializer::HCImageResponseSerializer(const ns::Dictionary& coder)
    : HCImageResponseSerializer() {
  const HCHTTPResponseSerializer decoded(coder);
  setAcceptableStatusCodes(decoded.acceptableStatusCodes());
  setAcceptableContentTypes(decoded.acceptableContentTypes());
  if (const auto scale = coder.find(kImageScaleCodingKey);
      scale != coder.end() && scale->second.isNumber() && scale->second.doubleValue() > 0) {
    imageScale_ = scale->second.doubleValue();
  }
  if (const auto inflates = coder.find(kInflatesCodingKey); inflates != coder.end()) {
    automaticallyInflates_ = inflates->second.boolValue();
  }
}

void HCImageResponseSerializer::encodeWithCoder(ns::Dictionary& coder) const {
  HCHTTPResponseSerializer::encodeWithCoder(coder);
  coder[kImageScaleCodingKey] = imageScale_;
  coder[kInflatesCodingKey] = automaticallyInflates_;
}

std::shared_ptr<HCHTTPResponseSerializer> HCImageResponseSerializer::copy() const {
  return std::shared_ptr<HCImageResponseSerializer>(
      new HCImageResponseSerializer(Settings{imageScale_, automaticallyInflates_}));
}

void HCImageResponseSerializer::setImageScale(double scale) {
  QM_DCHECK(scale > 0, "the scale is positive");
  imageScale_ = scale;
}

HCSerializedResponse HCImageResponseSerializer::responseObjectForResponse(
    const std::shared_ptr<const ns::URLResponse>& response, const std::optional<ns::Data>& data) const {
  HCResponseValidation validation = validateResponse(response, data);
  if (!validation.valid && validation.error &&
      HCErrorOrUnderlyingErrorHasCodeInDomain(*validation.error, kHCResponseErrorCannotDecodeContentData,
                                              kHCURLResponseSerializationErrorDomain)) {
    return {std::nullopt, std::move(validation.error)};
  }
  ns::Result<std::shared_ptr<const uikit::Image>> image =
      decodedImage(data.value_or(ns::Data()), imageScale_, response.get());
  HCSerializedResponse result;
  if (image) {
    result.responseImage = std::move(*image);
  }
  // A refused status code stays the first reason; a body that yields no image is the reason otherwise.
  result.error = validation.error ? std::move(validation.error)
                                  : (image ? std::nullopt : std::optional<ns::Error>(image.error()));
  return result;
}

}  // namespace http_client
