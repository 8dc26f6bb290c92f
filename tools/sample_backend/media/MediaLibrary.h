#pragma once

// sample_backend::media::MediaLibrary: the encrypted video that the sample back end serves for every lesson.
// At start-up it makes `segmentCount` transport-stream segments of real media from a fixed seed (see
// LessonEncoding.h), or reads them from its cache folder, and encrypts each with AES-128-CBC under the
// bundle's key file "K.bin" (the key the application ships) and one IV, which the playlist's key line
// names. Every lesson plays these same segments.
//
// Thread-safety: constant after construction; may be read from any thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "sample_backend/media/LessonEncoding.h"

namespace sample_backend::media {

struct MediaOptions {
  std::size_t segmentCount = 6;
  // Seconds each segment lasts, rounded to whole video frames.
  double segmentDuration = 10.0;
  std::uint32_t seed = 20160114;
  // The picture's size and frame rate.
  VideoFormat video = {};
  // The folder (made when missing) where the lesson is kept once made, so that the next start reads it
  // instead of encoding it again; without one, every start encodes it.
  std::optional<std::string> cacheFolder = std::nullopt;
};

class MediaLibrary {
 public:
  // Returns the library for `options`, or the error that kept it from reading the key file or from encoding
  // the lesson. A cache folder that cannot be written costs only the time to encode the lesson next time.
  // REQUIRES: options.segmentCount >= 1, options.segmentDuration is at least one frame and
  // isEncodableVideoFormat(options.video).
  static ns::Result<std::shared_ptr<const MediaLibrary>> make(const MediaOptions& options = {});

  std::size_t segmentCount() const { return encrypted_.size(); }
  // The seconds each segment lasts, a whole number of video frames.
  double segmentDuration() const { return segmentDuration_; }
  const ns::Data& key() const { return key_; }
  const ns::Data& iv() const { return iv_; }

  // The bytes of segment `index` as served, and before encryption.
  // REQUIRES: index < segmentCount().
  const ns::Data& encryptedSegment(std::size_t index) const {
    QM_DCHECK(index < segmentCount(), "index < segmentCount()");
    return encrypted_[index];
  }
  const ns::Data& plainSegment(std::size_t index) const {
    QM_DCHECK(index < segmentCount(), "index < segmentCount()");
    return plain_[index];
  }

 private:
  MediaLibrary(ns::Data key, std::uint32_t seed, double segmentDuration, std::vector<ns::Data> plain);

  // Constant after construction
  const ns::Data key_;
  ns::Data iv_;
  const double segmentDuration_;
  std::vector<ns::Data> plain_;
  std::vector<ns::Data> encrypted_;
};

}  // namespace sample_backend::media
