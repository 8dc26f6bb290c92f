#include "embedded_server/sockets/SocketError.h"

#include <string>

#include "platform/foundation/check/Check.h"
#include "platform/foundation/storage/PosixError.h"

namespace embedded_server {

ns::Error socketError(const boost::system::error_code& error) {
  QM_DCHECK(static_cast<bool>(error), "error is set");
  const bool isSystemError = error.category() == boost::system::system_category() ||
                             error.category() == boost::system::generic_category();
  return ns::Error(std::string(isSystemError ? ns::kPOSIXErrorDomain : kRunLoopSocketErrorDomain),
                   error.value(), {{std::string(ns::kLocalizedDescriptionKey), error.message()}});
}

}  // namespace embedded_server
