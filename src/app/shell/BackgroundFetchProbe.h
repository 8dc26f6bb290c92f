#pragma once

// BackgroundFetchProbe: the application's background fetch. It asks for the public page
// (QMServerHosts::backgroundFetchPage()) with one data task of a URL session of the default configuration,
// reads nothing of the reply, and tells the system how the fetch ended: new data when the page answered,
// failed when the request did (with no network, at once, like every load). A probe keeps itself alive
// until its task has completed, and its session goes with it.
//
// Thread-safety: start() on the main thread only; the session tells the probe on its own queue, and the
// probe hands the result to the main thread.

#include <memory>
#include <optional>

#include "platform/net/URLSession.h"
#include "platform/net/URLSessionDelegate.h"
#include "platform/uikit/app/ApplicationDelegate.h"

namespace app {

class BackgroundFetchProbe : public ns::URLSessionDelegate,
                             public std::enable_shared_from_this<BackgroundFetchProbe> {
 public:
  // Starts a fetch whose end goes to `completionHandler`, on the main thread. REQUIRES: main thread.
  static void start(uikit::BackgroundFetchCompletionHandler completionHandler);

  explicit BackgroundFetchProbe(uikit::BackgroundFetchCompletionHandler completionHandler);

  void didCompleteWithError(ns::URLSession& session, ns::URLSessionTask& task,
                            const std::optional<ns::Error>& error) override;

 private:
  // Constant after construction
  const uikit::BackgroundFetchCompletionHandler completionHandler_;

  // The probe itself, from the start until its task completes (the session holds its delegate weakly).
  std::shared_ptr<BackgroundFetchProbe> self_;
};

}  // namespace app
