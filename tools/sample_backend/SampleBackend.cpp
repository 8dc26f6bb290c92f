#include "sample_backend/SampleBackend.h"

#include "sample_backend/api/ApiService.h"
#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/media/MediaLibrary.h"
#include "sample_backend/media/MediaService.h"

namespace sample_backend {
namespace {

// Returns the "userName" and "password" of the catalogue's first learner, or std::nullopt.
std::optional<std::pair<std::string, std::string>> sampleLearner(const api::SampleCatalogue& catalogue) {
  const nlohmann::json& learners = catalogue.section("learners");
  if (!learners.is_array() || learners.empty()) {
    return std::nullopt;
  }
  const nlohmann::json& first = learners.front();
  const auto name = first.find("userName");
  const auto password = first.find("password");
  if (name == first.end() || password == first.end() || !name->is_string() || !password->is_string()) {
    return std::nullopt;
  }
  return std::make_pair(name->get<std::string>(), password->get<std::string>());
}

}  // namespace

SampleBackend::SampleBackend(std::unique_ptr<api::ApiServer> api,
                             std::unique_ptr<StatisticsServer> statistics, std::string learnerName,
                             std::string learnerPassword)
    : api_(std::move(api)),
      statistics_(std::move(statistics)),
      learnerName_(std::move(learnerName)),
      learnerPassword_(std::move(learnerPassword)) {}

ns::Result<std::unique_ptr<SampleBackend>> SampleBackend::start(const Options& options) {
  const std::string cataloguePath = options.cataloguePath.value_or(api::SampleCatalogue::defaultPath());
  ns::Result<api::SampleCatalogue> catalogue = api::SampleCatalogue::fromFile(cataloguePath);
  if (!catalogue.ok()) {
    return catalogue.error();
  }
  std::optional<std::pair<std::string, std::string>> learner = sampleLearner(*catalogue);
  if (!learner) {
    return ns::Error(kSampleBackendErrorDomain, 1,
                     {{std::string(ns::kLocalizedDescriptionKey),
                       "the sample catalogue " + cataloguePath + " names no learner to sign in as"}});
  }
  media::MediaOptions mediaOptions;
  mediaOptions.video = options.lessonVideo;
  if (options.stateFolder) {
    mediaOptions.cacheFolder = *options.stateFolder + "/" + kMediaCacheFolderName;
  }
  ns::Result<std::shared_ptr<const media::MediaLibrary>> library = media::MediaLibrary::make(mediaOptions);
  if (!library.ok()) {
    return library.error();
  }
  auto api = std::make_shared<api::ApiService>(std::move(catalogue).value());
  if (options.stateFolder) {
    if (ns::Status kept = api->keepStateIn(*options.stateFolder); !kept.ok()) {
      return kept.error();
    }
  }
  auto media = std::make_shared<media::MediaService>(api, std::move(library).value());
  ns::Result<std::unique_ptr<api::ApiServer>> apiServer = api::ApiServer::start(api, options.apiPort, media);
  if (!apiServer.ok()) {
    return apiServer.error();
  }
  ns::Result<std::unique_ptr<StatisticsServer>> statisticsServer =
      StatisticsServer::start(options.statisticsPort);
  if (!statisticsServer.ok()) {
    return statisticsServer.error();
  }
  return std::unique_ptr<SampleBackend>(
      new SampleBackend(std::move(apiServer).value(), std::move(statisticsServer).value(),
                        std::move(learner->first), std::move(learner->second)));
}

std::string SampleBackend::welcomeText() const {
  return "The sample back end runs on " + api_->baseURL() +
         " (play statistics on 127.0.0.1:" + std::to_string(statistics_->port()) +
         ").\nSign in as the sample learner: name \"" + learnerName_ + "\", password \"" + learnerPassword_ +
         "\".\n";
}

}  // namespace sample_backend
