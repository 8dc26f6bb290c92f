#pragma once

// learning::ZBImageFromBundle: the player's pictures, kept in a resource bundle inside the main bundle, one
// per kind of device: "ResourceiPhone.bundle" for phones, "ResourceiPad.bundle" for pads, "Resource.bundle"
// for any other. Pictures are read from their files on every call, never cached.
//
// Thread-safety: main thread only (it reads the device).

#include <memory>
#include <string_view>

#include "platform/uikit/drawing/Image.h"

namespace learning {

class ZBImageFromBundle {
 public:
  // Returns the picture "<name>.png" of this device's resource bundle, named `name`; nullptr when the bundle
  // or the picture is missing or does not decode.
  static std::shared_ptr<const uikit::Image> imageWithResourceName(std::string_view name);
};

}  // namespace learning
