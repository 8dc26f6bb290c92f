#include "learning/downloads/QMDownloadTransfer.h"

#include <array>
#include <optional>
#include <utility>

#include "app/store/ConsoleLog.h"
#include "platform/foundation/check/Check.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/URLError.h"

namespace learning {

namespace {

// The reply types under which a playlist or a segment is stored, compared whole and case-sensitively.
constexpr std::array<std::string_view, 2> kStorableContentTypes = {"application/x-mpegURL;charset=utf-8",
                                                                   "video/MP2T"};

bool isStorable(const ns::HTTPURLResponse& response) {
  if (response.statusCode() < 200 || response.statusCode() > 299) {
    return false;
  }
  const auto contentType = response.allHeaderFields().find("Content-Type");
  if (contentType == response.allHeaderFields().end()) {
    return false;
  }
  for (const std::string_view storable : kStorableContentTypes) {
    if (contentType->second == storable) {
      return true;
    }
  }
  return false;
}

ns::Error transferError(std::int64_t code, const std::string& description) {
  return ns::Error(std::string(kQMDownloadTransferErrorDomain), code,
                   {{std::string(ns::kLocalizedDescriptionKey), description}});
}

// Logs the reply and refuses it unless it can be stored.
std::optional<ns::Error> checkReply(const std::string& requested, const ns::URLResponse& response) {
  const auto* http = dynamic_cast<const ns::HTTPURLResponse*>(&response);
  app::consoleLog("Content-Length: " + std::to_string(response.expectedContentLength()) + " " +
                  response.url().path());
  if (http != nullptr && isStorable(*http)) {
    return std::nullopt;
  }
  app::consoleLog("refused reply for " + requested + " from " + response.url().absoluteString());
  return transferError(kQMDownloadTransferRejectedResponse,
                       http == nullptr ? "not an HTTP reply" : http->description());
}

}  // namespace

std::shared_ptr<QMDownloadTransfer> QMDownloadTransfer::start(const std::string& url, std::size_t maximumSize,
                                                              Completion completion) {
  QM_DCHECK_MAIN_THREAD();
  auto transfer = std::make_shared<QMDownloadTransfer>(std::move(completion));
  const std::optional<ns::URL> parsed = ns::URL::fromString(url);
  const std::string requested = parsed ? parsed->absoluteString() : "";
  QMDownloadTransfer* const self = transfer.get();
  // The load lives no longer than the transfer, whose destructor cancels it, so it may call back `self`.
  transfer->load_ = ns::URLDataLoad::start(
      ns::URLRequest(parsed, ns::URLRequestCachePolicy::kUseProtocolCachePolicy, kTimeoutInterval),
      maximumSize, [requested](const ns::URLResponse& response) { return checkReply(requested, response); },
      [self, maximumSize](const std::shared_ptr<const ns::URLResponse>&, ns::Result<ns::Data> body) {
        if (!body.ok() && body.error().domain() == ns::kURLErrorDomain &&
            body.error().code() == ns::kURLErrorDataLengthExceedsMaximum) {
          body = transferError(kQMDownloadTransferBodyTooLarge,
                               "The reply is larger than " + std::to_string(maximumSize) + " bytes");
        }
        self->complete(std::move(body));
      });
  return transfer;
}

QMDownloadTransfer::QMDownloadTransfer(Completion completion) : completion_(std::move(completion)) {}

QMDownloadTransfer::~QMDownloadTransfer() {
  cancel();
}

void QMDownloadTransfer::cancel() {
  completion_ = nullptr;
  if (load_) {
    load_->cancel();
  }
}

void QMDownloadTransfer::complete(ns::Result<ns::Data> body) {
  // The completion may release this transfer: nothing here is touched after it.
  Completion completion = std::exchange(completion_, nullptr);
  if (completion) {
    completion(std::move(body));
  }
}

}  // namespace learning
