// Lists of thousands on the subject screen, from the request to the printed screen, with 1,000 and with
// 10,000 rows:
//   - the subject list: the tap that signs in (whose subject-list reply fills the store and the tree) to the
//     screen text showing the first subject;
//   - the live list: a pull on the live tab to the refresh's end with the screen text showing the first
//   group.
// Each figure is the median of its rounds; the screen text is made at every turn of the wait, as the terminal
// prints it. Targets: the 10,000-row time at most 12 times the 1,000-row time, and under 1 s.
// The back end is the sample back end's JSON API on loopback; its subject-list and live-list routes answer
// with the generated lists, every live group showing the same picture.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "main/assembly/ApplicationAssembly.h"
#include "peer_program_bench_util.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/uikit/driver/Driver.h"
#include "platform/uikit/views/ScrollView.h"
#include "sample_backend/api/ApiServer.h"
#include "support/process_reset.h"
#include "ui/refresh/RefreshHeader.h"
#include "ui/refresh/ScrollViewRefresh.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;
constexpr char kSubjectListPath[] = "/pravik/vestra/getAllSubjectsInfo";
constexpr char kLiveListPath[] = "/pravik/vestra/live";
constexpr double kMostGrowth = 12;
constexpr double kMostSeconds = 1;

double seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

std::string numbered(const char* prefix, int index) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%05d", prefix, index);
  return text;
}

nlohmann::json subjectList(int count) {
  nlohmann::json subjects = nlohmann::json::array();
  for (int index = 1; index <= count; ++index) {
    subjects.push_back({{"courseId", 100000 + index},
                        {"id", 3101},
                        {"name", numbered("科目", index)},
                        {"available", 1},
                        {"expired", 0},
                        {"hasTry", 0},
                        {"isFinished", 0},
                        {"countMap", {{"chapterCount", 4}, {"unitCount", 4}, {"classCount", 12}}},
                        {"stageList", {{{"nodeId", 1000000 + index}, {"name", "基础阶段"}, {"isNew", 0}}}},
                        {"onLearning", nlohmann::json::object()},
                        {"onStageId", ""}});
  }
  return {{"finalDays", 98},
          {"sysTime", "2016.09.01 20:15"},
          {"size", count},
          {"totalProcess", 2},
          {"subjects", std::move(subjects)},
          {"sesaons", {{{"id", 2017}, {"name", "2017年全国硕士研究生招生考试"}, {"code", "2017考研"}}}}};
}

nlohmann::json liveList(int count, const std::string& host) {
  nlohmann::json groups = nlohmann::json::array();
  for (int index = 1; index <= count; ++index) {
    groups.push_back({{"groupId", std::to_string(900000 + index)},
                      {"groupName", numbered("直播组", index)},
                      {"pic", "http://" + host + "/static/live.png"},
                      {"beginTime", "2016-09-05"},
                      {"dateTime", "每周一 19:00"},
                      {"teacherName", "陈海涛"},
                      {"status", 1},
                      {"totalNum", 6},
                      {"currNum", 4},
                      {"lives", nlohmann::json::array()}});
  }
  return {{"data", std::move(groups)}, {"totalCount", count}};
}

bool runUntil(const std::function<bool()>& done) {
  return ns::RunLoop::main().runUntil(done, std::chrono::seconds(120));
}

bool shows(const std::string& text) {
  return uikit::Driver::screenText().find(text) != std::string::npos;
}

bool liveRefreshing() {
  const auto found = uikit::Driver::findView("liveTable");
  const auto table = found.ok() ? std::dynamic_pointer_cast<uikit::ScrollView>(*found) : nullptr;
  const auto header = table ? ui::rf_header(*table) : nullptr;
  return header && header->isRefreshing();
}

struct Round {
  double subjects = 0;
  double live = 0;
};

