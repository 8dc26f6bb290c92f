// One form POST with a small JSON reply over loopback, loaded through ns::URLConnection on a run loop, and
// the same request through a plain libcurl easy handle that keeps its connection open. Compare the two
// times per request: the connection's own cost is the difference.

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/foundation/loop/RunLoop.h"
#include "platform/net/URLConnection.h"
#include "support/loopback_http_server.h"

namespace {

constexpr char kFormBody[] = "app_id=3&sid=abcdef&sign=0123456789abcdef0123456789abcdef";

testsupport::LoopbackHTTPServer& server() {
  static testsupport::LoopbackHTTPServer instance;
  static const bool routed = [] {
    instance.route("/api", testsupport::TestResponse::text(200, R"({"code":0,"obj":{"status":1}})",
                                                           "application/json;charset=utf-8"));
    return true;
  }();
  static_cast<void>(routed);
  return instance;
}

class CountingDelegate : public ns::URLConnectionDelegate {
 public:
  DataDisposition didReceiveData(ns::URLConnection&, const std::uint8_t*, std::size_t length) override {
    bytes += length;
    return DataDisposition::kConsumed;
  }
  void didFinishLoading(ns::URLConnection&) override { ended = true; }
  void didFailWithError(ns::URLConnection&, const ns::Error&) override { ended = true; }

  std::size_t bytes = 0;
  bool ended = false;
};

void BM_URLConnectionFormPost(benchmark::State& state) {
  ns::URLRequest request(ns::URL::fromString(server().url("/api")));
  request.setHTTPMethod("POST");
  request.setValue("application/x-www-form-urlencoded", "Content-Type");
  request.setHTTPBody(ns::dataFromString(kFormBody));
  for (auto _ : state) {
    auto delegate = std::make_shared<CountingDelegate>();
    const auto connection = ns::URLConnection::create(request, delegate);
    connection->start();
    ns::RunLoop::current().runUntil([&] { return delegate->ended; }, std::chrono::seconds(10));
    benchmark::DoNotOptimize(delegate->bytes);
  }
}
BENCHMARK(BM_URLConnectionFormPost)->Unit(benchmark::kMicrosecond);

std::size_t discard(char*, std::size_t size, std::size_t count, void* total) {
  *static_cast<std::size_t*>(total) += size * count;
  return size * count;
}

void BM_PlainCurlEasyFormPost(benchmark::State& state) {
  const std::string url = server().url("/api");
  CURL* easy = curl_easy_init();
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
  std::size_t bytes = 0;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_POSTFIELDS, kFormBody);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &discard);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &bytes);
  for (auto _ : state) {
    curl_easy_perform(easy);
    benchmark::DoNotOptimize(bytes);
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(easy);
}
BENCHMARK(BM_PlainCurlEasyFormPost)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
