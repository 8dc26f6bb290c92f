#pragma once

// ns::Error: a failure as a value, with the platform error's parts: a domain, a code, a user-info dictionary
// and an optional underlying error. Thread-safe as a value.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/values/Value.h"

namespace ns {

// The user-info key of the text a person reads.
inline constexpr std::string_view kLocalizedDescriptionKey = "NSLocalizedDescription";

// The platform's own error domain and the codes of it that the stand-ins report.
inline constexpr std::string_view kCocoaErrorDomain = "NSCocoaErrorDomain";
// Bytes that are not a well-formed JSON text or property list.
inline constexpr std::int64_t kPropertyListReadCorruptError = 3840;
// A value that the requested format cannot hold (a date in JSON, a null in a property list).
inline constexpr std::int64_t kPropertyListWriteInvalidError = 3852;

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
