// 1,000 data tasks with small JSON replies over loopback through the HTTP session manager (request
// serializer, task creation, the session's loading thread, the delegate queue, JSON parsing on the processing
// queue, the success block on the main queue): all started at once, and one after the other. In the same run,
// the same GETs one after the other through a plain libcurl easy handle. The program ends by printing how
// many times longer the session manager takes in each mode.
//
// The target, at most 1.3, is for tasks started at once, as an application fires its calls: the loading
// thread, the delegate queue and the main queue then work side by side. One after the other, every task also
// waits for the hops between those threads, which plain libcurl on one thread never makes; that ratio is a
// latency figure.

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

#include "http_client/HCHTTPSessionManager.h"
#include "platform/foundation/loop/RunLoop.h"
#include "support/loopback_http_server.h"

namespace {

constexpr int kTasksPerBatch = 1000;
constexpr char kReply[] = R"({"code":0,"obj":{"status":1,"downloadPath":"http://example.com/app"}})";
const ns::Dictionary kParameters{{"app_id", "83"}, {"sid", "abcdef"}};

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

std::shared_ptr<http_client::HCHTTPSessionManager> benchManager() {
  return http_client::HCHTTPSessionManager::manager(ns::URL::fromString(server().url("/")));
}

// Runs `batch` tasks through a fresh manager; `waitEach` waits for each before starting the next.
void runTasks(benchmark::State& state, bool waitEach) {
  const auto manager = benchManager();
  const std::size_t connectionsBefore = server().connectionCount();
  int failures = 0;
  for (auto _ : state) {
    int ended = 0;
    for (int task = 0; task < kTasksPerBatch; ++task) {
      manager->GET(
          "app/latest_ver", kParameters,
          [&](const std::shared_ptr<ns::URLSessionTask>&, const std::optional<ns::Value>& reply) {
            benchmark::DoNotOptimize(reply);
            ++ended;
          },
          [&](const std::shared_ptr<ns::URLSessionTask>&, const ns::Error&) {
            ++failures;
            ++ended;
          });
      if (waitEach) {
        ns::RunLoop::main().runUntil([&] { return ended == task + 1; }, std::chrono::seconds(10));
      }
    }
    ns::RunLoop::main().runUntil([&] { return ended == kTasksPerBatch; }, std::chrono::seconds(60));
  }
  reportConnections(state, connectionsBefore);
  manager->session()->finishTasksAndInvalidate();
  if (failures > 0) {
    state.SkipWithError("some tasks failed");
  }
}

void BM_SessionManagerDataTasks(benchmark::State& state) {
  runTasks(state, true);
}
BENCHMARK(BM_SessionManagerDataTasks)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SessionManagerDataTasksStartedAtOnce(benchmark::State& state) {
  runTasks(state, false);
}
BENCHMARK(BM_SessionManagerDataTasksStartedAtOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

std::size_t collect(char* bytes, std::size_t size, std::size_t count, void* reply) {
  static_cast<std::string*>(reply)->append(bytes, size * count);
  return size * count;
}

void BM_PlainCurlGets(benchmark::State& state) {
  const std::string url = server().url("/app/latest_ver?app_id=83&sid=abcdef");
  CURL* easy = curl_easy_init();
  std::string reply;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &collect);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &reply);
  const std::size_t connectionsBefore = server().connectionCount();
  for (auto _ : state) {
    for (int task = 0; task < kTasksPerBatch; ++task) {
      reply.clear();
      if (curl_easy_perform(easy) != CURLE_OK) {
        state.SkipWithError("a request failed");
      }
      benchmark::DoNotOptimize(reply);
    }
  }
  reportConnections(state, connectionsBefore);
  curl_easy_cleanup(easy);
}
BENCHMARK(BM_PlainCurlGets)->Unit(benchmark::kMillisecond)->UseRealTime();

// Remembers the median real time of each benchmark, so that the ratios can be printed at the end.
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
    const auto plain = realTimes_.find("BM_PlainCurlGets");
    if (plain == realTimes_.end() || plain->second <= 0) {
      return;
    }
    const std::pair<const char*, const char*> modes[] = {
        {"BM_SessionManagerDataTasksStartedAtOnce", "started at once (target: at most 1.30)"},
        {"BM_SessionManagerDataTasks", "one after the other"}};
    for (const auto& [name, mode] : modes) {
      if (const auto manager = realTimes_.find(name); manager != realTimes_.end()) {
        std::printf("session manager / plain libcurl, %s: %.2f\n", mode, manager->second / plain->second);
      }
    }
  }

 private:
  std::map<std::string, double> realTimes_;
  std::set<std::string> medians_;
};

}  // namespace

// Unless the command line says otherwise, each benchmark runs six times, interleaved at random with the
// others, and the ratios compare medians.
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
