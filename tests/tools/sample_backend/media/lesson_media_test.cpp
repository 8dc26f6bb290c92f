// The sample lessons' media as made and as kept in the cache: one transport stream cut into segments, and a
// cache that is used only when whole and of this encoding.

#include <gtest/gtest.h>

#include <map>

#include "platform/foundation/crypto/Digest.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "sample_backend/media/LessonCache.h"
#include "sample_backend/media/LessonEncoding.h"
#include "sample_backend/media/MediaLibrary.h"

namespace sample_backend::media {
namespace {

constexpr LessonShape kShape{.segmentCount = 3, .framesPerSegment = 5, .seed = 7};

std::uint16_t packetPid(const ns::Data& stream, std::size_t packet) {
  return static_cast<std::uint16_t>((stream[packet + 1] & 0x1F) << 8 | stream[packet + 2]);
}

// Every segment opens with the program tables, and across the cuts each PID's continuity counter goes on by
// one and the PCR only rises, as in one uncut stream.
TEST(LessonEncoding, CutsOneStreamIntoSegmentsThatOpenWithTheProgramTables) {
  const ns::Result<std::vector<ns::Data>> segments = encodeLesson(kShape);
  ASSERT_TRUE(segments.ok()) << segments.error().localizedDescription();
  ASSERT_EQ(segments->size(), kShape.segmentCount);
  ns::Data stream;
  for (const ns::Data& segment : *segments) {
    ASSERT_GE(segment.size(), 3 * kTransportPacketSize);
    ASSERT_EQ(segment.size() % kTransportPacketSize, 0u);
    EXPECT_TRUE(packetPid(segment, 0) == 0x0000 || packetPid(segment, 0) == 0x0011);
    EXPECT_TRUE(packetPid(segment, 0) == 0x0000 || packetPid(segment, kTransportPacketSize) == 0x0000);
    stream.insert(stream.end(), segment.begin(), segment.end());
  }
  std::map<std::uint16_t, int> lastCounter;
  std::int64_t lastPcr = -1;
  int pcrCount = 0;
  for (std::size_t packet = 0; packet < stream.size(); packet += kTransportPacketSize) {
    ASSERT_EQ(stream[packet], kTransportSyncByte) << "packet at " << packet;
    const std::uint16_t pid = packetPid(stream, packet);
    const bool hasPayload = (stream[packet + 3] & 0x10) != 0;
    const bool hasAdaptation = (stream[packet + 3] & 0x20) != 0;
    const int counter = stream[packet + 3] & 0x0F;
    if (hasPayload) {
      if (lastCounter.contains(pid)) {
        EXPECT_EQ(counter, (lastCounter[pid] + 1) % 16) << "PID " << pid << " at " << packet;
      }
      lastCounter[pid] = counter;
    }
    if (hasAdaptation && stream[packet + 4] > 0 && (stream[packet + 5] & 0x10) != 0) {
      const std::int64_t base = std::int64_t{stream[packet + 6]} << 25 | stream[packet + 7] << 17 |
                                stream[packet + 8] << 9 | stream[packet + 9] << 1 | stream[packet + 10] >> 7;
      EXPECT_GT(base, lastPcr) << "PCR at " << packet;
      lastPcr = base;
      ++pcrCount;
    }
  }
  EXPECT_GE(pcrCount, static_cast<int>(kShape.segmentCount));
}

// Returns `contents` with its trailing digest made anew, as a file written whole would have it.
ns::Data withFreshDigest(ns::Data contents) {
  contents.resize(contents.size() - 20);
  const ns::Data digest = ns::sha1Digest(contents);
  contents.insert(contents.end(), digest.begin(), digest.end());
  return contents;
}

TEST(LessonCache, ReadsBackOnlyAWholeFileOfTheSameShapeAndEncoding) {
  const ns::testutil::TemporarySandbox sandbox;
  const ns::FileManager& files = ns::FileManager::defaultManager();
  const std::string path = cachedLessonPath(sandbox.home(), kShape);
  const std::vector<ns::Data> segments = {{1, 2, 3}, {}, {4, 5}};
  ASSERT_TRUE(writeCachedLesson(path, kShape, segments).ok());
  EXPECT_EQ(readCachedLesson(path, kShape), segments);
  EXPECT_EQ(readCachedLesson(path, LessonShape{.segmentCount = 3, .framesPerSegment = 5, .seed = 8}),
            std::nullopt);
  const ns::Data whole = *files.contentsAtPath(path);
  const std::vector<std::pair<std::string, ns::Data>> spoiled = {
      {"a byte flipped",
       [&] {
         ns::Data bytes = whole;
         bytes[bytes.size() / 2] ^= 0x01;
         return bytes;
       }()},
      {"cut short", ns::Data(whole.begin(), whole.end() - 1)},
      {"another encoding version",
       [&] {
         ns::Data bytes = whole;
         ++bytes[8];
         return withFreshDigest(bytes);
       }()},
      {"a segment size past the end",
       [&] {
         ns::Data bytes = whole;
         bytes[32] = 0xFF;
         return withFreshDigest(bytes);
       }()},
      {"empty", {}},
  };
  for (const auto& [name, bytes] : spoiled) {
    ASSERT_TRUE(files.createFileAtPath(path, bytes).ok());
    EXPECT_EQ(readCachedLesson(path, kShape), std::nullopt) << name;
  }
}

TEST(MediaLibrary, ReadsItsCacheAndMakesADamagedOneAnew) {
  const ns::testutil::TemporarySandbox sandbox;
  const std::string folder = sandbox.path("cache");
  const MediaOptions options{.segmentCount = 2, .segmentDuration = 0.2, .seed = 7, .cacheFolder = folder};
  const LessonShape shape{.segmentCount = 2, .framesPerSegment = 5, .seed = 7};
  const std::string path = cachedLessonPath(folder, shape);

  const auto made = MediaLibrary::make(options);
  ASSERT_TRUE(made.ok()) << made.error().localizedDescription();
  const std::vector<ns::Data> encoded = {(*made)->plainSegment(0), (*made)->plainSegment(1)};
  EXPECT_EQ(readCachedLesson(path, shape), encoded);
  EXPECT_DOUBLE_EQ((*made)->segmentDuration(), 0.2);

  // What the cache holds is served, whatever it is.
  const std::vector<ns::Data> kept = {{0x47, 1}, {0x47, 2}};
  ASSERT_TRUE(writeCachedLesson(path, shape, kept).ok());
  EXPECT_EQ((*MediaLibrary::make(options))->plainSegment(1), kept[1]);

  ns::Data damaged = *ns::FileManager::defaultManager().contentsAtPath(path);
  damaged.back() ^= 0x01;
  ASSERT_TRUE(ns::FileManager::defaultManager().createFileAtPath(path, damaged).ok());
  EXPECT_EQ((*MediaLibrary::make(options))->plainSegment(1), encoded[1]);
  EXPECT_EQ(readCachedLesson(path, shape), encoded);
}

}  // namespace
}  // namespace sample_backend::media
