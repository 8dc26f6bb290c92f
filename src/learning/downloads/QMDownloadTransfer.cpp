#include "learning/downloads/QMDownloadTransfer.h"

#include <algorithm>
#include <array>
#include <utility>

#include "app/store/ConsoleLog.h"
#include "platform/foundation/check/Check.h"
#include "platform/net/HTTPURLResponse.h"

namespace learning {

namespace {

constexpr std::int64_t kLargestReservation = 64 << 20;

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

ns::Error rejectedResponseError(const std::string& description) {
  return ns::Error(std::string(kQMDownloadTransferErrorDomain), kQMDownloadTransferRejectedResponse,
                   {{std::string(ns::kLocalizedDescriptionKey), description}});
}

}  // namespace

std::shared_ptr<QMDownloadTransfer> QMDownloadTransfer::start(const std::string& url, Completion completion) {
  QM_DCHECK_MAIN_THREAD();
  auto transfer = std::make_shared<QMDownloadTransfer>(std::move(completion));
  transfer->connection_ = ns::URLConnection::create(
      ns::URLRequest(ns::URL::fromString(url), ns::URLRequestCachePolicy::kUseProtocolCachePolicy,
                     kTimeoutInterval),
      transfer);
  transfer->connection_->start();
  return transfer;
}

QMDownloadTransfer::QMDownloadTransfer(Completion completion) : completion_(std::move(completion)) {}

QMDownloadTransfer::~QMDownloadTransfer() {
  cancel();
}

void QMDownloadTransfer::cancel() {
  completion_ = nullptr;
  if (connection_) {
    connection_->cancel();
  }
}

void QMDownloadTransfer::didReceiveResponse(ns::URLConnection& connection,
                                            std::shared_ptr<const ns::URLResponse> response) {
  body_.clear();
  // Room for the announced body at once, within reason: the announcement comes from the network.
  const std::int64_t announced = response->expectedContentLength();
  if (announced > 0) {
    body_.reserve(static_cast<std::size_t>(std::min<std::int64_t>(announced, kLargestReservation)));
  }
  const auto* http = dynamic_cast<const ns::HTTPURLResponse*>(response.get());
  app::consoleLog("Content-Length: " + std::to_string(response->expectedContentLength()) + " " +
                  response->url().path());
  if (http == nullptr || !isStorable(*http)) {
    const std::string requested =
        connection.originalRequest().url() ? connection.originalRequest().url()->absoluteString() : "";
    app::consoleLog("refused reply for " + requested + " from " + response->url().absoluteString());
    connection.cancel();
    complete(rejectedResponseError(http == nullptr ? "not an HTTP reply" : http->description()));
  }
}

ns::URLConnectionDelegate::DataDisposition QMDownloadTransfer::didReceiveData(ns::URLConnection&,
                                                                              const std::uint8_t* bytes,
                                                                              std::size_t length) {
  body_.insert(body_.end(), bytes, bytes + length);
  return DataDisposition::kConsumed;
}

void QMDownloadTransfer::didFinishLoading(ns::URLConnection&) {
  complete(std::move(body_));
}

void QMDownloadTransfer::didFailWithError(ns::URLConnection&, const ns::Error& error) {
  complete(error);
}

void QMDownloadTransfer::complete(ns::Result<ns::Data> body) {
  // The completion may release this transfer; keep it alive until the call returns.
  const std::shared_ptr<QMDownloadTransfer> self = shared_from_this();
  Completion completion = std::exchange(completion_, nullptr);
  if (completion) {
    completion(std::move(body));
  }
}

}  // namespace learning
