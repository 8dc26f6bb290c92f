#include "embedded_server/sockets/SocketError.h"

#include <string>

#include "platform/foundation/storage/PosixError.h"

ns::Error socketError(const boost::system::error_code& error) {
  const bool isSystemError = error.category() == boost::system::system_category() ||
                             error.category() == boost::system::generic_category();
  return ns::Error(std::string(isSystemError ? ns::kPOSIXErrorDomain : kRunLoopSocketErrorDomain),
                   error.value(), {{std::string(ns::kLocalizedDescriptionKey), error.message()}});
}
