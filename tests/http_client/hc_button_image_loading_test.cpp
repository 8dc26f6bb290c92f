// Loading pictures into buttons, per control-state slot: which states share a slot, the latest load of a
// slot winning even over an earlier one that finished first, failures reported for every load, and the
// cache shared with image views.

#include <gtest/gtest.h>

#include <thread>

#include "http_client/HCButtonImageLoading.h"
#include "http_client/HCImageViewLoading.h"
#include "http_client/HCSharedImageCache.h"
#include "http_client/http_client_test_util.h"
#include "http_client/image_test_util.h"

namespace http_client {
namespace {

using httpclienttest::requestTo;
using httpclienttest::runMainLoopUntil;
using imagetest::firstPixel;
using imagetest::imageReply;
using imagetest::pngOfColour;

const std::vector<int> kRed = {255, 0, 0};
const std::vector<int> kGreen = {0, 255, 0};
const std::vector<int> kBlue = {0, 0, 255};

bool hasColour(const std::shared_ptr<const uikit::Image>& image, const std::vector<int>& colour) {
  return image && !image->rgbaPixels().empty() && firstPixel(*image) == colour;
}

class HCButtonImageLoadingTest : public testing::Test {
 protected:
  void SetUp() override {
    HCImageLoad::resetForTesting();
    server_.route("/red.png", imageReply(pngOfColour(4, 4, 255, 0, 0)));
    server_.route("/green.png", imageReply(pngOfColour(4, 4, 0, 255, 0)));
    server_.route("/blue.png", imageReply(pngOfColour(4, 4, 0, 0, 255)));
    server_.route("/silent.png", testsupport::TestResponse::noAnswer());
  }
  void TearDown() override {
    buttonOperationQueue().cancelAllOperations();
    imageViewOperationQueue().cancelAllOperations();
    httpclienttest::runMainLoopThroughQueuedTasks();
    HCImageLoad::resetForTesting();
  }

  ns::URL url(std::string_view path) const { return *ns::URL::fromString(server_.url(path)); }
  std::shared_ptr<HCHTTPRequestOperation> slotOperation(const uikit::Button& button,
                                                        uikit::ControlState state) const {
    return HCViewImageLoads::shared().operation(button, HCImageSlot{HCImageSlot::Kind::kButtonImage, state});
  }

  testsupport::LoopbackHTTPServer server_;
  std::shared_ptr<uikit::Button> button_ = std::make_shared<uikit::Button>();
};

TEST_F(HCButtonImageLoadingTest, HighlightedDisabledAndSelectedHaveSlotsOfTheirOwnAndOtherStatesShareNormal) {
  std::vector<ns::Error> failures;
  const auto recordFailure = [&](const ns::Error& error) { failures.push_back(error); };
  setImageForStateWithURLRequest(button_, uikit::kControlStateHighlighted | uikit::kControlStateSelected,
                                 requestTo(server_.url("/silent.png")), nullptr, nullptr, recordFailure);
  const auto combined = slotOperation(*button_, uikit::kControlStateNormal);
  ASSERT_NE(combined, nullptr);
  setImageForState(button_, uikit::kControlStateHighlighted, url("/green.png"));
  setImageForState(button_, uikit::kControlStateSelected, url("/blue.png"));
  EXPECT_FALSE(combined->isCancelled());

  // A load for the normal state takes the combined state's slot; the cancelled load still reports.
  setImageForState(button_, uikit::kControlStateNormal, url("/red.png"));
  EXPECT_TRUE(combined->isCancelled());
  ASSERT_TRUE(runMainLoopUntil([&] {
    return failures.size() == 1 && hasColour(button_->imageForState(uikit::kControlStateNormal), kRed) &&
           hasColour(button_->imageForState(uikit::kControlStateHighlighted), kGreen) &&
           hasColour(button_->imageForState(uikit::kControlStateSelected), kBlue);
  }));
  EXPECT_EQ(failures.front().code(), -999);
  // A slot keeps its finished operation until its next load.
  EXPECT_TRUE(slotOperation(*button_, uikit::kControlStateHighlighted)->isFinished());
  cancelImageRequestOperationForState(button_, uikit::kControlStateHighlighted);
  EXPECT_EQ(slotOperation(*button_, uikit::kControlStateHighlighted), nullptr);
}

// An earlier load that has already finished, its result still on its way, when the slot gets an image from
// the cache: the later image stays.
TEST_F(HCButtonImageLoadingTest, AnEarlierLoadThatFinishesLaterNeverReplacesTheLatestImageOfItsSlot) {
  const auto green = uikit::Image::imageWithData(pngOfColour(2, 2, 0, 255, 0));
  defaultImageCache()->cacheImage(green, requestTo(server_.url("/green.png")));

  setImageForState(button_, uikit::kControlStateNormal, url("/red.png"));
  const auto earlier = slotOperation(*button_, uikit::kControlStateNormal);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!earlier->isFinished() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
  ASSERT_TRUE(earlier->isFinished());
  setImageForState(button_, uikit::kControlStateNormal, url("/green.png"));
  EXPECT_EQ(button_->imageForState(uikit::kControlStateNormal), green);
  ASSERT_TRUE(runMainLoopUntil([&] {
    return defaultImageCache()->cachedImageForRequest(requestTo(server_.url("/red.png"))) != nullptr;
  }));
  httpclienttest::runMainLoopThroughQueuedTasks();
  EXPECT_EQ(button_->imageForState(uikit::kControlStateNormal), green);
}

TEST_F(HCButtonImageLoadingTest, BackgroundImagesLoadInSlotsOfTheirOwnAndShareTheImageViewsCache) {
  auto view = std::make_shared<uikit::ImageView>();
  setImageWithURL(view, url("/red.png"));
  ASSERT_TRUE(runMainLoopUntil([&] { return hasColour(view->image(), kRed); }));

  const auto placeholder = uikit::Image::imageNamed("avater");
  setBackgroundImageForState(button_, uikit::kControlStateNormal, url("/green.png"), placeholder);
  setImageForState(button_, uikit::kControlStateNormal, url("/red.png"), placeholder);
  EXPECT_EQ(button_->imageForState(uikit::kControlStateNormal), view->image());  // from the cache
  EXPECT_EQ(button_->backgroundImageForState(uikit::kControlStateNormal), placeholder);
  ASSERT_TRUE(runMainLoopUntil(
      [&] { return hasColour(button_->backgroundImageForState(uikit::kControlStateNormal), kGreen); }));
  EXPECT_EQ(button_->imageForState(uikit::kControlStateNormal), view->image());
  EXPECT_EQ(server_.requestCount(), 2u);

  // A failed background load leaves the placeholder and reports the error.
  std::optional<ns::Error> failure;
  server_.route("/missing.png", imageReply(ns::dataFromString("gone"), "text/plain", 404));
  setBackgroundImageForStateWithURLRequest(button_, uikit::kControlStateSelected,
                                           requestTo(server_.url("/missing.png")), placeholder, nullptr,
                                           [&](const ns::Error& error) { failure = error; });
  ASSERT_TRUE(runMainLoopUntil([&] { return failure.has_value(); }));
  EXPECT_EQ(button_->backgroundImageForState(uikit::kControlStateSelected), placeholder);
}

}  // namespace
}  // namespace http_client
