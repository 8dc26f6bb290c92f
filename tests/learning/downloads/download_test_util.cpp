#include "learning/downloads/download_test_util.h"

#include <algorithm>
#include <filesystem>
#include <random>

#include "app/network/QMNetworkHelper.h"
#include "app/network/QMServerHosts.h"
#include "app/session/QMAppServices.h"
#include "app/session/QMUser.h"
#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMCourse.h"
#include "app/store/QMFileCacheInfo.h"
#include "app/store/QMStage.h"
#include "app/store/QMSubject.h"
#include "learning/downloads/QMDownloadHelper.h"
#include "platform/foundation/loop/RunLoop.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/foundation/storage/Sandbox.h"
#include "platform/foundation/storage/UserDefaults.h"
#include "platform/outside/SimulatedNetwork.h"
#include "sample_backend/media/MediaPaths.h"

namespace downloadtest {
namespace {

std::string lessonCourseID(std::size_t lesson) {
  return "L" + std::to_string(lesson + 1);
}

std::string lessonVideoID(std::size_t lesson) {
  return "v" + std::to_string(lesson + 1);
}

std::string uniqueHome() {
  std::random_device randomness;
  for (;;) {
    const std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("quillmark-downloads-" + std::to_string(randomness()));
    if (std::filesystem::create_directory(candidate)) {
      return candidate.string();
    }
  }
}

std::shared_ptr<sample_backend::api::ApiService> sampleApi() {
  ns::Result<sample_backend::api::SampleCatalogue> catalogue =
      sample_backend::api::SampleCatalogue::fromFile(sample_backend::api::SampleCatalogue::defaultPath());
  EXPECT_TRUE(catalogue.ok());
  return std::make_shared<sample_backend::api::ApiService>(std::move(catalogue).value());
}

ns::Value lessonNode(std::size_t index) {
  return ns::Dictionary{{"nodeId", lessonCourseID(index)},
                        {"name", "第" + std::to_string(index + 1) + "课"},
                        {"type", QMCourse::kLessonType},
                        {"videoId", lessonVideoID(index)}};
}

// Drops every process-wide object of the client, as a process that ends would.
void forgetClient() {
  QMDownloadHelper::resetSharedInstanceForTesting();
  QMCoreDataHelper::resetSharedInstanceForTesting();
  QMNetworkHelper::resetForTesting();
  QMUser::resetSharedInstanceForTesting();
  QMAppServices::resetForTesting();
  outside::SimulatedNetwork::resetForTesting();
  ns::UserDefaults::resetStandardUserDefaultsForTesting();
}

}  // namespace

sample_backend::media::MediaOptions DownloadRoad::smallLessons() {
  sample_backend::media::MediaOptions options;
  options.segmentCount = 4;
  options.packetsPerSegment = 40;
  return options;
}

DownloadRoad::DownloadRoad(sample_backend::media::MediaOptions media)
    : home_(uniqueHome()), ownsHome_(true), api_(sampleApi()) {
  ns::Result<std::shared_ptr<const sample_backend::media::MediaLibrary>> library =
      sample_backend::media::MediaLibrary::make(media);
  EXPECT_TRUE(library.ok());
  media_ = std::make_shared<sample_backend::media::MediaService>(api_, std::move(library).value());
  ns::Result<std::unique_ptr<sample_backend::api::ApiServer>> server =
      sample_backend::api::ApiServer::start(api_, 0, media_);
  EXPECT_TRUE(server.ok());
  server_ = std::move(server).value();

  startClient(server_->hostAndPort());
  const std::string learnerId = api_->catalogue().section("learners").at(0).value("userId", "");
  QMUser& user = *QMUser::sharedInstance();
  user.setUserId(learnerId);
  user.setUserSid(api_->sessions().openSession(learnerId));
  storeStage();
}

DownloadRoad::DownloadRoad(std::string home, std::string webHost) : home_(std::move(home)) {
  startClient(std::move(webHost));
}

DownloadRoad::~DownloadRoad() {
  forgetClient();
  ns::Sandbox::setHomeDirectory(std::nullopt);
  server_.reset();
  if (ownsHome_) {
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
  }
}

void DownloadRoad::startClient(std::string webHost) {
  forgetClient();
  ns::Sandbox::setHomeDirectory(home_);
  QMServerHosts::setPublicWebHost(std::move(webHost));
  QMAppServices::myReachable()->startNotifier();
  reopenStore();
}

void DownloadRoad::storeStage() {
  QMCoreDataHelper& store = QMCoreDataHelper::sharedInstance();
  const std::shared_ptr<QMSubject> subject = store.createSubjectWithDic(
      ns::Dictionary{{"courseId", "S1"},
                     {"id", "1"},
                     {"name", "数学"},
                     {"available", 1},
                     {"stageList", ns::Array{ns::Dictionary{{"nodeId", "ST1"}, {"name", "基础"}}}}});
  ASSERT_TRUE(subject);
  ns::Array lessons;
  for (std::size_t index = 0; index < kLessonCount; ++index) {
    lessons.push_back(lessonNode(index));
  }
  store.createCourseWithDic(
      ns::Dictionary{{"nodeId", "C1"}, {"name", "第一章"}, {"type", 1}, {"children", std::move(lessons)}},
      stage());
  store.saveContext();
}

std::shared_ptr<QMStage> DownloadRoad::stage() const {
  const auto stages = QMCoreDataHelper::sharedInstance().fetchEntitiesOf<QMStage>(cd::Predicate::allOf({}));
  return stages.empty() ? nullptr : stages.front();
}

std::shared_ptr<QMCourse> DownloadRoad::lesson(std::size_t index) const {
  const auto lessons = QMCoreDataHelper::sharedInstance().fetchEntitiesOf<QMCourse>(
      cd::Predicate::equals("courseID", lessonCourseID(index)));
  return lessons.empty() ? nullptr : lessons.front();
}

std::shared_ptr<QMFileCacheInfo> DownloadRoad::record(std::size_t index) const {
  const std::shared_ptr<QMCourse> course = lesson(index);
  return course ? course->fileCacheInfo() : nullptr;
}

std::int64_t DownloadRoad::status(std::size_t index) const {
  const std::shared_ptr<QMFileCacheInfo> info = record(index);
  return info ? info->status().value_or(0) : -1;
}

std::string DownloadRoad::lessonFolder(std::size_t index) const {
  return home_ + "/Documents/" + QMUser::sharedInstance()->userId().value_or("") + "/S1_@ST1_" +
         lessonCourseID(index);
}

std::vector<std::string> DownloadRoad::folderContents(std::size_t index) const {
  ns::Result<std::vector<std::string>> names =
      ns::FileManager::defaultManager().contentsOfDirectoryAtPath(lessonFolder(index));
  return names ? *names : std::vector<std::string>();
}

std::optional<ns::Data> DownloadRoad::fileBytes(std::size_t index, const std::string& name) const {
  ns::Result<ns::Data> bytes =
      ns::FileManager::defaultManager().contentsAtPath(lessonFolder(index) + "/" + name);
  return bytes ? std::optional<ns::Data>(*bytes) : std::nullopt;
}

::testing::AssertionResult DownloadRoad::segmentsStoredIntact(std::size_t index) const {
  const sample_backend::media::MediaLibrary& segments = media_->library();
  for (std::size_t segment = 0; segment < segments.segmentCount(); ++segment) {
    const std::string name = "seg" + std::to_string(segment) + ".ts";
    if (fileBytes(index, name) != segments.encryptedSegment(segment)) {
      return ::testing::AssertionFailure() << name << " of lesson " << index << " is missing or differs";
    }
  }
  return ::testing::AssertionSuccess();
}

std::vector<std::size_t> DownloadRoad::segmentRequests(const std::string& videoId) const {
  std::vector<std::size_t> indexes;
  for (const sample_backend::media::RecordedMediaRequest& request : media_->recordedRequests()) {
    const std::string path = request.target.substr(0, request.target.find('?'));
    const auto address = sample_backend::media::parseSegmentPath(path);
    if (address && address->videoId == videoId) {
      indexes.push_back(address->index);
    }
  }
  return indexes;
}

std::size_t DownloadRoad::playlistRequests(const std::string& videoId) const {
  const std::vector<sample_backend::media::RecordedMediaRequest> requests = media_->recordedRequests();
  return static_cast<std::size_t>(std::count_if(requests.begin(), requests.end(), [&](const auto& request) {
    return request.target.starts_with(sample_backend::media::kSignedPlaylistPath) &&
           request.target.find("videoId=" + videoId + "&") != std::string::npos;
  }));
}

void DownloadRoad::reopenStore() {
  QMCoreDataHelper::resetSharedInstanceForTesting();
  QMCoreDataHelper::sharedInstance().setUserIdSource([] { return QMUser::sharedInstance()->userId(); });
}

bool DownloadRoad::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  return ns::RunLoop::main().runUntil(done, timeout);
}

bool DownloadRoad::runUntilStatus(std::size_t index, std::int64_t status,
                                  std::chrono::milliseconds timeout) const {
  return runUntil([&] { return this->status(index) == status; }, timeout);
}

}  // namespace downloadtest
