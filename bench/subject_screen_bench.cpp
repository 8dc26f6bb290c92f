// The subject screen on loopback, in two figures, each the median of its rounds:
//   - the start of the application (the assembly's launch, as the executable makes it) to the subject screen
//     showing the learner's subjects after signing in through the login screen;
//   - opening a stage of a subject whose course tree holds 5,000 nodes: the tap on the stage row to the
//     playback screen showing the stored tree.
// Beside each: the share of the network (the time with a request of the road in flight), the store (the
// same replies applied to a fresh store alone) and the screens (the rest: controllers, views and the run
// loop). The back end is the sample back end's JSON API on loopback, with a catalogue that adds the large
// subject.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/session/QMUser.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "http_client/HCURLConnectionOperation.h"
#include "learning/course/QMListenController.h"
#include "main/assembly/ApplicationAssembly.h"
#include "peer_program_bench_util.h"
#include "platform/foundation/formats/JSONSerialization.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/uikit/app/Application.h"
#include "platform/uikit/app/Window.h"
#include "platform/uikit/driver/Driver.h"
#include "sample_backend/api/ApiServer.h"
#include "support/process_reset.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;
constexpr char kLargeSubjectName[] = "大树课程";
constexpr char kLargeStageName[] = "全程阶段";
constexpr int kLargeCourseId = 109;
constexpr int kLargeStageId = 1091;
// 50 chapters of 9 units of 10 lessons: 50 * (1 + 9 * 11) = 5,000 nodes.
constexpr int kChapters = 50;
constexpr int kUnits = 9;
constexpr int kLessons = 10;

double seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

nlohmann::json largeChapters() {
  nlohmann::json chapters = nlohmann::json::array();
  int id = 9000000;
  for (int c = 0; c < kChapters; ++c) {
    nlohmann::json units = nlohmann::json::array();
    for (int u = 0; u < kUnits; ++u) {
      nlohmann::json lessons = nlohmann::json::array();
      for (int l = 0; l < kLessons; ++l) {
        lessons.push_back({{"nodeId", ++id},
                           {"name", "课时" + std::to_string(id)},
                           {"type", 2},
                           {"isNew", 0},
                           {"teacher", "讲师"},
                           {"videoId", 50001}});
      }
      units.push_back({{"nodeId", ++id},
                       {"name", "单元" + std::to_string(id)},
                       {"type", 1},
                       {"isNew", 0},
                       {"children", lessons}});
    }
    chapters.push_back({{"nodeId", ++id},
                        {"name", "章" + std::to_string(id)},
                        {"type", 0},
                        {"isNew", 0},
                        {"children", units}});
  }
  return chapters;
}

// The sample catalogue with the large subject added to the first season.
nlohmann::json catalogueWithLargeSubject(const nlohmann::json& chapters) {
  std::ifstream file(sample_backend::api::SampleCatalogue::defaultPath());
  nlohmann::json catalogue = nlohmann::json::parse(file);
  nlohmann::json& courses = catalogue["courses"];
  courses["subjects"].push_back(
      {{"courseId", kLargeCourseId},
       {"id", 3109},
       {"name", kLargeSubjectName},
       {"available", 1},
       {"expired", 0},
       {"hasTry", 0},
       {"isFinished", 0},
       {"stages",
        {{{"nodeId", kLargeStageId}, {"name", kLargeStageName}, {"isNew", 0}, {"chapters", chapters}}}}});
  courses["seasons"][0]["subjects"].push_back(kLargeCourseId);
  return catalogue;
}

// The wall time during which at least one request of the request layer is in flight.
class NetworkTime {
 public:
  NetworkTime() {
    ns::NotificationCenter& center = ns::NotificationCenter::defaultCenter();
    started_ = center.addObserverForName(http_client::kHCNetworkingOperationDidStartNotification, nullptr,
                                         nullptr, [this](const ns::Notification&) {
                                           if (inFlight_++ == 0) {
                                             since_ = Clock::now();
                                           }
                                         });
    finished_ = center.addObserverForName(http_client::kHCNetworkingOperationDidFinishNotification, nullptr,
                                          nullptr, [this](const ns::Notification&) {
                                            if (inFlight_ > 0 && --inFlight_ == 0) {
                                              total_ += Clock::now() - since_;
                                            }
                                          });
  }
  ~NetworkTime() {
    ns::NotificationCenter::defaultCenter().removeObserver(started_);
    ns::NotificationCenter::defaultCenter().removeObserver(finished_);
  }
  void reset() { total_ = {}; }
  Clock::duration total() const { return total_; }
  bool idle() const { return inFlight_ == 0; }

