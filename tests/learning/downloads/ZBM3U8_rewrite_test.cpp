#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "learning/downloads/SegmentURL.h"
#include "learning/downloads/ZBM3U8.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace {

constexpr std::string_view kBase8080 = "http://127.0.0.1:8080/";

class ZBM3U8Rewrite : public ::testing::Test {
 protected:
  std::string writePlaylist(std::string_view text) {
    const std::string path = sandbox_.path("index.m3u8");
    EXPECT_TRUE(files_.createFileAtPath(path, ns::dataFromString(text)).ok());
    return path;
  }

  std::string contents(const std::string& path) { return ns::stringFromData(*files_.contentsAtPath(path)); }

  ns::testutil::TemporarySandbox sandbox_;
  const ns::FileManager& files_ = ns::FileManager::defaultManager();
};

// The key URI points at the local server and each segment line at its file; nothing else changes, and a
// rewrite of the rewritten playlist for another server moves only the key.
TEST_F(ZBM3U8Rewrite, PointsTheKeyAtTheLocalServerAndSegmentsAtTheirFiles) {
  struct Case {
    std::string_view original;
    std::string_view rewritten;
  };
  const Case cases[] = {
      {"#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:10\n"
       "#EXT-X-KEY:METHOD=AES-128,URI=\"http://media.example/key?videoId=7&t=1\",IV=0x0a\n"
       "#EXTINF:10,\nhttp://media.example/media/7/seg0.ts?sid=ab&t=1\n"
       "#EXTINF:10,\nhttp://media.example/media/7/seg1.ts\n#EXT-X-ENDLIST\n",
       "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:10\n"
       "#EXT-X-KEY:METHOD=AES-128,URI=\"http://127.0.0.1:8080/K.bin\",IV=0x0a\n"
       "#EXTINF:10,\nseg0.ts\n#EXTINF:10,\nseg1.ts\n#EXT-X-ENDLIST\n"},
      // A URL anywhere but a segment line (a comment, a tag's value) stays whole; one that holds "%" or
      // "~" is replaced whole, never in part.
      {"#EXTM3U\n## mirror: http://media.example/media/7/seg0.ts?sid=ab\n"
       "#EXT-X-SESSION-DATA:DATA-ID=\"home\",VALUE=\"http://media.example/\"\n"
       "#EXTINF:10,http://media.example/title\nhttp://media.example/media/7/seg0.ts?sid=ab\n"
       "#EXTINF:10,\nhttp://media.example/~u/50%25/seg1.ts?t=1\n",
       "#EXTM3U\n## mirror: http://media.example/media/7/seg0.ts?sid=ab\n"
       "#EXT-X-SESSION-DATA:DATA-ID=\"home\",VALUE=\"http://media.example/\"\n"
       "#EXTINF:10,http://media.example/title\nseg0.ts\n#EXTINF:10,\nseg1.ts\n"},
      {"#EXTM3U\r\n#EXT-X-KEY:METHOD=AES-128,URI=\"http://h/k\"\r\n#EXTINF:4,\r\r\nhttp://h/a.ts?x=1\r\n",
       "#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"http://127.0.0.1:8080/K.bin\"\n#EXTINF:4,\na.ts\n"},
      // Without a key line every URL is a segment: none of them may be taken for the key.
      {"#EXTM3U\n#EXTINF:4,\nhttp://h/a.ts?x=1\n#EXTINF:4,\nhttp://h/b.ts\n",
       "#EXTM3U\n#EXTINF:4,\na.ts\n#EXTINF:4,\nb.ts\n"},
      {"#EXTM3U\n#EXTINF:4,\nhttp://h/第一课/seg 1.ts?name=a b\n#EXTINF:4,\nhttp://h/a:b%2B.ts\n",
       "#EXTM3U\n#EXTINF:4,\nseg%201.ts\n#EXTINF:4,\na%3Ab%2B.ts\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.original);
    const std::string path = writePlaylist(c.original);
    ASSERT_TRUE(ZBM3U8::replaceM3U8File(path, kBase8080).ok());
    EXPECT_EQ(contents(path), c.rewritten);
    std::string moved(c.rewritten);
    if (const std::size_t port = moved.find(":8080/"); port != std::string::npos) {
      moved.replace(port, 6, ":9090/");
    }
    ASSERT_TRUE(ZBM3U8::replaceM3U8File(path, "http://127.0.0.1:9090/").ok());
    EXPECT_EQ(contents(path), moved);
  }
}

// The offline playlist names each segment so that the lesson server, which decodes the request path,
// finds the very file the download manager stored under segmentFileName().
TEST_F(ZBM3U8Rewrite, NamesWithSpacesAndOtherScriptsReachTheStoredFile) {
  const auto listed = ZBM3U8::decodeM3U8IndexContext(
      "#EXTM3U\n#EXTINF:4,\nhttp://h/第一课/seg 1.ts?name=a b\n#EXTINF:4,\nhttp://h/a:b%2B.ts\n");
  ASSERT_TRUE(listed.has_value());
  ASSERT_EQ(listed->tsURIs().size(), 2u);
  EXPECT_EQ(segmentFileName(listed->tsURIs()[0]), segmentFileName("seg%201.ts"));
  EXPECT_EQ(segmentFileName(listed->tsURIs()[1]), segmentFileName("a%3Ab%2B.ts"));
  EXPECT_EQ(segmentFileName(listed->tsURIs()[1]), "a:b+.ts");
}

TEST_F(ZBM3U8Rewrite, FailuresLeaveTheFileAsItWas) {
  const std::string missing = sandbox_.path("missing.m3u8");
  EXPECT_FALSE(ZBM3U8::replaceM3U8File(missing, kBase8080).ok());
  EXPECT_FALSE(files_.fileExistsAtPath(missing));

  const std::string notText = writePlaylist("#EXTM3U\n#EXTINF:4,\nhttp://h/\xff.ts\n");
  const ns::Status binary = ZBM3U8::replaceM3U8File(notText, kBase8080);
  ASSERT_FALSE(binary.ok());
  EXPECT_EQ(binary.error().code(), kZBM3U8NotUTF8TextError);
  EXPECT_EQ(contents(notText), "#EXTM3U\n#EXTINF:4,\nhttp://h/\xff.ts\n");

  const std::string path = writePlaylist("#EXTM3U\n#EXTINF:4,\nhttp://h/a.ts\n");
  const ns::Status noBase = ZBM3U8::replaceM3U8File(path, "");
  ASSERT_FALSE(noBase.ok());
  EXPECT_EQ(noBase.error().code(), kZBM3U8MissingBaseURLError);
  EXPECT_EQ(contents(path), "#EXTM3U\n#EXTINF:4,\nhttp://h/a.ts\n");
}

}  // namespace
