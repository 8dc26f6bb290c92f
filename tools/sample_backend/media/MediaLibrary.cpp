#include "sample_backend/media/MediaLibrary.h"

#include <random>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/Aes128Cbc.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"
#include "sample_backend/media/TransportStream.h"

namespace sample_backend::media {
namespace {

constexpr char kErrorDomain[] = "com.quillmark.media-library";

}  // namespace

ns::Result<std::shared_ptr<const MediaLibrary>> MediaLibrary::make(const MediaOptions& options) {
  QM_DCHECK(options.segmentCount >= 1 && options.packetsPerSegment >= 3,
            "options.segmentCount >= 1 and options.packetsPerSegment >= 3");
  const std::optional<std::string> keyPath = ns::Bundle::mainBundle()->pathForResource("K", "bin");
  if (!keyPath) {
    return ns::Error(kErrorDomain, 1,
                     {{std::string(ns::kLocalizedDescriptionKey), "the bundle has no K.bin"}});
  }
  ns::Result<ns::Data> key = ns::FileManager::defaultManager().contentsAtPath(*keyPath);
  if (!key) {
    return key.error();
  }
  if (key->size() != ns::kAes128KeySize) {
    return ns::Error(kErrorDomain, 2, {{std::string(ns::kLocalizedDescriptionKey), "K.bin is not 16 bytes"}});
  }
  return std::shared_ptr<const MediaLibrary>(new MediaLibrary(std::move(key).value(), options));
}

MediaLibrary::MediaLibrary(ns::Data key, const MediaOptions& options)
    : key_(std::move(key)), segmentDuration_(options.segmentDuration) {
  std::mt19937 random(options.seed);
  std::uniform_int_distribution<int> byteValue(0, 255);
  for (std::size_t i = 0; i < ns::kAesBlockSize; ++i) {
    iv_.push_back(static_cast<std::uint8_t>(byteValue(random)));
  }
  for (std::size_t index = 0; index < options.segmentCount; ++index) {
    plain_.push_back(makeTransportStreamSegment(random, options.packetsPerSegment));
    // Key and IV are 16 bytes, so encryption cannot fail.
    encrypted_.push_back(ns::aes128CbcEncrypt(key_, iv_, plain_.back()).value());
  }
}

}  // namespace sample_backend::media
