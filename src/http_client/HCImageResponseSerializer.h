#pragma once

// HCImageResponseSerializer: checks a response as HCHTTPResponseSerializer does and decodes its body into
// an image (PNG, JPEG, GIF, BMP, TIFF or ICO) at imageScale(); a GIF of several frames comes back animated,
// with its frames. It accepts the content types "image/tiff", "image/jpeg", "image/gif", "image/png", "image/ico",
// "image/x-icon", "image/bmp", "image/x-bmp", "image/x-xbitmap" and "image/x-win-bitmap", and the status
// codes 200 to 299.
//
// A reply that yields no image always says why: a refused content type, or a body that is not a picture
// or would decode to more than uikit::Image::kMaximumDecodedPixels, is an error -1016; nothing that large
// is decoded. A refused status code with a picture body gives both the image and the status error.
//
// Decoded images hold their pixels ready to draw, so the decoding on the processing queue is all the
// drawing ahead of time a view needs: automaticallyInflatesResponseImage() is kept, coded and copied for
// callers that set it, and images are decoded the same way either way.
//
// Thread-safety: as HCHTTPResponseSerializer; the constructors that read the main screen's scale run on
// the main thread.

#include <memory>

#include "http_client/HCHTTPResponseSerializer.h"

namespace http_client {

class HCImageResponseSerializer : public HCHTTPResponseSerializer {
 public:
  // Returns a new serializer with the defaults of the constructor. REQUIRES: main thread.
  static std::shared_ptr<HCImageResponseSerializer> serializer();

  // The base defaults, the image content types, the main screen's scale and inflation on.
  // REQUIRES: main thread.
  HCImageResponseSerializer();
  // The constructor's defaults with the base class's keys, "imageScale" and
  // "automaticallyInflatesResponseImage" read from `coder`. REQUIRES: main thread.
  explicit HCImageResponseSerializer(const ns::Dictionary& coder);

  // Writes the base class's keys, "imageScale" (a number) and "automaticallyInflatesResponseImage" (a
  // boolean).
  void encodeWithCoder(ns::Dictionary& coder) const override;
  // Returns a serializer with the base defaults and the image content types, and this one's scale and
  // inflation switch; acceptable sets changed here are not carried over.
  std::shared_ptr<HCHTTPResponseSerializer> copy() const override;

  // Pixels per point of the images made. REQUIRES (setter): a positive scale.
  double imageScale() const { return imageScale_; }
  void setImageScale(double scale);
  bool automaticallyInflatesResponseImage() const { return automaticallyInflates_; }
  void setAutomaticallyInflatesResponseImage(bool inflates) { automaticallyInflates_ = inflates; }

  // Returns the image in responseImage with the error of the checks, or no image and the error that says
  // why (see above).
  HCSerializedResponse responseObjectForResponse(const std::shared_ptr<const ns::URLResponse>& response,
                                                 const std::optional<ns::Data>& data) const override;

 private:
  struct Settings {
    double imageScale;
    bool automaticallyInflates;
  };
  explicit HCImageResponseSerializer(Settings settings);

  double imageScale_;
  bool automaticallyInflates_;
};

}  // namespace http_client
