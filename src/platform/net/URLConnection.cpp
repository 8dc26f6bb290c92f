#include "platform/net/URLConnection.h"

#include "platform/net/ConnectionTransfer.h"

namespace ns {

std::shared_ptr<URLConnection> URLConnection::create(URLRequest request,
                                                     std::weak_ptr<URLConnectionDelegate> delegate) {
  return std::shared_ptr<URLConnection>(new URLConnection(std::move(request), std::move(delegate)));
}

URLConnection::URLConnection(URLRequest request, std::weak_ptr<URLConnectionDelegate> delegate)
    : originalRequest_(std::move(request)), delegate_(std::move(delegate)) {}

URLConnection::~URLConnection() = default;

void URLConnection::start() {
  if (started_ || cancelledBeforeStart_) {
    return;
  }
  started_ = true;
  transfer_ = std::make_shared<ConnectionTransfer>(shared_from_this(), delegate_, originalRequest_);
  transfer_->start();
}

void URLConnection::cancel() {
  if (transfer_) {
    transfer_->cancel();
  } else {
    cancelledBeforeStart_ = true;
  }
}

void URLConnection::resumeReceiving() {
  if (transfer_) {
    transfer_->resumeReceiving();
  }
}

const URLRequest& URLConnection::currentRequest() const {
  return transfer_ ? transfer_->currentRequest() : originalRequest_;
}

}  // namespace ns
