// The lesson video's size as a person gives it to the standalone back end's --lesson-size.

#include <gtest/gtest.h>

#include "sample_backend/media/VideoFormat.h"

namespace sample_backend::media {
namespace {

TEST(VideoFormat, ReadsASizeOfEvenSidesWithinReachAndKeepsTheFrameRate) {
  const VideoFormat base{.width = 640, .height = 360, .framesPerSecond = 30};
  EXPECT_EQ(withSizeText(base, "1280x720"), (VideoFormat{1280, 720, 30}));
  EXPECT_EQ(withSizeText(base, "32x4096"), (VideoFormat{32, 4096, 30}));
  EXPECT_EQ(sizeText(VideoFormat{1280, 720, 25}), "1280x720");
  for (const char* refused : {"1281x720", "1280x719", "30x720", "1280x4098", "0x0", "-640x360", "1280X720",
                              "1280x", "x720", "1280x720x3", "1280 x 720", "1280x720 ", ""}) {
    EXPECT_EQ(withSizeText(base, refused), std::nullopt) << refused;
  }
}

}  // namespace
}  // namespace sample_backend::media
