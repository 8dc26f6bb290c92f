#include "http_client/uikit/HCAlertViewOnError.h"

#include "http_client/HCCodingValues.h"
#include "http_client/HCURLSessionManager.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/loop/DispatchQueue.h"
#include "platform/foundation/notify/NotificationCenter.h"
#include "platform/uikit/alerts/AlertView.h"

namespace http_client {

namespace {

constexpr char kLocalizedRecoverySuggestionKey[] = "NSLocalizedRecoverySuggestion";
constexpr char kLocalizedFailureReasonKey[] = "NSLocalizedFailureReason";

std::optional<std::string> textUnder(const ns::Error& error, std::string_view key) {
  const auto found = error.userInfo().find(key);
  return found != error.userInfo().end() && found->second.isString() ? std::optional(found->second.asString())
                                                                     : std::nullopt;
}

struct Alert {
  std::weak_ptr<uikit::AlertViewDelegate> delegate;
  std::optional<std::string> cancelButtonTitle;
  std::vector<std::string> otherButtonTitles;
};

// Waits, on the main queue, for the one notification `name` of `object` that `errorOf` accepts as the end;
// then removes itself and shows the alert when the end carries an error.
void showOnEnd(const char* name, const std::shared_ptr<ns::Object>& object,
               std::function<std::optional<std::optional<ns::Error>>(const ns::Notification&)> errorOf,
               Alert alert) {
  QM_DCHECK_MAIN_THREAD();
  auto token = std::make_shared<ns::NotificationCenter::ObserverToken>();
  *token = ns::NotificationCenter::defaultCenter().addObserverForName(
      name, object, &ns::DispatchQueue::main(),
      [token, errorOf = std::move(errorOf), alert = std::move(alert)](const ns::Notification& notification) {
        const std::optional<std::optional<ns::Error>> ended = errorOf(notification);
        if (!ended) {
          return;
        }
        ns::NotificationCenter::defaultCenter().removeObserver(*token);
        if (*ended) {
          HCAlertViewOnError::showAlertForError(**ended, alert.delegate, alert.cancelButtonTitle,
                                                alert.otherButtonTitles);
        }
      });
}

}  // namespace

void HCAlertViewOnError::showAlertForError(const ns::Error& error,
                                           std::weak_ptr<uikit::AlertViewDelegate> delegate,
                                           std::optional<std::string> cancelButtonTitle,
                                           std::vector<std::string> otherButtonTitles) {
  const std::optional<std::string> description = textUnder(error, ns::kLocalizedDescriptionKey);
  const std::optional<std::string> suggestion = textUnder(error, kLocalizedRecoverySuggestionKey);
  const std::optional<std::string> reason = textUnder(error, kLocalizedFailureReasonKey);
  std::string title;
  std::string message;
  if (description && (suggestion || reason)) {
    title = *description;
    message = suggestion ? *suggestion : *reason;
  } else {
    title = "Error";
    message = description ? *description : error.domain() + " Error: " + std::to_string(error.code());
  }
  auto alert = std::make_shared<uikit::AlertView>(std::move(title), std::move(message), std::move(delegate),
                                                  std::move(cancelButtonTitle), std::move(otherButtonTitles));
  alert->show();
}

void HCAlertViewOnError::showAlertViewForTaskWithErrorOnCompletion(
    const std::shared_ptr<ns::URLSessionTask>& task, std::weak_ptr<uikit::AlertViewDelegate> delegate) {
  showAlertViewForTaskWithErrorOnCompletion(task, std::move(delegate), "Dismiss", {});
}

void HCAlertViewOnError::showAlertViewForTaskWithErrorOnCompletion(
    const std::shared_ptr<ns::URLSessionTask>& task, std::weak_ptr<uikit::AlertViewDelegate> delegate,
    std::optional<std::string> cancelButtonTitle, std::vector<std::string> otherButtonTitles) {
  showOnEnd(
      kHCNetworkingTaskDidCompleteNotification, task,
      [](const ns::Notification& notification) -> std::optional<std::optional<ns::Error>> {
        // Every completion is the end; it carries an error only when the task failed.
        const auto error = notification.userInfo.find(kHCNetworkingTaskDidCompleteErrorKey);
        return std::optional<std::optional<ns::Error>>(
            error != notification.userInfo.end() ? HCDecodeError(error->second) : std::nullopt);
      },
      Alert{std::move(delegate), std::move(cancelButtonTitle), std::move(otherButtonTitles)});
}

void HCAlertViewOnError::showAlertViewForRequestOperationWithErrorOnCompletion(
    const std::shared_ptr<HCURLConnectionOperation>& operation,
    std::weak_ptr<uikit::AlertViewDelegate> delegate) {
  showAlertViewForRequestOperationWithErrorOnCompletion(operation, std::move(delegate), "Dismiss", {});
}

void HCAlertViewOnError::showAlertViewForRequestOperationWithErrorOnCompletion(
    const std::shared_ptr<HCURLConnectionOperation>& operation,
    std::weak_ptr<uikit::AlertViewDelegate> delegate, std::optional<std::string> cancelButtonTitle,
    std::vector<std::string> otherButtonTitles) {
  showOnEnd(
      kHCNetworkingOperationDidFinishNotification, operation,
      [](const ns::Notification& notification) -> std::optional<std::optional<ns::Error>> {
        const auto finished = ns::objectAs<HCURLConnectionOperation>(notification.object);
        // A pause announces itself as a finish too; the alert waits for the real end.
        if (!finished || !finished->isFinished()) {
          return std::nullopt;
        }
        return std::optional<std::optional<ns::Error>>(finished->error());
      },
      Alert{std::move(delegate), std::move(cancelButtonTitle), std::move(otherButtonTitles)});
}

}  // namespace http_client
