// Reading a media playlist's key and durations: which key methods are taken, which attribute of a repeated
// one counts, and durations that cannot be seconds.

#include <gtest/gtest.h>

#include <string>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/avfoundation/MediaPlaylist.h"

namespace {

const ns::URL kPlaylistURL = *ns::URL::fromString("http://lessons.test/a/index.m3u8");

ns::Result<av::MediaPlaylist> readWithKeyLine(const std::string& keyLine) {
  return av::MediaPlaylist::read("#EXTM3U\n" + keyLine + "\n#EXTINF:4,\ns0.ts\n", kPlaylistURL);
}

TEST(MediaPlaylistTest, OnlyAes128AndNoneAreKeyMethods) {
  struct Case {
    std::string keyLine;
    bool readable;
    bool hasKey;
  };
  for (const Case& c : std::vector<Case>{
           {R"(#EXT-X-KEY:METHOD=AES-128,URI="k.bin")", true, true},
           {R"(#EXT-X-KEY:METHOD=NONE)", true, false},
           {R"(#EXT-X-KEY:METHOD=SAMPLE-AES,URI="k.bin")", false, false},
           {R"(#EXT-X-KEY:URI="k.bin")", false, false},
       }) {
    SCOPED_TRACE(c.keyLine);
    const ns::Result<av::MediaPlaylist> playlist = readWithKeyLine(c.keyLine);
    ASSERT_EQ(playlist.ok(), c.readable);
    if (c.readable) {
      EXPECT_EQ(playlist->key().has_value(), c.hasKey);
    } else {
      EXPECT_EQ(playlist.error().domain(), av::kCoreMediaErrorDomain);
      EXPECT_EQ(playlist.error().code(), av::kMediaPlaylistParseError);
    }
  }
}

TEST(MediaPlaylistTest, TheFirstOfARepeatedKeyAttributeCounts) {
  const ns::Result<av::MediaPlaylist> playlist =
      readWithKeyLine(R"(#EXT-X-KEY:METHOD=AES-128,URI="first.bin",IV=0x000102030405060708090a0b0c0d0e0f,)"
                      R"(METHOD=SAMPLE-AES,URI="second.bin",IV=0xffffffffffffffffffffffffffffffff)");
  ASSERT_TRUE(playlist.ok());
  ASSERT_TRUE(playlist->key().has_value());
  EXPECT_EQ(playlist->key()->url.absoluteString(), "http://lessons.test/a/first.bin");
  EXPECT_EQ(playlist->key()->iv, (ns::Data{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST(MediaPlaylistTest, ADurationThatIsNoLengthOfTimeCountsAsZero) {
  const ns::Result<av::MediaPlaylist> playlist = av::MediaPlaylist::read(
      "#EXTM3U\n#EXTINF:4.5,\na.ts\n#EXTINF:-3,\nb.ts\n#EXTINF:nan,\nc.ts\n#EXTINF:inf,\nd.ts\n"
      "#EXTINF:1e999,\ne.ts\n",
      kPlaylistURL);
  ASSERT_TRUE(playlist.ok());
  ASSERT_EQ(playlist->segments().size(), 5U);
  EXPECT_EQ(playlist->totalDuration(), 4.5);
}

}  // namespace