// One run in a fresh home; returns false when a step did not come.
bool runRound(const std::string& host, const std::filesystem::path& home,
              const sample_backend::api::ApiService& service, Round& round) {
  testsupport::resetForTesting();
  assembly::ApplicationAssembly::Settings settings;
  settings.home = home.string();
  settings.webHost = terminal::HostAndPort::parse(host, terminal::HostAndPort::Port::kRequired).value();
  auto assembly = assembly::ApplicationAssembly::launch(settings);
  if (!assembly.ok() || !runUntil([] { return uikit::Driver::findView("userNameTF").ok(); }) ||
      !uikit::Driver::type("userNameTF", "learner").ok() ||
      !uikit::Driver::type("userPasswordTF", "quill2016").ok()) {
    return false;
  }
  const std::string firstSubject = numbered("科目", 1);
  const Clock::time_point signIn = Clock::now();
  if (!uikit::Driver::tap("登录").ok() || !runUntil([&] { return shows(firstSubject); })) {
    return false;
  }
  round.subjects = seconds(Clock::now() - signIn);

  const std::string firstGroup = numbered("直播组", 1);
  if (!uikit::Driver::tap("直播").ok() || !runUntil([&] { return !liveRefreshing() && shows(firstGroup); })) {
    return false;
  }
  const std::size_t asked = service.recordedRequests(kLiveListPath).size();
  const Clock::time_point pull = Clock::now();
  if (!uikit::Driver::pullDown("liveTable").ok() || !runUntil([&] {
        return service.recordedRequests(kLiveListPath).size() > asked && !liveRefreshing() &&
               shows(firstGroup);
      })) {
    return false;
  }
  round.live = seconds(Clock::now() - pull);
  // The picture loads and the progress requests still on their way land before the store they write goes.
  ns::RunLoop::main().runUntil([] { return false; }, std::chrono::milliseconds(200));
  assembly->reset();
  testsupport::resetForTesting();
  return true;
}

}  // namespace

int main() {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quillmark-long-lists-bench-" + std::to_string(::getpid()));
  std::vector<std::pair<double, double>> figures;
  for (const int rows : {1000, 10000}) {
    auto service = std::make_shared<sample_backend::api::ApiService>(
        sample_backend::api::SampleCatalogue::fromFile(sample_backend::api::SampleCatalogue::defaultPath())
            .value());
    const auto server = sample_backend::api::ApiServer::start(service).value();
    const nlohmann::json subjects = subjectList(rows);
    const nlohmann::json groups = liveList(rows, server->hostAndPort());
    service->router().add(kSubjectListPath, sample_backend::api::SessionRule::kSignedIn,
                          [&subjects](const sample_backend::api::RouteContext&) {
                            return sample_backend::api::ApiReply::success(subjects);
                          });
    service->router().add(kLiveListPath, sample_backend::api::SessionRule::kSignedIn,
                          [&groups](const sample_backend::api::RouteContext&) {
                            return sample_backend::api::ApiReply::success(groups);
                          });
    std::vector<double> subjectTimes, liveTimes;
    for (int r = 0; r < kRounds; ++r) {
      Round round;
      const std::filesystem::path home = folder / (std::to_string(rows) + "-" + std::to_string(r));
      if (!runRound(server->hostAndPort(), home, *service, round)) {
        std::fprintf(stderr, "%d rows, round %d did not reach the end\n", rows, r);
        return 1;
      }
      subjectTimes.push_back(round.subjects);
      liveTimes.push_back(round.live);
    }
    figures.emplace_back(benchutil::median(subjectTimes), benchutil::median(liveTimes));
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);

  std::printf("Lists on the subject screen, request to printed screen, median of %d rounds\n", kRounds);
  const char* names[] = {"subject list", "live list"};
  bool met = true;
  for (int list = 0; list < 2; ++list) {
    const double small = list == 0 ? figures[0].first : figures[0].second;
    const double large = list == 0 ? figures[1].first : figures[1].second;
    const bool ok = large <= kMostGrowth * small && large < kMostSeconds;
    met = met && ok;
    std::printf(
        "%-13s 1,000 rows %8.1f ms   10,000 rows %8.1f ms   growth %5.1fx (target <= %.0fx, < %.0f s) %s\n",
        names[list], small * 1000, large * 1000, large / small, kMostGrowth, kMostSeconds,
        ok ? "met" : "MISSED");
  }
  return met ? 0 : 1;
}
