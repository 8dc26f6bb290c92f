// Loading pictures into image views from a loopback server: placeholder then image, the cache that spares
// a second request, the latest load winning, the cache policies that go to the network, and replies that
// leave the placeholder in place.

#include <gtest/gtest.h>

#include <thread>

#include "http_client/HCImageViewLoading.h"
#include "http_client/HCSharedImageCache.h"
#include "http_client/http_client_test_util.h"
#include "http_client/image_test_util.h"
#include "platform/net/URLError.h"
#include "platform/uikit/app/Screen.h"

namespace http_client {
namespace {

using httpclienttest::runMainLoopUntil;
using imagetest::firstPixel;
using imagetest::imageReply;
using imagetest::pngOfColour;

const std::vector<int> kRed = {255, 0, 0};
const std::vector<int> kGreen = {0, 255, 0};

// Waits, without running the main loop, until `operation` has finished on the network thread, so that its
// completion is on its way to the main loop but has not run yet.
bool waitUntilFinishedOffTheMainLoop(const std::shared_ptr<HCHTTPRequestOperation>& operation) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!operation->isFinished() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
  return operation->isFinished();
}

// What the success and failure functions of one load reported.
struct LoadOutcome {
  int successes = 0;
  int failures = 0;
  std::optional<ns::URLRequest> request;
  std::shared_ptr<const ns::HTTPURLResponse> response;
  std::shared_ptr<const uikit::Image> image;
  std::optional<ns::Error> error;

  HCImageLoadSuccess success() {
    return [this](const std::optional<ns::URLRequest>& from,
                  const std::shared_ptr<const ns::HTTPURLResponse>& reply,
                  const std::shared_ptr<const uikit::Image>& loaded) {
      ++successes;
      request = from;
      response = reply;
      image = loaded;
    };
  }
  HCImageLoadFailure failure() {
    return [this](const std::optional<ns::URLRequest>& from,
                  const std::shared_ptr<const ns::HTTPURLResponse>& reply, const ns::Error& reported) {
      ++failures;
      request = from;
      response = reply;
      error = reported;
    };
  }
};

class HCImageViewLoadingTest : public testing::Test {
 protected:
  void SetUp() override {
    HCImageLoad::resetForTesting();
    server_.route("/red.png", imageReply(pngOfColour(4, 4, 255, 0, 0)));
    server_.route("/green.png", imageReply(pngOfColour(4, 4, 0, 255, 0)));
  }
  void TearDown() override {
    imageViewOperationQueue().cancelAllOperations();
    httpclienttest::runMainLoopThroughQueuedTasks();
    HCImageLoad::resetForTesting();
  }

  ns::URL url(std::string_view path) const { return *ns::URL::fromString(server_.url(path)); }
  std::size_t requestsFor(std::string_view path) const {
    std::size_t count = 0;
    for (const testsupport::RecordedRequest& request : server_.requests()) {
      count += request.path == path ? 1 : 0;
    }
    return count;
  }
  static bool shows(const uikit::ImageView& view, const std::vector<int>& colour) {
    return view.image() && !view.image()->rgbaPixels().empty() && firstPixel(*view.image()) == colour;
  }

