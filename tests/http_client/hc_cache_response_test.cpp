// What the URL cache keeps of loads against a loopback server, on the connection road (the cache-response
// block, else the proposed response unless cancelled) and on the session road (the will-cache-response
// block, else the proposed response); replies that may not be kept are never proposed.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "http_client/HCURLSessionManager.h"
#include "http_client/http_client_test_util.h"
#include "platform/net/URLCache.h"

namespace http_client {
namespace {

using httpclienttest::Outcome;
using testsupport::TestResponse;

class HCCacheResponseTest : public testing::Test {
 protected:
  HCCacheResponseTest() {
    server_.route("/lesson", TestResponse::text(200, R"({"title":"one"})", "application/json"));
    TestResponse private_ = TestResponse::text(200, R"({"title":"mine"})", "application/json");
    private_.headers.emplace_back("Cache-Control", "private, no-store");
    server_.route("/private", private_);
  }
  ~HCCacheResponseTest() override {
    session_->session()->invalidateAndCancel();
    ns::URLCache::sharedURLCache().removeAllCachedResponses();
  }

  std::optional<std::string> cachedBody(const std::string& path) const {
    const std::optional<ns::CachedURLResponse> cached =
        ns::URLCache::sharedURLCache().cachedResponseForRequest(httpclienttest::requestTo(server_.url(path)));
    return cached ? std::optional(ns::stringFromData(cached->data)) : std::nullopt;
  }
  // Runs an operation for `path`, given `block` as its cache-response block when set.
  Outcome load(const std::string& path, HCURLConnectionOperation::CacheResponseBlock block = nullptr) {
    Outcome outcome;
    const auto operation = operations_->HTTPRequestOperationWithRequest(
        httpclienttest::requestTo(server_.url(path)), outcome.success(), outcome.failure());
    if (block) {
      operation->setCacheResponseBlock(std::move(block));
    }
    operations_->operationQueue().addOperation(operation);
    EXPECT_TRUE(outcome.waitForEnd());
    return outcome;
  }
  bool runDataTask(const std::string& path) {
    bool done = false;
    session_
        ->dataTaskWithRequest(
            httpclienttest::requestTo(server_.url(path)),
            [&](const std::shared_ptr<const ns::URLResponse>&, const std::optional<ns::Value>&,
                const std::optional<ns::Error>&) { done = true; })
        ->resume();
    return httpclienttest::runMainLoopUntil([&] { return done; });
  }

  testsupport::LoopbackHTTPServer server_;
  std::shared_ptr<HCHTTPRequestOperationManager> operations_ =
      std::make_shared<HCHTTPRequestOperationManager>();
  std::shared_ptr<HCURLSessionManager> session_ = HCURLSessionManager::manager();
};

TEST_F(HCCacheResponseTest, AnOperationKeepsTheProposedResponseOrWhatItsBlockAnswers) {
  ASSERT_TRUE(load("/lesson").succeededOnce());
  EXPECT_EQ(cachedBody("/lesson"), R"({"title":"one"})");

  ns::URLCache::sharedURLCache().removeAllCachedResponses();
  int asked = 0;
  load("/lesson", [&](ns::URLConnection&, const ns::CachedURLResponse& proposed) {
    ++asked;
    EXPECT_EQ(ns::stringFromData(proposed.data), R"({"title":"one"})");
    return std::optional<ns::CachedURLResponse>();
  });
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(cachedBody("/lesson"));

  load("/lesson", [](ns::URLConnection&, const ns::CachedURLResponse& proposed) {
    return std::optional(ns::CachedURLResponse{proposed.response, ns::dataFromString("{}")});
  });
  EXPECT_EQ(cachedBody("/lesson"), "{}");

  load("/private", [&](ns::URLConnection&, const ns::CachedURLResponse& proposed) {
    ++asked;
    return std::optional(proposed);
  });
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(cachedBody("/private"));
}

TEST_F(HCCacheResponseTest, ADataTaskKeepsTheProposedResponseOrWhatTheManagersBlockAnswers) {
  ASSERT_TRUE(runDataTask("/lesson"));
  EXPECT_EQ(cachedBody("/lesson"), R"({"title":"one"})");

  ns::URLCache::sharedURLCache().removeAllCachedResponses();
  std::atomic<int> asked = 0;
  session_->setDataTaskWillCacheResponseBlock(
      [&](ns::URLSession&, ns::URLSessionTask&, const ns::CachedURLResponse&) {
        ++asked;
        return std::optional<ns::CachedURLResponse>();
      });
  ASSERT_TRUE(runDataTask("/lesson"));
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(cachedBody("/lesson"));
  ASSERT_TRUE(runDataTask("/private"));
  EXPECT_EQ(asked, 1);
}

TEST_F(HCCacheResponseTest, TheCacheStaysWithinItsCapacityDroppingTheOldestFirst) {
  ns::URLCache& cache = ns::URLCache::sharedURLCache();
  const auto response =
      std::make_shared<ns::URLResponse>(*ns::URL::fromString("http://127.0.0.1/"), "", -1, std::nullopt);
  const ns::Data entry(ns::URLCache::kMaximumEntryBytes, 'x');
  const std::size_t fitting = ns::URLCache::kMemoryCapacity / entry.size();
  for (std::size_t index = 0; index <= fitting; ++index) {
    cache.storeCachedResponse({response, entry},
                              httpclienttest::requestTo("http://127.0.0.1/" + std::to_string(index)));
  }
  EXPECT_LE(cache.currentMemoryUsage(), ns::URLCache::kMemoryCapacity);
  EXPECT_FALSE(cache.cachedResponseForRequest(httpclienttest::requestTo("http://127.0.0.1/0")));
  EXPECT_TRUE(cache.cachedResponseForRequest(
      httpclienttest::requestTo("http://127.0.0.1/" + std::to_string(fitting))));
  cache.storeCachedResponse({response, ns::Data(entry.size() + 1, 'x')},
                            httpclienttest::requestTo("http://127.0.0.1/big"));
  EXPECT_FALSE(cache.cachedResponseForRequest(httpclienttest::requestTo("http://127.0.0.1/big")));
}

}  // namespace
}  // namespace http_client
