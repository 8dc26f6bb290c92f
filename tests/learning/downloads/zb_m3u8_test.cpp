#include <gtest/gtest.h>

#include <regex>

#include "learning/downloads/SegmentURL.h"
#include "learning/downloads/ZBM3U8.h"
#include "platform/avfoundation/PlaylistLine.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/sandbox_test_util.h"

namespace learning {

namespace {

// The fields of `text` on one line, in ZBM3U8Set's order ("-" when missing), then durations, then URLs.
std::string parsed(std::string_view text) {
  const std::optional<ZBM3U8Set> set = ZBM3U8::decodeM3U8IndexContext(text);
  if (!set) {
    return "no playlist";
  }
  std::string line;
  for (const ZBM3U8Set::Text& field : {set->version(), set->sequence(), set->cache(), set->targetDuration(),
                                       set->method(), set->uri(), set->iv()}) {
    line += field.value_or("-") + " ";
  }
  for (const std::vector<std::string>& list : {set->tsMetadatas(), set->tsURIs()}) {
    for (const std::string& item : list) {
      line += item + " ";
    }
  }
  return line;
}

// A lesson playlist as the back end sends it; CRLF line ends leave no carriage return in any field.
TEST(ZBM3U8Parse, ReadsEveryTagAndSegmentOfALessonPlaylist) {
  const std::string text =
      "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-MEDIA-SEQUENCE:0\n#EXT-X-ALLOW-CACHE:YES\n#EXT-X-TARGETDURATION:10\n"
      "#EXT-X-KEY:METHOD=AES-128,URI=\"http://media.example/key?videoId=7&t=1\","
      "IV=0x0000000000000000000000000000000a\n"
      "#EXTINF:9.984,\nhttp://media.example/media/7/seg0.ts?sid=ab&t=1\n"
      "#EXTINF:10,\nhttp://media.example/media/7/seg1.ts?sid=ab&t=1\n"
      "#EXTINF:3.5,\nhttp://media.example/media/7/seg2.ts\n#EXT-X-ENDLIST\n";
  for (const std::string& lines : {text, std::regex_replace(text, std::regex("\n"), "\r\n")}) {
    EXPECT_EQ(parsed(lines),
              "3 0 YES 10 AES-128 http://media.example/key?videoId=7&t=1 0x0000000000000000000000000000000a "
              "9.98 10.00 3.50 http://media.example/media/7/seg0.ts?sid=ab&t=1 "
              "http://media.example/media/7/seg1.ts?sid=ab&t=1 http://media.example/media/7/seg2.ts ");
  }
}

TEST(ZBM3U8Parse, TextThatIsNoPlaylistGivesNothing) {
  for (const char* text : {"", "<html>#EXTM3U</html>", "{\"code\":9711}"}) {
    EXPECT_EQ(parsed(text), "no playlist") << text;
  }
  EXPECT_EQ(parsed(" \r\n\t#EXTM3U\n"), "- - - - - - - ");
}

// A tag missing or moved costs only its own field; key attributes come in any order, quotes hold commas.
TEST(ZBM3U8Parse, TagsAreReadWhereverTheyStandInTheHeader) {
  EXPECT_EQ(
      parsed("#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXT-X-KEY:METHOD=AES-128,URI=\"k.bin\"\n#EXT-X-VERSION:4\n"
             "#EXT-X-MEDIA-SEQUENCE:12\n#EXTINF:6.0,\nhttp://h/a.ts\n"),
      "4 12 - 6 AES-128 k.bin - 6.00 http://h/a.ts ");
  EXPECT_EQ(parsed("#EXTM3U\n#EXT-X-KEY:IV=0x01,URI=\"http://h/key?a=1,2\",METHOD=AES-128,"
                   "KEYFORMAT=\"identity\"\n"),
            "- - - - AES-128 http://h/key?a=1,2 0x01 ");
}

// Without a key line, no segment URL is taken for the key.
TEST(ZBM3U8Parse, OnlyAbsoluteHttpSegmentLinesAreListed) {
  EXPECT_EQ(parsed("#EXTM3U\n"
                   "#EXTINF:1,\nrelative/a.ts\n"
                   "#EXTINF:2,\nhttps://h/b.ts\n"
                   "#EXTINF:3,\n#EXT-X-DISCONTINUITY\n\nhttp://h/c.ts\n"
                   "#EXTINF:4,\nhttp://h/\n"
                   "#EXTINF:5,\nhttp://h/d.ts\n"
                   "http://h/not-announced.ts\n"),
            "- - - - - - - 3.00 5.00 http://h/c.ts http://h/d.ts ");
}

TEST(ZBM3U8Parse, SegmentURLsAreEscapedOnceForUseInAURL) {
  EXPECT_EQ(parsed("#EXTM3U\n#EXTINF:1,\nhttp://h/第一 课/seg 1.ts?name=a b\n"
                   "#EXTINF:1,\nhttp://h/seg%201.ts?p=50%\n#EXTINF:1,\n  http://h/x.ts\t\n"),
            "- - - - - - - 1.00 1.00 1.00 http://h/%E7%AC%AC%E4%B8%80%20%E8%AF%BE/seg%201.ts?name=a%20b "
            "http://h/seg%201.ts?p=50%25 http://h/x.ts ");
}

TEST(SegmentFileName, IsTheDecodedLastPathComponentWithoutQuery) {
  EXPECT_EQ(segmentFileName("http://h/media/7/seg0.ts?sid=ab&t=1"), "seg0.ts");
  EXPECT_EQ(segmentFileName("http://h/media/seg%201.ts#part"), "seg 1.ts");
  EXPECT_EQ(segmentFileName("http://h/%E7%AC%AC.ts"), "第.ts");
  EXPECT_EQ(segmentFileName("seg%201.ts"), "seg 1.ts");
  EXPECT_EQ(segmentFileName("http://h/a:b%2B.ts"), "a:b+.ts");
}

// A name that would leave the lesson folder, or name no file, is refused rather than written somewhere else.
TEST(SegmentFileName, RefusesNamesThatCannotSafelyNameAFile) {
  for (const char* url : {"http://h/", "http://h", "http://h/a/..", "http://h/a/%2E%2E",
                          "http://h/..%2Fpasswd", "http://h/a%00.ts", "http://h/a b.ts"}) {
    EXPECT_FALSE(segmentFileName(url).has_value()) << url;
  }
  EXPECT_FALSE(downloadableSegmentURL("http://h/a/%2E%2E?x=1").has_value());
}

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

// Key at the local server, segments at the very files stored; nothing else changes, and a rewrite for
// another server moves only the key.
TEST_F(ZBM3U8Rewrite, PointsTheKeyAtTheLocalServerAndSegmentsAtTheirFiles) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:10\n"
       "#EXT-X-KEY:METHOD=AES-128,URI=\"http://media.example/key?videoId=7&t=1\",IV=0x0a\n"
       "#EXTINF:10,\nhttp://media.example/media/7/seg0.ts?sid=ab&t=1\n"
       "#EXTINF:10,\nhttp://media.example/media/7/seg1.ts\n#EXT-X-ENDLIST\n",
       "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:10\n"
       "#EXT-X-KEY:METHOD=AES-128,URI=\"http://127.0.0.1:8080/K.bin\",IV=0x0a\n"
       "#EXTINF:10,\nseg0.ts\n#EXTINF:10,\nseg1.ts\n#EXT-X-ENDLIST\n"},
      // URLs elsewhere than on segment lines stay; segment URLs with "%" or "~" are replaced whole.
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
  for (const auto& [original, rewritten] : cases) {
    SCOPED_TRACE(original);
    const std::string path = writePlaylist(original);
    ASSERT_TRUE(ZBM3U8::replaceM3U8File(path, kBase8080).ok());
    EXPECT_EQ(contents(path), rewritten);
    const std::vector<std::string> listed = ZBM3U8::decodeM3U8IndexContext(original)->tsURIs();
    std::size_t segment = 0;
    for (const av::PlaylistLine& line : av::splitPlaylistLines(rewritten)) {
      if (line.kind == av::PlaylistLine::Kind::kSegment) {
        EXPECT_EQ(segmentFileName(line.text), segmentFileName(listed.at(segment++)));
      }
    }
    EXPECT_EQ(segment, listed.size());
    std::string moved(rewritten);
    if (const std::size_t port = moved.find(":8080/"); port != std::string::npos) {
      moved.replace(port, 6, ":9090/");
    }
    ASSERT_TRUE(ZBM3U8::replaceM3U8File(path, "http://127.0.0.1:9090/").ok());
    EXPECT_EQ(contents(path), moved);
  }
}

TEST_F(ZBM3U8Rewrite, FailuresLeaveTheFileAsItWas) {
  const std::string missing = sandbox_.path("missing.m3u8");
  EXPECT_FALSE(ZBM3U8::replaceM3U8File(missing, kBase8080).ok());
  EXPECT_FALSE(files_.fileExistsAtPath(missing));
  for (const auto& [text, base, code] :
       {std::tuple{"#EXTM3U\n#EXTINF:4,\nhttp://h/\xff.ts\n", kBase8080, kZBM3U8NotUTF8TextError},
        std::tuple{"#EXTM3U\n#EXTINF:4,\nhttp://h/a.ts\n", std::string_view(), kZBM3U8MissingBaseURLError}}) {
    const std::string path = writePlaylist(text);
    const ns::Status status = ZBM3U8::replaceM3U8File(path, base);
    ASSERT_FALSE(status.ok()) << text;
    EXPECT_EQ(status.error().domain(), kZBM3U8ErrorDomain);
    EXPECT_EQ(status.error().code(), code);
    EXPECT_EQ(contents(path), text);
  }
}

}  // namespace

}  // namespace learning
