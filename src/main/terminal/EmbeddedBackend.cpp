#include "main/terminal/EmbeddedBackend.h"

#include "main/terminal/UsageError.h"
#include "sample_backend/api/ApiService.h"
#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/media/MediaLibrary.h"
#include "sample_backend/media/MediaService.h"

namespace {

// Returns the "userName" and "password" of the catalogue's first learner, or std::nullopt.
std::optional<std::pair<std::string, std::string>> sampleLearner(
    const sample_backend::api::SampleCatalogue& catalogue) {
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

EmbeddedBackend::EmbeddedBackend(std::unique_ptr<sample_backend::api::ApiServer> api,
                                 std::unique_ptr<StatisticsServer> statistics, std::string learnerName,
                                 std::string learnerPassword)
    : api_(std::move(api)),
      statistics_(std::move(statistics)),
      learnerName_(std::move(learnerName)),
      learnerPassword_(std::move(learnerPassword)) {}

ns::Result<std::unique_ptr<EmbeddedBackend>> EmbeddedBackend::start() {
  using sample_backend::api::SampleCatalogue;
  const std::string cataloguePath = SampleCatalogue::defaultPath();
  ns::Result<SampleCatalogue> catalogue = SampleCatalogue::fromFile(cataloguePath);
  if (!catalogue.ok()) {
    return catalogue.error();
  }
  std::optional<std::pair<std::string, std::string>> learner = sampleLearner(*catalogue);
  if (!learner) {
    return usageError("the sample catalogue " + cataloguePath + " names no learner to sign in as");
  }
  ns::Result<std::shared_ptr<const sample_backend::media::MediaLibrary>> library =
      sample_backend::media::MediaLibrary::make();
  if (!library.ok()) {
    return library.error();
  }
  auto api = std::make_shared<sample_backend::api::ApiService>(std::move(catalogue).value());
  auto media = std::make_shared<sample_backend::media::MediaService>(api, std::move(library).value());
  ns::Result<std::unique_ptr<sample_backend::api::ApiServer>> apiServer =
      sample_backend::api::ApiServer::start(api, 0, media);
  if (!apiServer.ok()) {
    return apiServer.error();
  }
  ns::Result<std::unique_ptr<StatisticsServer>> statisticsServer = StatisticsServer::start();
  if (!statisticsServer.ok()) {
    return statisticsServer.error();
  }
  return std::unique_ptr<EmbeddedBackend>(
      new EmbeddedBackend(std::move(apiServer).value(), std::move(statisticsServer).value(),
                          std::move(learner->first), std::move(learner->second)));
}

std::string EmbeddedBackend::welcomeText() const {
  return "The sample back end runs on " + api_->baseURL() +
         " (play statistics on 127.0.0.1:" + std::to_string(statistics_->port()) +
         ").\nSign in as the sample learner: name \"" + learnerName_ + "\", password \"" + learnerPassword_ +
         "\".\n";
}
