// The sample lessons' media as made and as kept in the cache: one transport stream cut into segments at the
// size and rate it is given, and a cache that is used only when whole and of this encoding, with a file for
// each lesson's settings.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/foundation/crypto/Digest.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/sandbox_test_util.h"
#include "sample_backend/media/LessonCache.h"
#include "sample_backend/media/LessonEncoding.h"
#include "sample_backend/media/MediaLibrary.h"
#include "support/tool_run.h"

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

// A lesson recording's real size at another frame rate, as an independent client reads it: the only test
// that encodes at this size, with as few frames as show the rate.
TEST(LessonEncoding, EncodesThePictureAtTheSizeAndFrameRateItIsGiven) {
  const ns::testutil::TemporarySandbox sandbox;
  const ns::Result<std::vector<ns::Data>> segments =
      encodeLesson({.segmentCount = 1, .framesPerSegment = 3, .seed = 7, .video = {1280, 720, 30}});
  ASSERT_TRUE(segments.ok()) << segments.error().localizedDescription();
  const std::string path = sandbox.path("lesson.ts");
  ASSERT_TRUE(ns::FileManager::defaultManager().createFileAtPath(path, segments->front()).ok());
  const testsupport::ToolRun probe = testsupport::runTool(
      "ffprobe -v error -count_frames -show_entries "
      "stream=codec_type,width,height,r_frame_rate,nb_read_frames -of csv=p=0 '" +
      path + "'");
  EXPECT_EQ(probe.exitStatus, 0);
  // Each stream, as the stream and again as a stream of the program.
  EXPECT_THAT(probe.output, ::testing::StartsWith("video,1280,720,30/1,3\naudio,"));
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
         // The sizes, 8 bytes each, stand between the header and the segments' 5 bytes.
         bytes[bytes.size() - 20 - 5 - 3 * 8] = 0xFF;
         return withFreshDigest(bytes);
       }()},
      {"empty", {}},
  };
  for (const auto& [name, bytes] : spoiled) {
    ASSERT_TRUE(files.createFileAtPath(path, bytes).ok());
    EXPECT_EQ(readCachedLesson(path, kShape), std::nullopt) << name;
  }
}

// Every setting the bytes depend on names a file of its own, so lessons of two sizes share a folder and
// neither overwrites the other.
TEST(LessonCache, KeepsTheLessonOfEachSizeAndSettingInAFileOfItsOwn) {
  const ns::testutil::TemporarySandbox sandbox;
  const std::string folder = sandbox.path("cache");
  const MediaOptions small{
      .segmentCount = 1, .segmentDuration = 0.2, .seed = 7, .video = {64, 36, 25}, .cacheFolder = folder};
  MediaOptions larger = small;
  larger.video = {96, 54, 25};
  const auto smallLesson = MediaLibrary::make(small);
  const auto largerLesson = MediaLibrary::make(larger);
  ASSERT_TRUE(smallLesson.ok() && largerLesson.ok());
  EXPECT_NE((*smallLesson)->plainSegment(0), (*largerLesson)->plainSegment(0));
  EXPECT_EQ(ns::FileManager::defaultManager().contentsOfDirectoryAtPath(folder)->size(), 2u);
  EXPECT_EQ(readCachedLesson(cachedLessonPath(folder, {1, 5, 7, small.video}), {1, 5, 7, small.video}),
            std::vector<ns::Data>{(*smallLesson)->plainSegment(0)});
  EXPECT_EQ(readCachedLesson(cachedLessonPath(folder, {1, 5, 7, larger.video}), {1, 5, 7, larger.video}),
            std::vector<ns::Data>{(*largerLesson)->plainSegment(0)});

  const LessonShape shape{.segmentCount = 2, .framesPerSegment = 5, .seed = 7, .video = {64, 36, 25}};
  const std::vector<LessonShape> others = {
      {2, 5, 7, {66, 36, 25}}, {2, 5, 7, {64, 38, 25}}, {2, 5, 7, {64, 36, 30}},
      {3, 5, 7, {64, 36, 25}}, {2, 6, 7, {64, 36, 25}}, {2, 5, 8, {64, 36, 25}},
  };
  std::set<std::string> paths = {cachedLessonPath(folder, shape)};
  for (const LessonShape& other : others) {
    paths.insert(cachedLessonPath(folder, other));
  }
  EXPECT_EQ(paths.size(), others.size() + 1);
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
