// The sample pictures: each one a real picture of its content type, served by the media service at its
// stable path whatever query follows.

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/media/MediaService.h"
#include "sample_backend/media/SampleImages.h"

namespace sample_backend::media {
namespace {

struct Decoded {
  int width = 0;
  int height = 0;
};

std::optional<Decoded> decode(const ns::Data& bytes) {
  Decoded decoded;
  int channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &decoded.width,
                                          &decoded.height, &channels, 4);
  if (pixels == nullptr) {
    return std::nullopt;
  }
  stbi_image_free(pixels);
  return decoded;
}

TEST(SampleImages, AreRealPicturesOfTheirContentTypeAndTheAvatarWeighsAbout100KB) {
  const std::optional<SampleImage> avatar = sampleImageAtPath(kAvatarImagePath);
  ASSERT_TRUE(avatar);
  EXPECT_EQ(avatar->contentType, "image/jpeg");
  EXPECT_GE(avatar->bytes.size(), 80u * 1024);
  EXPECT_LE(avatar->bytes.size(), 120u * 1024);
  ASSERT_TRUE(decode(avatar->bytes));
  EXPECT_EQ(decode(avatar->bytes)->width, 256);

  for (const std::string_view path : kLiveGroupImagePaths) {
    const std::optional<SampleImage> picture = sampleImageAtPath(path);
    ASSERT_TRUE(picture) << path;
    EXPECT_EQ(picture->contentType, path.ends_with(".png") ? "image/png" : "image/jpeg") << path;
    const std::optional<Decoded> decoded = decode(picture->bytes);
    ASSERT_TRUE(decoded) << path;
    EXPECT_EQ(decoded->width, 240);
    EXPECT_EQ(decoded->height, 135);
  }
  EXPECT_FALSE(sampleImageAtPath("/images/nobody.png"));
}

TEST(SampleImages, AreServedAtTheirPathsWithAnyQueryAndUnknownPicturesAreNotFound) {
  MediaService media(std::make_shared<api::ApiService>(
                         api::SampleCatalogue::fromFile(api::SampleCatalogue::defaultPath()).value()),
                     MediaLibrary::make({.segmentCount = 1, .segmentDuration = 0.4}).value());
  const MediaReply avatar = media.answer("GET", std::string(kAvatarImagePath) + "?learner=17", "127.0.0.1");
  EXPECT_EQ(avatar.status, 200u);
  EXPECT_EQ(avatar.contentType, "image/jpeg");
  EXPECT_EQ(avatar.body, ns::stringFromData(sampleImageAtPath(kAvatarImagePath)->bytes));
  EXPECT_EQ(media.answer("GET", std::string(kLiveGroupImagePaths[0]), "127.0.0.1").contentType, "image/png");
  EXPECT_EQ(media.answer("GET", "/images/live/group-9.png", "127.0.0.1").status, 404u);
}

}  // namespace
}  // namespace sample_backend::media
