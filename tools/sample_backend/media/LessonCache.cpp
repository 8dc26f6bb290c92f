#include "sample_backend/media/LessonCache.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "platform/foundation/crypto/Digest.h"
#include "platform/foundation/crypto/Hex.h"
#include "platform/foundation/storage/FileManager.h"

namespace sample_backend::media {
namespace {

constexpr std::string_view kMagic = "QMLESSON";
constexpr std::size_t kDigestSize = 20;

void appendNumber(ns::Data& bytes, std::uint64_t value, std::size_t size) {
  for (std::size_t index = 0; index < size; ++index) {
    bytes.push_back(static_cast<std::uint8_t>(value >> (8 * index)));
  }
}

// The file's opening: the magic text, the encoding version and the length and text of the lesson's
// encoding description, numbers little-endian.
ns::Data fileHeader(const LessonShape& shape) {
  const std::string description = lessonEncodingDescription(shape);
  ns::Data header(kMagic.begin(), kMagic.end());
  appendNumber(header, kLessonEncodingVersion, 4);
  appendNumber(header, description.size(), 4);
  header.insert(header.end(), description.begin(), description.end());
  return header;
}

// Reads little-endian numbers and runs of bytes from the front of a file's contents; a read past the end
// leaves the reader failed.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool failed() const { return failed_; }
  bool atEnd() const { return position_ == bytes_.size(); }

  std::uint64_t number(std::size_t size) {
    std::uint64_t value = 0;
    const std::span<const std::uint8_t> read = take(size);
    for (std::size_t index = 0; index < read.size(); ++index) {
      value |= std::uint64_t{read[index]} << (8 * index);
    }
    return value;
  }

  std::span<const std::uint8_t> take(std::size_t size) {
    if (failed_ || size > bytes_.size() - position_) {
      failed_ = true;
      return {};
    }
    position_ += size;
    return bytes_.subspan(position_ - size, size);
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

}  // namespace

std::string cachedLessonPath(std::string_view folder, const LessonShape& shape) {
  const ns::Data digest = ns::sha1Digest(ns::dataFromString(lessonEncodingDescription(shape)));
  // Eight hex digits of the digest name the settings the rest of the name leaves out.
  const std::string digestText = ns::hexString(std::span(digest).first(4));
  const auto number = [](auto value) { return std::to_string(value); };
  return std::string(folder) + "/lesson-" + sizeText(shape.video) + "-" +
         number(shape.video.framesPerSecond) + "fps-" + number(shape.segmentCount) + "x" +
         number(shape.framesPerSegment) + "-" + number(shape.seed) + "-" + digestText + ".cache";
}

std::optional<std::vector<ns::Data>> readCachedLesson(const std::string& path, const LessonShape& shape) {
  const ns::Result<ns::Data> contents = ns::FileManager::defaultManager().contentsAtPath(path);
  if (!contents.ok() || contents->size() < kDigestSize) {
    return std::nullopt;
  }
  const std::span<const std::uint8_t> body(contents->data(), contents->size() - kDigestSize);
  if (!std::ranges::equal(ns::sha1Digest(body), std::span(*contents).subspan(body.size()))) {
    return std::nullopt;
  }
  ByteReader reader(body);
  const ns::Data header = fileHeader(shape);
  if (!std::ranges::equal(reader.take(header.size()), header)) {
    return std::nullopt;
  }
  std::vector<std::uint64_t> sizes;
  for (std::size_t index = 0; index < shape.segmentCount && !reader.failed(); ++index) {
    sizes.push_back(reader.number(8));
  }
  std::vector<ns::Data> segments;
  for (const std::uint64_t size : sizes) {
    const std::span<const std::uint8_t> segment = reader.take(size);
    segments.emplace_back(segment.begin(), segment.end());
  }
  if (reader.failed() || !reader.atEnd()) {
    return std::nullopt;
  }
  return segments;
}

ns::Status writeCachedLesson(const std::string& path, const LessonShape& shape,
                             const std::vector<ns::Data>& segments) {
  ns::Data contents = fileHeader(shape);
  for (const ns::Data& segment : segments) {
    appendNumber(contents, segment.size(), 8);
  }
  for (const ns::Data& segment : segments) {
    contents.insert(contents.end(), segment.begin(), segment.end());
  }
  const ns::Data digest = ns::sha1Digest(contents);
  contents.insert(contents.end(), digest.begin(), digest.end());
  // The lesson can always be made again, so a power loss may take the file.
  return ns::FileManager::defaultManager().createFileAtPath(path, contents,
                                                            ns::WriteDurability::kSurvivesProcessCrash);
}

}  // namespace sample_backend::media
