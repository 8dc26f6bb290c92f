#include "platform/avfoundation/MediaResourceLoad.h"

#include "platform/avfoundation/MediaErrors.h"
#include "platform/net/HTTPURLResponse.h"

namespace av {

std::shared_ptr<MediaResourceLoad> MediaResourceLoad::start(const ns::URL& url, std::size_t maximumSize,
                                                            Completion completion) {
  auto load = std::make_shared<MediaResourceLoad>(url, maximumSize, std::move(completion));
  load->connection_ = ns::URLConnection::create(ns::URLRequest(url), load);
  load->connection_->start();
  return load;
}

MediaResourceLoad::MediaResourceLoad(ns::URL url, std::size_t maximumSize, Completion completion)
    : url_(std::move(url)), maximumSize_(maximumSize), completion_(std::move(completion)) {}

MediaResourceLoad::~MediaResourceLoad() {
  cancel();
}

void MediaResourceLoad::cancel() {
  completion_ = nullptr;
  if (connection_) {
    connection_->cancel();
    connection_.reset();
  }
}

void MediaResourceLoad::didReceiveResponse(ns::URLConnection&,
                                           std::shared_ptr<const ns::URLResponse> response) {
  const auto* http = dynamic_cast<const ns::HTTPURLResponse*>(response.get());
  statusCode_ = http ? http->statusCode() : 200;
  const std::int64_t announcedSize = response ? response->expectedContentLength() : -1;
  if (statusCode_ >= 200 && statusCode_ < 300 && announcedSize > 0 &&
      static_cast<std::uint64_t>(announcedSize) > maximumSize_) {
    failTooLarge();
  }
}

ns::URLConnectionDelegate::DataDisposition MediaResourceLoad::didReceiveData(ns::URLConnection&,
                                                                             const std::uint8_t* bytes,
                                                                             std::size_t length) {
  // The body of an error status is not media; only its status counts.
  if (statusCode_ >= 200 && statusCode_ < 300) {
    if (length > maximumSize_ - body_.size()) {
      failTooLarge();
      return DataDisposition::kConsumed;
    }
    body_.insert(body_.end(), bytes, bytes + length);
  }
  return DataDisposition::kConsumed;
}

void MediaResourceLoad::didFinishLoading(ns::URLConnection&) {
  if (statusCode_ < 200 || statusCode_ >= 300) {
    finish(httpStatusError(statusCode_, url_));
  } else {
    finish(std::move(body_));
  }
}

void MediaResourceLoad::didFailWithError(ns::URLConnection&, const ns::Error& error) {
  finish(transportError(error));
}

void MediaResourceLoad::failTooLarge() {
  if (connection_) {
    connection_->cancel();
  }
  body_.clear();
  finish(resourceTooLargeError(url_, maximumSize_));
}

void MediaResourceLoad::finish(ns::Result<ns::Data> result) {
  connection_.reset();
  // The completion may drop the last reference to this load, so it runs from a local.
  Completion completion = std::move(completion_);
  completion_ = nullptr;
  if (completion) {
    completion(std::move(result));
  }
}

}  // namespace av
