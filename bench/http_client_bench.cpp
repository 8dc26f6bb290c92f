// 1,000 form POSTs with small JSON replies over loopback through the HTTP client's manager (request
// serializer, operation queue, network thread, JSON parsing, success block on the main queue): all queued at
// once, and one after the other. In the same run, the same requests one after the other through a plain
// libcurl easy handle. The program ends by printing how many times longer the manager takes in each mode.
//
// The target, at most 1.3, is for the manager's own way of running requests: queued at once, as an
// application fires its calls, with the network thread, the processing queue and the main queue working side
// by side. One after the other, every request also waits for the three thread hops the client's design makes
// (main queue -> network thread -> processing queue -> main queue), which plain libcurl on one thread never
// makes; that ratio is a latency figure.
//
// The "connections" column counts the connections the server accepted per iteration, which shows whether
// connections are kept alive from one request to the next.

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "http_client/HCHTTPRequestOperationManager.h"
#include "platform/foundation/loop/RunLoop.h"
#include "support/loopback_http_server.h"

namespace {

constexpr int kRequestsPerBatch = 1000;
constexpr char kReply[] = R"({"code":0,"obj":{"status":1,"downloadPath":"http://example.com/app"}})";
const ns::Dictionary kParameters{
    {"app_id", "83"}, {"sid", "abcdef"}, {"sign", "0123456789abcdef0123456789abcdef"}};

testsupport::LoopbackHTTPServer& server() {
  static testsupport::LoopbackHTTPServer instance;
  static const bool routed = [] {
    instance.route("/app/latest_ver",
                   testsupport::TestResponse::text(200, kReply, "application/json;charset=utf-8"));
    return true;
  }();
  static_cast<void>(routed);
  return instance;
}

// Reports the connections the server accepted per iteration since `before`.
void reportConnections(benchmark::State& state, std::size_t before) {
  state.counters["connections"] = benchmark::Counter(static_cast<double>(server().connectionCount() - before),
                                                     benchmark::Counter::kAvgIterations);
}

// A manager on the loopback server that sends one header of its own, as the application's does.
std::shared_ptr<http_client::HCHTTPRequestOperationManager> benchManager() {
  const auto manager =
      std::make_shared<http_client::HCHTTPRequestOperationManager>(ns::URL::fromString(server().url("/")));
  manager->requestSerializer()->setValue("000016", "channel");
  return manager;
}

void BM_ManagerFormPosts(benchmark::State& state) {
  const auto manager = benchManager();
  const std::size_t connectionsBefore = server().connectionCount();
  int failures = 0;
  for (auto _ : state) {
    for (int request = 0; request < kRequestsPerBatch; ++request) {
      bool ended = false;
      manager->POST(
          "app/latest_ver", kParameters,
          [&](const std::shared_ptr<http_client::HCHTTPRequestOperation>&,
              const std::optional<ns::Value>& reply) {
            benchmark::DoNotOptimize(reply);
            ended = true;
          },
          [&](const std::shared_ptr<http_client::HCHTTPRequestOperation>&, const ns::Error&) {
            ++failures;
            ended = true;
          });
      ns::RunLoop::main().runUntil([&] { return ended; }, std::chrono::seconds(10));
    }
  }
  reportConnections(state, connectionsBefore);
  if (failures > 0) {
    state.SkipWithError("some requests failed");
  }
}
BENCHMARK(BM_ManagerFormPosts)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same requests queued all at once, as an application that fires several calls does: the manager's
// operation queue runs them side by side.
void BM_ManagerFormPostsQueuedAtOnce(benchmark::State& state) {
  const auto manager = benchManager();
  const std::size_t connectionsBefore = server().connectionCount();
  int failures = 0;
  for (auto _ : state) {
    int ended = 0;
    for (int request = 0; request < kRequestsPerBatch; ++request) {
      manager->POST(
          "app/latest_ver", kParameters,
          [&](const std::shared_ptr<http_client::HCHTTPRequestOperation>&,
              const std::optional<ns::Value>& reply) {
            benchmark::DoNotOptimize(reply);
            ++ended;
          },
          [&](const std::shared_ptr<http_client::HCHTTPRequestOperation>&, const ns::Error&) {
            ++failures;
            ++ended;
          });
    }
    ns::RunLoop::main().runUntil([&] { return ended == kRequestsPerBatch; }, std::chrono::seconds(60));
  }
  reportConnections(state, connectionsBefore);
  if (failures > 0) {
    state.SkipWithError("some requests failed");
  }
}
BENCHMARK(BM_ManagerFormPostsQueuedAtOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

std::size_t collect(char* bytes, std::size_t size, std::size_t count, void* reply) {
  static_cast<std::string*>(reply)->append(bytes, size * count);
  return size * count;
}

void BM_PlainCurlFormPosts(benchmark::State& state) {
  const std::string url = server().url("/app/latest_ver");
  const std::string body = "app_id=83&sid=abcdef&sign=0123456789abcdef0123456789abcdef";
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
  headers = curl_slist_append(headers, "channel: 000016");
  CURL* easy = curl_easy_init();
  std::string reply;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &reply);
  const std::size_t connectionsBefore = server().connectionCount();
  for (auto _ : state) {
    for (int request = 0; request < kRequestsPerBatch; ++request) {
      reply.clear();
      if (curl_easy_perform(easy) != CURLE_OK) {
        state.SkipWithError("a request failed");
      }
      benchmark::DoNotOptimize(reply);
    }
  }
  reportConnections(state, connectionsBefore);
  curl_easy_cleanup(easy);
  curl_slist_free_all(headers);
}
BENCHMARK(BM_PlainCurlFormPosts)->Unit(benchmark::kMillisecond)->UseRealTime();

// Remembers the real time of each benchmark, the median of its repetitions when there are several, so that
// the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (median || (run.run_type == Run::RT_Iteration && !medians_.contains(run.run_name.function_name))) {
        realTimes_[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
      if (median) {
        medians_.insert(run.run_name.function_name);
      }
    }
  }
  void printRatios() const {
    const auto plain = realTimes_.find("BM_PlainCurlFormPosts");
    if (plain == realTimes_.end() || plain->second <= 0) {
      return;
    }
    const std::pair<const char*, const char*> modes[] = {
        {"BM_ManagerFormPostsQueuedAtOnce", "queued at once (target: at most 1.30)"},
        {"BM_ManagerFormPosts", "one after the other"}};
    for (const auto& [name, mode] : modes) {
      if (const auto manager = realTimes_.find(name); manager != realTimes_.end()) {
        std::printf("manager / plain libcurl, %s: %.2f\n", mode, manager->second / plain->second);
      }
    }
  }

 private:
  std::map<std::string, double> realTimes_;
  std::set<std::string> medians_;
};

}  // namespace

// Unless the command line says otherwise, each benchmark runs six times, interleaved at random with the
// others, and the ratios compare medians: the machine's speed drifts over a run, and this way the drift
// falls on every benchmark alike.
int main(int argc, char** argv) {
  std::vector<char*> arguments{argv[0]};
  std::string repetitions = "--benchmark_repetitions=6";
  std::string interleaving = "--benchmark_enable_random_interleaving=true";
  std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
  arguments.insert(arguments.end(), {repetitions.data(), interleaving.data(), aggregatesOnly.data()});
  arguments.insert(arguments.end(), argv + 1, argv + argc);
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  return 0;
}
