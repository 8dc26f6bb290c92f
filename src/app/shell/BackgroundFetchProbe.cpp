#include "app/shell/BackgroundFetchProbe.h"

#include <utility>

#include "app/network/QMServerHosts.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/net/URL.h"
#include "platform/net/URLRequest.h"

namespace app {

void BackgroundFetchProbe::start(uikit::BackgroundFetchCompletionHandler completionHandler) {
  QM_DCHECK_MAIN_THREAD();
  auto probe = std::make_shared<BackgroundFetchProbe>(std::move(completionHandler));
  const std::shared_ptr<ns::URLSession> session = ns::URLSession::sessionWithConfiguration(
      ns::URLSessionConfiguration::defaultSessionConfiguration(), probe);
  const std::optional<ns::URL> page = ns::URL::fromString(QMServerHosts::backgroundFetchPage());
  const std::shared_ptr<ns::URLSessionTask> task =
      page ? session->dataTaskWithRequest(ns::URLRequest(*page)) : nullptr;
  if (!task) {
    probe->completionHandler_(uikit::BackgroundFetchResult::kFailed);
    return;
  }
  probe->self_ = probe;
  task->resume();
  // The running task holds the session until it completes; nothing else is asked of it.
  session->finishTasksAndInvalidate();
}

BackgroundFetchProbe::BackgroundFetchProbe(uikit::BackgroundFetchCompletionHandler completionHandler)
    : completionHandler_(std::move(completionHandler)) {}

void BackgroundFetchProbe::didCompleteWithError(ns::URLSession& /*session*/, ns::URLSessionTask& /*task*/,
                                                const std::optional<ns::Error>& error) {
  const uikit::BackgroundFetchResult result =
      error ? uikit::BackgroundFetchResult::kFailed : uikit::BackgroundFetchResult::kNewData;
  ns::DispatchQueue::main().async(
      [probe = std::exchange(self_, nullptr), result] { probe->completionHandler_(result); });
}

}  // namespace app
