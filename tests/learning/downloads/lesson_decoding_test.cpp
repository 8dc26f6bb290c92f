// Our own media engine decodes a sample lesson, picture and sound, online from the signed playlist URL and
// offline from the lesson's downloaded folder served by HTTPServer.

#include "embedded_server/http/HTTPServer.h"
#include "learning/downloads/download_test_util.h"
#include "platform/avfoundation/lesson_decoding_test_util.h"

namespace learning {

namespace {

using downloadtest::DownloadRoad;

TEST(LessonDecoding, DecodesEveryPictureAndTheSoundOnlineAndDownloaded) {
  DownloadRoad road;
  embedded_server::HTTPServer server;
  const std::vector<std::string> urls = downloadtest::onlineAndOfflineLessonURLs(road, server);
  ASSERT_EQ(urls.size(), 2u);

  // Four segments of 0.4 s: ten pictures of a moving test picture and 0.4 s of a tone in each.
  for (const std::string& url : urls) {
    SCOPED_TRACE(url);
    const std::shared_ptr<avtest::LessonDecoding> decoded = avtest::decodeLesson(url);
    ASSERT_TRUE(decoded->ended);
    ASSERT_FALSE(decoded->failure) << decoded->failure->localizedDescription();
    EXPECT_EQ(decoded->trackCount, 2u);
    EXPECT_EQ(decoded->pictureCount, 40u);
    ASSERT_EQ(decoded->pictures.size(), 2u);
    EXPECT_NEAR(decoded->pictures.back().seconds - decoded->pictures.front().seconds, 39 * 0.04, 0.001);
    EXPECT_NE(decoded->pictures.front().rgba, decoded->pictures.back().rgba) << "the picture moves";
    EXPECT_NEAR(decoded->audioSeconds, 1.6, 0.05);
    EXPECT_GT(decoded->audioPeak, 0.1f) << "the tone is heard";
  }
}

}  // namespace

}  // namespace learning
