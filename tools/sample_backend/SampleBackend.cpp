#include "sample_backend/SampleBackend.h"

#include "sample_backend/api/ApiService.h"
#include "sample_backend/api/SampleCatalogue.h"
#include "sample_backend/media/MediaLibrary.h"
#include "sample_backend/media/MediaService.h"
#include "sample_backend/state/StateFile.h"

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

constexpr char kAddressFileName[] = "address.json";

// The ports the back end ran on last time with this state folder, or 0 for each one not known. A client
// keeps absolute URLs it was given (a download's pending segments, for one), which a real back end keeps
// valid across its restarts; a file that cannot be read only means a port of any kind is taken.
std::pair<std::uint16_t, std::uint16_t> rememberedPorts(const state::StateFile& file) {
  ns::Result<nlohmann::json> document = file.read();
  if (!document.ok() || !document->is_object()) {
    return {0, 0};
  }
  const auto portAt = [&](const char* key) -> std::uint16_t {
    const auto found = document->find(key);
    return found != document->end() && found->is_number_unsigned() && *found <= 65535
               ? found->get<std::uint16_t>()
               : 0;
  };
  return {portAt("apiPort"), portAt("statisticsPort")};
}

// Starts a server on `wanted`, or on `remembered` when `wanted` is 0, and on any free port when the
// remembered one is taken.
template <typename Start>
auto startOnPort(std::uint16_t wanted, std::uint16_t remembered, Start start) {
  if (wanted == 0 && remembered != 0) {
    auto started = start(remembered);
    if (started.ok()) {
      return started;
    }
  }
  return start(wanted);
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
  std::optional<state::StateFile> addressFile;
  std::pair<std::uint16_t, std::uint16_t> remembered{0, 0};
  if (options.stateFolder) {
    addressFile.emplace(*options.stateFolder + "/" + kAddressFileName);
    remembered = rememberedPorts(*addressFile);
  }
  ns::Result<std::unique_ptr<api::ApiServer>> apiServer =
      startOnPort(options.apiPort, remembered.first,
                  [&](std::uint16_t port) { return api::ApiServer::start(api, port, media); });
  if (!apiServer.ok()) {
    return apiServer.error();
  }
  ns::Result<std::unique_ptr<StatisticsServer>> statisticsServer =
      startOnPort(options.statisticsPort, remembered.second,
                  [](std::uint16_t port) { return StatisticsServer::start(port); });
  if (!statisticsServer.ok()) {
    return statisticsServer.error();
  }
  if (addressFile) {
    addressFile->saveOrWarn(
        {{"apiPort", (*apiServer)->port()}, {"statisticsPort", (*statisticsServer)->port()}});
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
