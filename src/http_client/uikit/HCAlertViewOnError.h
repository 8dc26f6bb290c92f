#pragma once

// HCAlertViewOnError: shows an alert with a request's error when the request ends with one. It listens, on
// the main queue, for the end of that one task or operation; when it ends with an error, an alert is shown
// with the given delegate and buttons. An operation that only pauses has not ended: its alert keeps waiting.
// The listener is removed after the end it waited for.
//
// Title and message: an error with a description and a recovery suggestion or failure reason is titled by
// its description, with the suggestion (else the reason) as message; any other error is titled "Error", with
// its description, or else "<domain> Error: <code>", as message. The texts come from the "HTTPClient" string
// table, which has no translations, so its keys serve.
//
// Thread-safety: main thread only.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "http_client/HCURLConnectionOperation.h"
#include "platform/net/URLSessionTask.h"
#include "platform/uikit/alerts/AlertViewDelegate.h"

namespace http_client {

class HCAlertViewOnError {
 public:
  // With the single button "Dismiss".
  static void showAlertViewForTaskWithErrorOnCompletion(const std::shared_ptr<ns::URLSessionTask>& task,
                                                        std::weak_ptr<uikit::AlertViewDelegate> delegate);
  static void showAlertViewForTaskWithErrorOnCompletion(const std::shared_ptr<ns::URLSessionTask>& task,
                                                        std::weak_ptr<uikit::AlertViewDelegate> delegate,
                                                        std::optional<std::string> cancelButtonTitle,
                                                        std::vector<std::string> otherButtonTitles);
  static void showAlertViewForRequestOperationWithErrorOnCompletion(
      const std::shared_ptr<HCURLConnectionOperation>& operation,
      std::weak_ptr<uikit::AlertViewDelegate> delegate);
  static void showAlertViewForRequestOperationWithErrorOnCompletion(
      const std::shared_ptr<HCURLConnectionOperation>& operation,
      std::weak_ptr<uikit::AlertViewDelegate> delegate, std::optional<std::string> cancelButtonTitle,
      std::vector<std::string> otherButtonTitles);

  // Shows the alert for `error` as the header says.
  static void showAlertForError(const ns::Error& error, std::weak_ptr<uikit::AlertViewDelegate> delegate,
                                std::optional<std::string> cancelButtonTitle,
                                std::vector<std::string> otherButtonTitles);
};

}  // namespace http_client