 private:
  ns::NotificationCenter::ObserverToken started_;
  ns::NotificationCenter::ObserverToken finished_;
  int inFlight_ = 0;
  Clock::time_point since_;
  Clock::duration total_{};
};

bool runUntil(const std::function<bool()>& done) {
  return ns::RunLoop::main().runUntil(done, std::chrono::seconds(60));
}

bool shows(const std::string& text) {
  return uikit::Driver::screenText().find(text) != std::string::npos;
}

struct Round {
  double startToSubjects = 0;
  double startNetwork = 0;
  double openStage = 0;
  double openNetwork = 0;
};

// One run of the road in a fresh home; returns false when a step did not come.
bool runRound(const std::string& host, const std::filesystem::path& home, Round& round) {
  testsupport::resetForTesting();
  NetworkTime network;
  const Clock::time_point start = Clock::now();
  assembly::ApplicationAssembly::Settings settings;
  settings.home = home.string();
  settings.webHost = terminal::HostAndPort::parse(host, terminal::HostAndPort::Port::kRequired).value();
  auto assembly = assembly::ApplicationAssembly::launch(settings);
  if (!assembly.ok() || !runUntil([] { return uikit::Driver::findView("userNameTF").ok(); })) {
    return false;
  }
  if (!uikit::Driver::type("userNameTF", "learner").ok() ||
      !uikit::Driver::type("userPasswordTF", "quill2016").ok() || !uikit::Driver::tap("登录").ok() ||
      !runUntil([] { return shows(kLargeSubjectName) && shows("英语一"); })) {
    return false;
  }
  round.startToSubjects = seconds(Clock::now() - start);
  round.startNetwork = seconds(network.total());

  if (!uikit::Driver::tap(kLargeSubjectName).ok()) {
    return false;
  }
  network.reset();
  const Clock::time_point tap = Clock::now();
  if (!uikit::Driver::tap(kLargeStageName).ok()) {
    return false;
  }
  const auto root = uikit::Application::sharedApplication().keyWindow()->rootViewController();
  if (!runUntil([&] {
        const auto listen =
            std::dynamic_pointer_cast<learning::QMListenController>(root->presentedViewController());
        return listen && listen->myTreeView()->nodeData() &&
               !listen->myTreeView()->nodeData()->child().empty();
      })) {
    return false;
  }
  round.openStage = seconds(Clock::now() - tap);
  round.openNetwork = seconds(network.total());
  root->dismissViewControllerAnimated(false);
  // The replies still on their way land before the store they write goes.
  runUntil([&] { return network.idle(); });
  ns::RunLoop::main().runUntil([] { return false; }, std::chrono::milliseconds(100));
  assembly->reset();
  testsupport::resetForTesting();
  return true;
}