  testsupport::LoopbackHTTPServer server_;
  std::shared_ptr<const uikit::Image> placeholder_ = uikit::Image::imageNamed("avater");
};

TEST_F(HCImageViewLoadingTest, ShowsThePlaceholderThenTheImageAskingForImages) {
  auto view = std::make_shared<uikit::ImageView>();
  setImageWithURL(view, url("/red.png"), placeholder_);
  EXPECT_EQ(view->image(), placeholder_);
  ASSERT_NE(imageRequestOperation(*view), nullptr);
  ASSERT_TRUE(runMainLoopUntil([&] { return shows(*view, kRed); }));
  EXPECT_EQ(view->image()->scale(), imageResponseSerializer(*view)->imageScale());
  EXPECT_EQ(server_.requests().at(0).header("Accept"), "image/*");
  EXPECT_EQ(imageRequestOperation(*view), nullptr);
}

TEST_F(HCImageViewLoadingTest, ServesASecondViewFromTheCacheWithoutARequestOrThePlaceholder) {
  auto first = std::make_shared<uikit::ImageView>();
  setImageWithURL(first, url("/red.png"));
  ASSERT_TRUE(runMainLoopUntil([&] { return shows(*first, kRed); }));

  auto second = std::make_shared<uikit::ImageView>();
  setImageWithURL(second, url("/red.png"), placeholder_);
  EXPECT_EQ(second->image(), first->image());
  EXPECT_EQ(imageRequestOperation(*second), nullptr);

  LoadOutcome fromCache;
  setImageWithURLRequest(second, httpclienttest::requestTo(server_.url("/red.png")), placeholder_,
                         fromCache.success(), fromCache.failure());
  EXPECT_EQ(fromCache.successes, 1);
  EXPECT_FALSE(fromCache.request);
  EXPECT_EQ(fromCache.response, nullptr);
  EXPECT_EQ(fromCache.image, first->image());
  httpclienttest::runMainLoopThroughQueuedTasks();
  EXPECT_EQ(requestsFor("/red.png"), 1u);
}

TEST_F(HCImageViewLoadingTest, ViewsAskingForAURLOnItsWayWaitForThatOneRequest) {
  std::vector<std::shared_ptr<uikit::ImageView>> views;
  for (int index = 0; index < 5; ++index) {
    views.push_back(std::make_shared<uikit::ImageView>());
    setImageWithURL(views.back(), url("/red.png"), placeholder_);
  }
  EXPECT_EQ(imageRequestOperation(*views.front()), imageRequestOperation(*views.back()));
  // One view stops waiting; the others still get the picture.
  cancelImageRequestOperation(views[1]);
  EXPECT_FALSE(imageRequestOperation(*views[0])->isCancelled());
  ASSERT_TRUE(runMainLoopUntil([&] {
    return shows(*views[0], kRed) && shows(*views[2], kRed) && shows(*views[3], kRed) &&
           shows(*views[4], kRed);
  }));
  EXPECT_EQ(views[1]->image(), placeholder_);
  EXPECT_EQ(requestsFor("/red.png"), 1u);

  // A failure reaches every view that waited.
  server_.route("/missing.png", imageReply(ns::dataFromString("gone"), "text/plain", 404));
  LoadOutcome first, second;
  const auto firstView = std::make_shared<uikit::ImageView>();
  const auto secondView = std::make_shared<uikit::ImageView>();
  setImageWithURLRequest(firstView, httpclienttest::requestTo(server_.url("/missing.png")), placeholder_,
                         first.success(), first.failure());
  setImageWithURLRequest(secondView, httpclienttest::requestTo(server_.url("/missing.png")), placeholder_,
                         second.success(), second.failure());
  ASSERT_TRUE(runMainLoopUntil([&] { return first.failures == 1 && second.failures == 1; }));
  EXPECT_EQ(requestsFor("/missing.png"), 1u);

  // The request stops once no view waits for it.
  server_.route("/silent.png", testsupport::TestResponse::noAnswer());
  setImageWithURL(firstView, url("/silent.png"));
  setImageWithURL(secondView, url("/silent.png"));
  const auto silent = imageRequestOperation(*firstView);
  cancelImageRequestOperation(firstView);
  EXPECT_FALSE(silent->isCancelled());
  cancelImageRequestOperation(secondView);
  EXPECT_TRUE(silent->isCancelled());
  ASSERT_TRUE(runMainLoopUntil([&] { return silent->isFinished(); }));
  httpclienttest::runMainLoopThroughQueuedTasks();
}

TEST_F(HCImageViewLoadingTest, AReloadRequestGoesToTheNetworkAndItsImageIsStillCached) {
  auto view = std::make_shared<uikit::ImageView>();
  setImageWithURL(view, url("/red.png"));
  ASSERT_TRUE(runMainLoopUntil([&] { return shows(*view, kRed); }));
  const auto first = view->image();

  ns::URLRequest reload = httpclienttest::requestTo(server_.url("/red.png"));
  reload.setCachePolicy(ns::URLRequestCachePolicy::kReloadIgnoringLocalCacheData);
  setImageWithURLRequest(view, reload, nullptr, nullptr, nullptr);
  ASSERT_TRUE(runMainLoopUntil([&] { return requestsFor("/red.png") == 2 && view->image() != first; }));
  EXPECT_EQ(defaultImageCache()->cachedImageForRequest(httpclienttest::requestTo(server_.url("/red.png"))),
            view->image());
}

TEST_F(HCImageViewLoadingTest, ALaterLoadCancelsTheEarlierOneWhoseResultNeverReplacesIt) {
  server_.route("/silent.png", testsupport::TestResponse::noAnswer());
  auto view = std::make_shared<uikit::ImageView>();
  LoadOutcome silent;
  setImageWithURLRequest(view, httpclienttest::requestTo(server_.url("/silent.png")), placeholder_,
                         silent.success(), silent.failure());
  const auto cancelled = imageRequestOperation(*view);
  setImageWithURL(view, url("/green.png"));
  EXPECT_TRUE(cancelled->isCancelled());
  ASSERT_TRUE(runMainLoopUntil([&] { return shows(*view, kGreen) && cancelled->isFinished(); }));
  httpclienttest::runMainLoopThroughQueuedTasks();
  EXPECT_EQ(silent.successes + silent.failures, 0);  // a load for another URL took its place

  // An earlier load that has already finished, its result still on the way, when the view is given an
  // image from the cache.
  setImageWithURL(view, url("/red.png"));
  ASSERT_TRUE(waitUntilFinishedOffTheMainLoop(imageRequestOperation(*view)));
  setImageWithURL(view, url("/green.png"));
  EXPECT_TRUE(shows(*view, kGreen));
  ASSERT_TRUE(runMainLoopUntil([&] {
    return defaultImageCache()->cachedImageForRequest(httpclienttest::requestTo(server_.url("/red.png"))) !=
           nullptr;
  }));
  EXPECT_TRUE(shows(*view, kGreen));
}

TEST_F(HCImageViewLoadingTest, ACancelledLoadReportsOnlyWhenTheNewLoadAsksForTheSameURL) {
  server_.route("/silent.png", testsupport::TestResponse::noAnswer());
  auto view = std::make_shared<uikit::ImageView>();
  LoadOutcome first;
  setImageWithURLRequest(view, httpclienttest::requestTo(server_.url("/silent.png")), nullptr,
                         first.success(), first.failure());
  setImageWithURLRequest(view, httpclienttest::requestTo(server_.url("/silent.png")), nullptr, nullptr,
                         nullptr);
  ASSERT_TRUE(runMainLoopUntil([&] { return first.failures == 1; }));
  EXPECT_EQ(first.error->code(), -999);

  LoadOutcome cancelledByHand;
  setImageWithURLRequest(view, httpclienttest::requestTo(server_.url("/silent.png")), nullptr,
                         cancelledByHand.success(), cancelledByHand.failure());
  const auto operation = imageRequestOperation(*view);
  cancelImageRequestOperation(view);
  EXPECT_EQ(imageRequestOperation(*view), nullptr);
  ASSERT_TRUE(runMainLoopUntil([&] { return operation->isFinished(); }));
  httpclienttest::runMainLoopThroughQueuedTasks();
  EXPECT_EQ(cancelledByHand.successes + cancelledByHand.failures, 0);
}

// A reply that yields no image, for whatever reason, leaves the placeholder, reports the error and caches
// nothing.
TEST_F(HCImageViewLoadingTest, ARefusedOrUndecodableReplyLeavesThePlaceholderAndReportsTheError) {
  server_.route("/missing.png", imageReply(pngOfColour(4, 4, 255, 0, 0), "image/png", 404));
  server_.route("/page.png", imageReply(ns::dataFromString("<html>sorry</html>"), "image/png"));
  server_.route("/page.html", imageReply(ns::dataFromString("<html>sorry</html>"), "text/html"));
  server_.route("/huge.png", imageReply(imagetest::pngHeaderClaiming(5000, 5000)));
  for (const auto& [path, code] : std::vector<std::pair<std::string, std::int64_t>>{
           {"/missing.png", kHCResponseErrorBadServerResponse},
           {"/page.png", kHCResponseErrorCannotDecodeContentData},
           {"/page.html", kHCResponseErrorCannotDecodeContentData},
           {"/huge.png", kHCResponseErrorCannotDecodeContentData}}) {
    auto view = std::make_shared<uikit::ImageView>();
    LoadOutcome outcome;
    setImageWithURLRequest(view, httpclienttest::requestTo(server_.url(path)), placeholder_, nullptr,
                           outcome.failure());
    ASSERT_TRUE(runMainLoopUntil([&] { return outcome.failures == 1; })) << path;
    EXPECT_EQ(outcome.error->code(), code) << path;
    EXPECT_NE(outcome.response, nullptr) << path;
    EXPECT_EQ(view->image(), placeholder_) << path;
    EXPECT_EQ(imageRequestOperation(*view), nullptr) << path;
    EXPECT_EQ(defaultImageCache()->cachedImageForRequest(httpclienttest::requestTo(server_.url(path))),
              nullptr);

    // Without a failure function, the same.
    setImageWithURL(view, url(path), placeholder_);
    ASSERT_TRUE(runMainLoopUntil([&] { return imageRequestOperation(*view) == nullptr; })) << path;
    EXPECT_EQ(view->image(), placeholder_) << path;
  }
}

TEST_F(HCImageViewLoadingTest, ABodyLongerThanTheMaximumFailsTheLoadAsItArrives) {
  server_.route("/endless.png", imageReply(ns::Data(HCImageLoad::kMaximumBodyLength + 1, 0x89)));
  auto view = std::make_shared<uikit::ImageView>();
  LoadOutcome outcome;
  setImageWithURLRequest(view, httpclienttest::requestTo(server_.url("/endless.png")), placeholder_, nullptr,
                         outcome.failure());
  ASSERT_TRUE(runMainLoopUntil([&] { return outcome.failures == 1; }));
  EXPECT_EQ(outcome.error->code(), ns::kURLErrorDataLengthExceedsMaximum);
  EXPECT_EQ(view->image(), placeholder_);
}

TEST_F(HCImageViewLoadingTest,
       ASuccessFunctionTakesTheImageInsteadOfTheViewAndAViewOfItsOwnUsesItsSerializer) {
  auto view = std::make_shared<uikit::ImageView>();
  auto serializer = HCImageResponseSerializer::serializer();
  serializer->setImageScale(3);
  setImageResponseSerializer(view, serializer);
  LoadOutcome outcome;
  setImageWithURLRequest(view, httpclienttest::requestTo(server_.url("/red.png")), placeholder_,
                         outcome.success(), outcome.failure());
  ASSERT_TRUE(runMainLoopUntil([&] { return outcome.successes == 1; }));
  EXPECT_EQ(view->image(), placeholder_);
  ASSERT_TRUE(outcome.request);
  EXPECT_EQ(outcome.request->url(), url("/red.png"));
  ASSERT_NE(outcome.response, nullptr);
  EXPECT_EQ(outcome.response->statusCode(), 200);
  EXPECT_EQ(outcome.image->scale(), 3);
  EXPECT_EQ(imageResponseSerializer(*std::make_shared<uikit::ImageView>())->imageScale(),
            uikit::Screen::mainScreen().scale());
}

}  // namespace
}  // namespace http_client
