#include "platform/avfoundation/MediaResourceLoad.h"

#include <utility>

#include "platform/avfoundation/MediaErrors.h"
#include "platform/foundation/check/Check.h"
#include "platform/net/HTTPURLResponse.h"
#include "platform/net/URLError.h"

namespace av {

std::shared_ptr<MediaResourceLoad> MediaResourceLoad::start(const ns::URL& url, std::size_t maximumSize,
                                                            Completion completion) {
  auto load = std::make_shared<MediaResourceLoad>(url, maximumSize, std::move(completion));
  MediaResourceLoad* const self = load.get();
  // The data load lives no longer than this one, whose destructor cancels it, so it may call back `self`.
  load->load_ = ns::URLDataLoad::start(
      ns::URLRequest(url), maximumSize,
      [url](const ns::URLResponse& response) -> std::optional<ns::Error> {
        // The body of an error status is not media; only its status counts.
        const auto* http = dynamic_cast<const ns::HTTPURLResponse*>(&response);
        const int statusCode = http ? http->statusCode() : 200;
        if (statusCode >= 200 && statusCode < 300) {
          return std::nullopt;
        }
        return httpStatusError(statusCode, url, response.peerAddress());
      },
      [self](std::shared_ptr<const ns::URLResponse> response, ns::Result<ns::Data> body) {
        self->finish(response, std::move(body));
      });
  return load;
}

MediaResourceLoad::MediaResourceLoad(ns::URL url, std::size_t maximumSize, Completion completion)
    : url_(std::move(url)), maximumSize_(maximumSize), completion_(std::move(completion)) {}

MediaResourceLoad::~MediaResourceLoad() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  cancel();
}

void MediaResourceLoad::cancel() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  completion_ = nullptr;
  if (load_) {
    load_->cancel();
    load_.reset();
  }
}

ns::Error MediaResourceLoad::mediaErrorFor(const ns::Error& loadError) const {
  if (loadError.domain() != ns::kURLErrorDomain) {
    return loadError;  // the status check's own CoreMedia error
  }
  if (loadError.code() == ns::kURLErrorDataLengthExceedsMaximum) {
    return resourceTooLargeError(url_, maximumSize_, ns::peerAddressOf(loadError));
  }
  return transportError(loadError);
}

void MediaResourceLoad::finish(const std::shared_ptr<const ns::URLResponse>& response,
                               ns::Result<ns::Data> body) {
  if (response) {
    peerAddress_ = response->peerAddress();
  } else if (!body.ok()) {
    peerAddress_ = ns::peerAddressOf(body.error());
  }
  ns::Result<ns::Data> result =
      body.ok() ? std::move(body) : ns::Result<ns::Data>(mediaErrorFor(body.error()));
  // The completion may drop the last reference to this load: nothing here is touched after it.
  Completion completion = std::exchange(completion_, nullptr);
  if (completion) {
    completion(std::move(result));
  }
}

}  // namespace av
