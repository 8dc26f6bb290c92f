#include "platform/foundation/values/Error.h"

namespace ns {

Error::Error(std::string domain, std::int64_t code, Dictionary userInfo)
    : domain_(std::move(domain)), code_(code), userInfo_(std::move(userInfo)) {}

std::string Error::localizedDescription() const {
  const auto entry = userInfo_.find(kLocalizedDescriptionKey);
  if (entry != userInfo_.end() && entry->second.isString()) {
    return entry->second.asString();
  }
  return "The operation couldn’t be completed. (" + domain_ + " error " + std::to_string(code_) + ".)";
}

Error& Error::setUnderlyingError(Error underlying) {
  underlying_ = std::make_shared<const Error>(std::move(underlying));
  return *this;
}

bool operator==(const Error& a, const Error& b) {
  return a.domain_ == b.domain_ && a.code_ == b.code_ && a.userInfo_ == b.userInfo_;
}

}  // namespace ns
