#pragma once

// LivePictureFile: the picture command's work. It takes the live picture on screen (the current frame of a
// playing video, uikit::Driver::livePicture()) and writes it to a PNG file, so that a person at the terminal
// can look at the lesson.
//
// Thread-safety: main thread only, like the screens it reads.

#include <string>

#include "platform/foundation/values/Result.h"
#include "platform/uikit/geometry/Geometry.h"

namespace terminal {

class LivePictureFile {
 public:
  // Writes the live picture on screen to `path` as PNG, replacing a file there. Returns the picture's size
  // in pixels. Fails (kTerminalErrorDomain) when no view on screen shows a live picture yet, or when the
  // file cannot be written (its folder missing or not writable), saying which.
  static ns::Result<uikit::Size> write(const std::string& path);
};

}  // namespace terminal
