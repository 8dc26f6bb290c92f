#include "sample_backend/media/MediaLibrary.h"

#include <cmath>
#include <random>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"
#include "sample_backend/media/LessonCache.h"
#include "sample_backend/media/LessonEncoding.h"

namespace sample_backend::media {
namespace {

constexpr char kErrorDomain[] = "com.quillmark.media-library";

ns::Result<ns::Data> bundleKey() {
  const std::optional<std::string> keyPath = ns::Bundle::mainBundle()->pathForResource("K", "bin");
  if (!keyPath) {
    return ns::Error(kErrorDomain, 1,
                     {{std::string(ns::kLocalizedDescriptionKey), "the bundle has no K.bin"}});
  }
  ns::Result<ns::Data> key = ns::FileManager::defaultManager().contentsAtPath(*keyPath);
  if (key.ok() && key->size() != ns::kAes128KeySize) {
    return ns::Error(kErrorDomain, 2, {{std::string(ns::kLocalizedDescriptionKey), "K.bin is not 16 bytes"}});
  }
  return key;
}

// Returns the segments of `shape`'s lesson from the cache in `cacheFolder`, else encoded afresh and kept
// there.
ns::Result<std::vector<ns::Data>> lessonSegments(const LessonShape& shape,
                                                 const std::optional<std::string>& cacheFolder) {
  if (!cacheFolder) {
    return encodeLesson(shape);
  }
  const std::string path = cachedLessonPath(*cacheFolder, shape);
  if (std::optional<std::vector<ns::Data>> cached = readCachedLesson(path, shape)) {
    return std::move(*cached);
  }
  ns::Result<std::vector<ns::Data>> segments = encodeLesson(shape);
  if (segments.ok() && ns::FileManager::defaultManager()
                           .createDirectoryAtPath(*cacheFolder, ns::IntermediateDirectories::kYes)
                           .ok()) {
    // A lesson that cannot be kept is only made again at the next start.
    (void)writeCachedLesson(path, shape, *segments);
  }
  return segments;
}

}  // namespace

ns::Result<std::shared_ptr<const MediaLibrary>> MediaLibrary::make(const MediaOptions& options) {
  QM_DCHECK(isEncodableVideoFormat(options.video), "isEncodableVideoFormat(options.video)");
  const int framesPerSecond = options.video.framesPerSecond;
  const auto framesPerSegment =
      static_cast<std::size_t>(std::lround(options.segmentDuration * framesPerSecond));
  QM_DCHECK(options.segmentCount >= 1 && framesPerSegment >= 1,
            "options.segmentCount >= 1 and options.segmentDuration is at least one frame");
  ns::Result<ns::Data> key = bundleKey();
  if (!key.ok()) {
    return key.error();
  }
  const LessonShape shape{options.segmentCount, framesPerSegment, options.seed, options.video};
  ns::Result<std::vector<ns::Data>> segments = lessonSegments(shape, options.cacheFolder);
  if (!segments.ok()) {
    return segments.error();
  }
  return std::shared_ptr<const MediaLibrary>(
      new MediaLibrary(std::move(key).value(), options.seed,
                       static_cast<double>(framesPerSegment) / framesPerSecond, std::move(segments).value()));
}

MediaLibrary::MediaLibrary(ns::Data key, std::uint32_t seed, double segmentDuration,
                           std::vector<ns::Data> plain)
    : key_(std::move(key)), segmentDuration_(segmentDuration), plain_(std::move(plain)) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> byteValue(0, 255);
  for (std::size_t i = 0; i < ns::kAesBlockSize; ++i) {
    iv_.push_back(static_cast<std::uint8_t>(byteValue(random)));
  }
  for (const ns::Data& segment : plain_) {
    // Key and IV are 16 bytes, so encryption cannot fail.
    encrypted_.push_back(ns::aes128CbcEncrypt(key_, iv_, segment).value());
  }
}

}  // namespace sample_backend::media
