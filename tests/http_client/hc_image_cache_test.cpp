// The image cache: keys, the cache policies that skip it, the byte bound, and the shared caches: the
// default one emptied by a memory warning, registrations that hold for exactly one class.

#include <gtest/gtest.h>

#include "http_client/HCImageCache.h"
#include "http_client/HCImageLoad.h"
#include "http_client/HCSharedImageCache.h"
#include "http_client/http_client_test_util.h"
#include "http_client/image_test_util.h"
#include "platform/uikit/app/Application.h"

namespace http_client {
namespace {

using httpclienttest::requestTo;

// A picture of `width` x 1 pixels: 4 * width bytes in the cache.
std::shared_ptr<const uikit::Image> pictureOfWidth(int width) {
  return uikit::Image::imageWithRGBAPixels(width, 1,
                                           std::vector<std::uint8_t>(static_cast<std::size_t>(width) * 4));
}

class HCImageCacheTest : public testing::Test {
 protected:
  void SetUp() override { HCImageLoad::resetForTesting(); }
  void TearDown() override { HCImageLoad::resetForTesting(); }
};

TEST_F(HCImageCacheTest, KeepsImagesUnderTheRequestURLAndSkipsThePoliciesThatIgnoreLocalData) {
  HCImageCache cache;
  const auto image = pictureOfWidth(2);
  cache.cacheImage(image, requestTo("http://h/a.png"));
  EXPECT_EQ(cache.cachedImageForRequest(requestTo("http://h/a.png")), image);
  EXPECT_EQ(cache.cachedImageForRequest(requestTo("http://h/b.png")), nullptr);
  for (const auto policy : {ns::URLRequestCachePolicy::kReloadIgnoringLocalCacheData,
                            ns::URLRequestCachePolicy::kReloadIgnoringLocalAndRemoteCacheData}) {
    ns::URLRequest reload = requestTo("http://h/a.png");
    reload.setCachePolicy(policy);
    EXPECT_EQ(cache.cachedImageForRequest(reload), nullptr);
  }
  ns::URLRequest revalidate = requestTo("http://h/a.png");
  revalidate.setCachePolicy(ns::URLRequestCachePolicy::kReturnCacheDataElseLoad);
  EXPECT_EQ(cache.cachedImageForRequest(revalidate), image);

  const auto replacement = pictureOfWidth(3);
  cache.cacheImage(replacement, requestTo("http://h/a.png"));
  EXPECT_EQ(cache.cachedImageForRequest(requestTo("http://h/a.png")), replacement);
  EXPECT_EQ(cache.totalCost(), 12u);
  cache.cacheImage(nullptr, requestTo("http://h/a.png"));
  cache.cacheImage(image, ns::URLRequest());
  EXPECT_EQ(cache.cachedImageForRequest(requestTo("http://h/a.png")), replacement);
}

TEST_F(HCImageCacheTest, StaysWithinItsByteLimitByEvictingTheLeastRecentlyUsed) {
  HCImageCache cache(100);  // room for three pictures of 32 bytes
  for (const char* name : {"a", "b", "c"}) {
    cache.cacheImage(pictureOfWidth(8), requestTo(std::string("http://h/") + name));
  }
  ASSERT_NE(cache.cachedImageForRequest(requestTo("http://h/a")), nullptr);  // a is now the most recent
  cache.cacheImage(pictureOfWidth(8), requestTo("http://h/d"));
  EXPECT_EQ(cache.cachedImageForRequest(requestTo("http://h/b")), nullptr);
  EXPECT_NE(cache.cachedImageForRequest(requestTo("http://h/a")), nullptr);
  EXPECT_NE(cache.cachedImageForRequest(requestTo("http://h/d")), nullptr);
  EXPECT_LE(cache.totalCost(), 100u);

  cache.cacheImage(pictureOfWidth(40), requestTo("http://h/huge"));  // larger than the whole limit
  EXPECT_EQ(cache.cachedImageForRequest(requestTo("http://h/huge")), nullptr);
  EXPECT_NE(cache.cachedImageForRequest(requestTo("http://h/a")), nullptr);

  cache.setByteLimit(40);
  EXPECT_EQ(cache.totalCost(), 32u);
  EXPECT_NE(cache.cachedImageForRequest(requestTo("http://h/a")), nullptr);

  // Animated images count every frame.
  const auto gif = uikit::Image::imageWithData(imagetest::redThenGreenGIF());
  EXPECT_EQ(HCImageCache::costOfImage(*gif), 12u);
}

TEST_F(HCImageCacheTest, AMemoryWarningEmptiesTheDefaultCacheButNotARegisteredOne) {
  const auto registered = std::make_shared<HCImageCache>();
  setSharedImageCache<uikit::ImageView>(registered);
  defaultImageCache()->cacheImage(pictureOfWidth(2), requestTo("http://h/a"));
  registered->cacheImage(pictureOfWidth(2), requestTo("http://h/a"));

  uikit::Application::sharedApplication().receiveMemoryWarning();
  EXPECT_TRUE(httpclienttest::runMainLoopUntil(
      [] { return defaultImageCache()->cachedImageForRequest(requestTo("http://h/a")) == nullptr; }));
  EXPECT_NE(registered->cachedImageForRequest(requestTo("http://h/a")), nullptr);
}

class AvatarView : public uikit::ImageView {};
class AvatarButton : public uikit::Button {};

TEST_F(HCImageCacheTest, ARegistrationHoldsForExactlyItsClassAndButtonsFallBackToTheImageViewsCache) {
  EXPECT_EQ(sharedImageCache<uikit::ImageView>(), defaultImageCache());
  EXPECT_EQ(sharedImageCache<uikit::Button>(), defaultImageCache());

  const auto imageViews = std::make_shared<HCImageCache>();
  setSharedImageCache<uikit::ImageView>(imageViews);
  EXPECT_EQ(sharedImageCache<uikit::ImageView>(), imageViews);
  EXPECT_EQ(sharedImageCache<AvatarView>(), defaultImageCache());
  EXPECT_EQ(sharedImageCache<uikit::Button>(), imageViews);

  const auto avatarButtons = std::make_shared<HCImageCache>();
  setSharedImageCache<AvatarButton>(avatarButtons);
  EXPECT_EQ(sharedImageCache<AvatarButton>(), avatarButtons);
  EXPECT_EQ(sharedImageCache<uikit::Button>(), imageViews);

  setSharedImageCache<uikit::ImageView>(nullptr);
  EXPECT_EQ(sharedImageCache<uikit::ImageView>(), defaultImageCache());
}

}  // namespace
}  // namespace http_client