// Applies the subject list and the large course tree to a fresh store alone; returns the seconds of each.
std::pair<double, double> storeAlone(const std::string& subjectList, const nlohmann::json& chapters,
                                     const std::filesystem::path& home) {
  testsupport::resetForTesting();
  ns::Sandbox::setHomeDirectory(home.string());
  app::QMCoreDataHelper::resetSharedInstanceForTesting();
  app::QMCoreDataHelper& store = app::QMCoreDataHelper::sharedInstance();
  store.setUserIdSource([] { return std::optional<std::string>("20160001"); });
  const ns::Value reply = *ns::JSONSerialization::JSONObjectWithData(subjectList);
  const Clock::time_point start = Clock::now();
  std::shared_ptr<app::QMStage> stage;
  for (const ns::Value& subject : reply.find("subjects")->asArray()) {
    const auto stored = store.createSubjectWithDic(subject);
    if (stored->subjectID() == std::to_string(kLargeCourseId)) {
      stage = stored->sortedStageArray().front();
    }
  }
  for (const ns::Value& season : reply.find("sesaons")->asArray()) {
    store.createSeasonWithDic(season);
  }
  const double list = seconds(Clock::now() - start);
  const ns::Value tree = *ns::JSONSerialization::JSONObjectWithData(chapters.dump());
  const Clock::time_point treeStart = Clock::now();
  for (const ns::Value& chapter : tree.asArray()) {
    store.createCourseWithDic(chapter, app::QMCourseParent(stage));
  }
  const double course = seconds(Clock::now() - treeStart);
  testsupport::resetForTesting();
  ns::Sandbox::setHomeDirectory(std::nullopt);
  return {list, course};
}

void printFigure(const char* what, double total, double networkSeconds, double storeSeconds) {
  const double screens = std::max(0.0, total - networkSeconds - storeSeconds);
  std::printf("%-52s %8.1f ms   network %4.0f%%   store %4.0f%%   screens %4.0f%%\n", what, total * 1000,
              100 * networkSeconds / total, 100 * storeSeconds / total, 100 * screens / total);
}

}  // namespace

int main() {
  const nlohmann::json chapters = largeChapters();
  auto service = std::make_shared<sample_backend::api::ApiService>(
      sample_backend::api::SampleCatalogue::fromJson(catalogueWithLargeSubject(chapters)).value());
  const auto server = sample_backend::api::ApiServer::start(service).value();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quillmark-subject-bench-" + std::to_string(::getpid()));

  std::vector<double> start, startNetwork, open, openNetwork;
  for (int r = 0; r < kRounds; ++r) {
    Round round;
    if (!runRound(server->hostAndPort(), folder / ("home" + std::to_string(r)), round)) {
      std::fprintf(stderr, "round %d did not reach the end\n", r);
      return 1;
    }
    start.push_back(round.startToSubjects);
    startNetwork.push_back(round.startNetwork);
    open.push_back(round.openStage);
    openNetwork.push_back(round.openNetwork);
  }
  // The subject list as the back end sends it to the learner, for the store alone.
  const std::size_t lists = service->recordedRequests("/pravik/vestra/getAllSubjectsInfo").size();
  std::string subjectList;
  {
    nlohmann::json subjects = nlohmann::json::array();
    nlohmann::json seasons = nlohmann::json::array();
    const nlohmann::json catalogue = catalogueWithLargeSubject(chapters)["courses"];
    for (const auto& subject : catalogue["subjects"]) {
      nlohmann::json entry = {{"courseId", subject["courseId"]},
                              {"id", subject["id"]},
                              {"name", subject["name"]},
                              {"available", subject["available"]},
                              {"stageList", nlohmann::json::array()}};
      for (const auto& stage : subject["stages"]) {
        entry["stageList"].push_back({{"nodeId", stage["nodeId"]}, {"name", stage["name"]}, {"isNew", 0}});
      }
      subjects.push_back(entry);
    }
    for (const auto& season : catalogue["seasons"]) {
      seasons.push_back({{"id", season["id"]}, {"name", season["name"]}, {"code", season["code"]}});
    }
    subjectList = nlohmann::json{{"subjects", subjects}, {"sesaons", seasons}}.dump();
  }
  std::vector<double> listStore, treeStore;
  for (int r = 0; r < kRounds; ++r) {
    const auto [list, tree] = storeAlone(subjectList, chapters, folder / ("store" + std::to_string(r)));
    listStore.push_back(list);
    treeStore.push_back(tree);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);

  std::printf("Subject screen on loopback, median of %d rounds (%zu subject lists served)\n", kRounds, lists);
  printFigure("start to the subject screen after sign-in", benchutil::median(start),
              benchutil::median(startNetwork), benchutil::median(listStore));
  printFigure("tap on a stage to its 5,000-node tree shown", benchutil::median(open),
              benchutil::median(openNetwork), benchutil::median(treeStore));
  return 0;
}
