#include "platform/coredata/CoreDataErrors.h"

namespace cd {

ns::Error sqliteError(int resultCode, std::string_view message) {
  return ns::Error(std::string(kSQLiteErrorDomain), resultCode,
                   ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), ns::Value(message)}});
}

ns::Error storeError(std::int64_t code, std::string description) {
  return ns::Error(
      std::string(ns::kCocoaErrorDomain), code,
      ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey), ns::Value(std::move(description))}});
}

ns::Error storeError(std::int64_t code, std::string description, ns::Error underlying) {
  ns::Error error = storeError(code, std::move(description));
  error.setUnderlyingError(std::move(underlying));
  return error;
}

}  // namespace cd
