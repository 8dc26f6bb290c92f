#pragma once

// ns::Error: a failure as a value, with the platform error's parts: a domain, a code, a user-info dictionary
// and an optional underlying error. Thread-safe as a value.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/values/Value.h"

namespace ns {

// The user-info key of the text a person reads.
inline constexpr std::string_view kLocalizedDescriptionKey = "NSLocalizedDescription";

class Error {
 public:
  Error(std::string domain, std::int64_t code, Dictionary userInfo = {});

  const std::string& domain() const { return domain_; }
  std::int64_t code() const { return code_; }
  const Dictionary& userInfo() const { return userInfo_; }

  // Returns the text under kLocalizedDescriptionKey, else
  // "The operation couldn’t be completed. (<domain> error <code>.)".
  std::string localizedDescription() const;

  // The error that caused this one, or nullptr.
  const std::shared_ptr<const Error>& underlyingError() const { return underlying_; }
  Error& setUnderlyingError(Error underlying);

  // Equal domain, code and user info; the underlying errors are not compared.
  friend bool operator==(const Error& a, const Error& b);

 private:
  std::string domain_;
  std::int64_t code_;
  Dictionary userInfo_;
  std::shared_ptr<const Error> underlying_;
};

}  // namespace ns
