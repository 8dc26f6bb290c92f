#pragma once

// EmbeddedBackend: the sample back end, run inside quillmark when no --web-host is given, so that a newcomer
// can try everything at once: the JSON API with the lesson video service on one free loopback port, and the
// play-statistics server on another. It serves the sample catalogue, whose first learner is the sample
// learner a newcomer signs in as. Destroying it stops both servers.
//
// Thread-safety: the servers run on threads of their own; the accessors may be called from any thread.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/values/Result.h"
#include "sample_backend/api/ApiServer.h"
#include "sample_backend/statistics/StatisticsServer.h"

class EmbeddedBackend {
 public:
  // Starts both servers. Returns the running back end, owned by the caller, or the error that kept a part
  // from starting: the catalogue or the lesson key unreadable, a catalogue without a learner, no free port.
  static ns::Result<std::unique_ptr<EmbeddedBackend>> start();

  // "127.0.0.1:<port>" of the JSON API, the form of --web-host.
  std::string webHost() const { return api_->hostAndPort(); }
  std::uint16_t statisticsPort() const { return statistics_->port(); }
  const std::string& learnerName() const { return learnerName_; }
  const std::string& learnerPassword() const { return learnerPassword_; }

  // The lines that tell a newcomer where the back end runs and how to sign in.
  std::string welcomeText() const;

 private:
  EmbeddedBackend(std::unique_ptr<sample_backend::api::ApiServer> api,
                  std::unique_ptr<StatisticsServer> statistics, std::string learnerName,
                  std::string learnerPassword);

  // Constant after construction
  const std::unique_ptr<sample_backend::api::ApiServer> api_;
  const std::unique_ptr<StatisticsServer> statistics_;
  const std::string learnerName_;
  const std::string learnerPassword_;
};
