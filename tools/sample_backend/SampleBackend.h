#pragma once

// sample_backend::SampleBackend: the whole sample back end at once: the JSON API with the lesson video
// service on one loopback port, and the play-statistics server on another. It serves the sample catalogue,
// whose first learner is the sample learner a newcomer signs in as. quillmark runs one inside itself when
// no --web-host is given; quillmark_sample_backend runs one as a program of its own. Destroying it stops
// both servers.
//
// Thread-safety: the servers run on threads of their own; the accessors may be called from any thread.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Result.h"
#include "sample_backend/api/ApiServer.h"
#include "sample_backend/media/LessonEncoding.h"
#include "sample_backend/statistics/StatisticsServer.h"

namespace sample_backend {

inline constexpr char kSampleBackendErrorDomain[] = "com.quillmark.sample_backend";
inline constexpr char kMediaCacheFolderName[] = "media-cache";

class SampleBackend {
 public:
  struct Options {
    // The catalogue file; SampleCatalogue::defaultPath() when not given.
    std::optional<std::string> cataloguePath;
    // 0 takes the port of the last start with the same state folder when it is free, else any free port.
    std::uint16_t apiPort = 0;
    std::uint16_t statisticsPort = 0;
    // The folder where sessions and saved progress outlive a restart (ApiService::keepStateIn), and where
    // the lesson media, once encoded, are kept in kMediaCacheFolderName so that the next start is quick;
    // without one they live in memory only. The ports it runs on are kept there too, so that its address
    // stays the same across restarts, as a real back end's does.
    std::optional<std::string> stateFolder;
    // The size and frame rate of the lesson video.
    media::VideoFormat lessonVideo = {};
  };

  // Starts both servers. Returns the running back end, owned by the caller, or the error that kept a part
  // from starting: the catalogue or the lesson key unreadable, the lesson media not encodable, a catalogue
  // without a learner, a state folder that cannot be made or a damaged state file, a port that is taken.
  // REQUIRES: media::isEncodableVideoFormat(options.lessonVideo).
  static ns::Result<std::unique_ptr<SampleBackend>> start(const Options& options);

  // "127.0.0.1:<port>" of the JSON API, the form of --web-host.
  std::string webHost() const { return api_->hostAndPort(); }
  std::uint16_t statisticsPort() const { return statistics_->port(); }
  const std::string& learnerName() const { return learnerName_; }
  const std::string& learnerPassword() const { return learnerPassword_; }

  // The lines that tell a newcomer where the back end runs and how to sign in.
  std::string welcomeText() const;

 private:
  SampleBackend(std::unique_ptr<api::ApiServer> api, std::unique_ptr<StatisticsServer> statistics,
                std::string learnerName, std::string learnerPassword);

  // Constant after construction
  const std::unique_ptr<api::ApiServer> api_;
  const std::unique_ptr<StatisticsServer> statistics_;
  const std::string learnerName_;
  const std::string learnerPassword_;
};

}  // namespace sample_backend
