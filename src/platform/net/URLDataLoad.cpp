#include "platform/net/URLDataLoad.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/foundation/check/Check.h"
#include "platform/net/URLError.h"

namespace ns {

namespace {

// Room reserved at once for an announced body, within reason: the announcement comes from the network, and
// a body that never arrives should not hold more than this.
constexpr std::size_t kLargestReservation = std::size_t{64} << 20;

}  // namespace

std::shared_ptr<URLDataLoad> URLDataLoad::start(URLRequest request, std::size_t maximumBodySize,
                                                ResponseCheck check, Completion completion) {
  auto load = std::make_shared<URLDataLoad>(maximumBodySize, std::move(check), std::move(completion));
  load->connection_ = URLConnection::create(std::move(request), load);
  load->connection_->start();
  return load;
}

URLDataLoad::URLDataLoad(std::size_t maximumBodySize, ResponseCheck check, Completion completion)
    : maximumBodySize_(maximumBodySize), check_(std::move(check)), completion_(std::move(completion)) {}

URLDataLoad::~URLDataLoad() {
  cancel();
}

void URLDataLoad::cancel() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  completion_ = nullptr;
  if (connection_) {
    connection_->cancel();
    connection_.reset();
  }
}

void URLDataLoad::didReceiveResponse(URLConnection&, std::shared_ptr<const URLResponse> response) {
  response_ = std::move(response);
  if (check_) {
    if (std::optional<Error> refused = check_(*response_)) {
      stopWith(std::move(*refused));
      return;
    }
  }
  const std::int64_t announced = response_->expectedContentLength();
  if (announced > 0 && static_cast<std::uint64_t>(announced) > maximumBodySize_) {
    stopWith(makeURLError(kURLErrorDataLengthExceedsMaximum, response_->url(), response_->peerAddress()));
    return;
  }
  if (announced > 0) {
    body_.reserve(std::min(static_cast<std::size_t>(announced), kLargestReservation));
  }
}

URLConnectionDelegate::DataDisposition URLDataLoad::didReceiveData(URLConnection&, const std::uint8_t* bytes,
                                                                   std::size_t length) {
  if (length > maximumBodySize_ - body_.size()) {
    stopWith(makeURLError(kURLErrorDataLengthExceedsMaximum, response_->url(), response_->peerAddress()));
    return DataDisposition::kConsumed;
  }
  body_.insert(body_.end(), bytes, bytes + length);
  return DataDisposition::kConsumed;
}

void URLDataLoad::didFinishLoading(URLConnection&) {
  connection_.reset();
  complete(std::move(body_));
}

void URLDataLoad::didFailWithError(URLConnection&, const Error& error) {
  connection_.reset();
  complete(error);
}

void URLDataLoad::stopWith(Error error) {
  if (connection_) {
    connection_->cancel();
    connection_.reset();
  }
  complete(std::move(error));
}

void URLDataLoad::complete(Result<Data> body) {
  // What a failure leaves behind is freed now, not when the caller drops the load.
  Data().swap(body_);
  // The completion may drop the caller's last reference to this load; it lives until the call returns.
  const std::shared_ptr<URLDataLoad> keepAlive = shared_from_this();
  Completion completion = std::exchange(completion_, nullptr);
  if (completion) {
    completion(response_, std::move(body));
  }
}

}  // namespace ns
