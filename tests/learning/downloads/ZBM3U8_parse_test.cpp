#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "learning/downloads/SegmentURL.h"
#include "learning/downloads/ZBM3U8.h"

namespace {

using ::testing::ElementsAre;

// A lesson playlist as the back end sends it: every tag, one AES-128 key, segment URLs with query strings.
constexpr std::string_view kLessonPlaylist =
    "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-MEDIA-SEQUENCE:0\n#EXT-X-ALLOW-CACHE:YES\n#EXT-X-TARGETDURATION:10\n"
    "#EXT-X-KEY:METHOD=AES-128,URI=\"http://media.example/key?videoId=7&t=1\","
    "IV=0x0000000000000000000000000000000a\n"
    "#EXTINF:9.984,\nhttp://media.example/media/7/seg0.ts?sid=ab&t=1\n"
    "#EXTINF:10,\nhttp://media.example/media/7/seg1.ts?sid=ab&t=1\n"
    "#EXTINF:3.5,\nhttp://media.example/media/7/seg2.ts\n#EXT-X-ENDLIST\n";

// CRLF line ends leave no carriage return in any field.
TEST(ZBM3U8Parse, ReadsEveryTagAndSegmentOfALessonPlaylist) {
  for (const std::string& text :
       {std::string(kLessonPlaylist),
        std::regex_replace(std::string(kLessonPlaylist), std::regex("\n"), "\r\n")}) {
    const auto set = ZBM3U8::decodeM3U8IndexContext(text);
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(set->version(), "3");
    EXPECT_EQ(set->sequence(), "0");
    EXPECT_EQ(set->cache(), "YES");
    EXPECT_EQ(set->targetDuration(), "10");
    EXPECT_EQ(set->method(), "AES-128");
    EXPECT_EQ(set->uri(), "http://media.example/key?videoId=7&t=1");
    EXPECT_EQ(set->iv(), "0x0000000000000000000000000000000a");
    EXPECT_THAT(set->tsMetadatas(), ElementsAre("9.98", "10.00", "3.50"));
    EXPECT_THAT(set->tsURIs(), ElementsAre("http://media.example/media/7/seg0.ts?sid=ab&t=1",
                                           "http://media.example/media/7/seg1.ts?sid=ab&t=1",
                                           "http://media.example/media/7/seg2.ts"));
  }
}

TEST(ZBM3U8Parse, TextThatIsNoPlaylistGivesNothing) {
  EXPECT_FALSE(ZBM3U8::decodeM3U8IndexContext("").has_value());
  EXPECT_FALSE(ZBM3U8::decodeM3U8IndexContext("<html>#EXTM3U</html>").has_value());
  EXPECT_FALSE(ZBM3U8::decodeM3U8IndexContext("{\"code\":9711}").has_value());
  const auto blankBefore = ZBM3U8::decodeM3U8IndexContext(" \r\n\t#EXTM3U\n");
  ASSERT_TRUE(blankBefore.has_value());
  EXPECT_TRUE(blankBefore->tsURIs().empty());
  EXPECT_FALSE(blankBefore->version().has_value());
}

// Each tag is read from its own line: a tag that is missing or stands elsewhere in the header costs only
// its own field.
TEST(ZBM3U8Parse, TagsAreReadWhereverTheyStandInTheHeader) {
  const auto set = ZBM3U8::decodeM3U8IndexContext(
      "#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXT-X-KEY:METHOD=AES-128,URI=\"k.bin\"\n#EXT-X-VERSION:4\n"
      "#EXT-X-MEDIA-SEQUENCE:12\n#EXTINF:6.0,\nhttp://h/a.ts\n");
  ASSERT_TRUE(set.has_value());
  EXPECT_FALSE(set->cache().has_value());
  EXPECT_EQ(set->version(), "4");
  EXPECT_EQ(set->sequence(), "12");
  EXPECT_EQ(set->targetDuration(), "6");
  EXPECT_EQ(set->method(), "AES-128");
  EXPECT_EQ(set->uri(), "k.bin");
  EXPECT_FALSE(set->iv().has_value());
  EXPECT_THAT(set->tsURIs(), ElementsAre("http://h/a.ts"));
}

TEST(ZBM3U8Parse, KeyAttributesMayComeInAnyOrderAndQuotesMayHoldCommas) {
  const auto set = ZBM3U8::decodeM3U8IndexContext(
      "#EXTM3U\n#EXT-X-KEY:IV=0x01,URI=\"http://h/key?a=1,2\",METHOD=AES-128,KEYFORMAT=\"identity\"\n");
  ASSERT_TRUE(set.has_value());
  EXPECT_EQ(set->method(), "AES-128");
  EXPECT_EQ(set->uri(), "http://h/key?a=1,2");
  EXPECT_EQ(set->iv(), "0x01");
}

// Without a key line, no segment URL is taken for the key.
TEST(ZBM3U8Parse, OnlyAbsoluteHttpSegmentLinesAreListed) {
  const auto set = ZBM3U8::decodeM3U8IndexContext(
      "#EXTM3U\n"
      "#EXTINF:1,\nrelative/a.ts\n"
      "#EXTINF:2,\nhttps://h/b.ts\n"
      "#EXTINF:3,\n#EXT-X-DISCONTINUITY\n\nhttp://h/c.ts\n"
      "#EXTINF:4,\nhttp://h/\n"
      "#EXTINF:5,\nhttp://h/d.ts\n"
      "http://h/not-announced.ts\n");
  ASSERT_TRUE(set.has_value());
  EXPECT_FALSE(set->method().has_value());
  EXPECT_FALSE(set->uri().has_value());
  EXPECT_THAT(set->tsMetadatas(), ElementsAre("3.00", "5.00"));
  EXPECT_THAT(set->tsURIs(), ElementsAre("http://h/c.ts", "http://h/d.ts"));
}

TEST(ZBM3U8Parse, SegmentURLsAreEscapedOnceForUseInAURL) {
  const auto set = ZBM3U8::decodeM3U8IndexContext(
      "#EXTM3U\n#EXTINF:1,\nhttp://h/第一 课/seg 1.ts?name=a b\n#EXTINF:1,\nhttp://h/seg%201.ts?p=50%\n"
      "#EXTINF:1,\n  http://h/x.ts\t\n");
  ASSERT_TRUE(set.has_value());
  EXPECT_THAT(set->tsURIs(), ElementsAre("http://h/%E7%AC%AC%E4%B8%80%20%E8%AF%BE/seg%201.ts?name=a%20b",
                                         "http://h/seg%201.ts?p=50%25", "http://h/x.ts"));
}

TEST(SegmentFileName, IsTheDecodedLastPathComponentWithoutQuery) {
  EXPECT_EQ(segmentFileName("http://h/media/7/seg0.ts?sid=ab&t=1"), "seg0.ts");
  EXPECT_EQ(segmentFileName("http://h/media/seg%201.ts#part"), "seg 1.ts");
  EXPECT_EQ(segmentFileName("http://h/%E7%AC%AC.ts"), "第.ts");
  EXPECT_EQ(segmentFileName("seg%201.ts"), "seg 1.ts");
}

// A name that would leave the lesson folder, or name no file, is refused rather than written somewhere else.
TEST(SegmentFileName, RefusesNamesThatCannotSafelyNameAFile) {
  EXPECT_FALSE(segmentFileName("http://h/").has_value());
  EXPECT_FALSE(segmentFileName("http://h").has_value());
  EXPECT_FALSE(segmentFileName("http://h/a/..").has_value());
  EXPECT_FALSE(segmentFileName("http://h/a/%2E%2E").has_value());
  EXPECT_FALSE(segmentFileName("http://h/..%2Fpasswd").has_value());
  EXPECT_FALSE(segmentFileName("http://h/a%00.ts").has_value());
  EXPECT_FALSE(segmentFileName("http://h/a b.ts").has_value());
  EXPECT_FALSE(downloadableSegmentURL("http://h/a/%2E%2E?x=1").has_value());
}

}  // namespace
