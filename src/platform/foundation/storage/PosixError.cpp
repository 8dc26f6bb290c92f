#include "platform/foundation/storage/PosixError.h"

#include <string>
#include <system_error>

namespace ns {

Error posixError(int errorNumber, std::string_view path) {
  return Error(
      std::string(kPOSIXErrorDomain), errorNumber,
      Dictionary{{std::string(kLocalizedDescriptionKey), std::generic_category().message(errorNumber)},
                 {std::string(kFilePathErrorKey), path}});
}

}  // namespace ns
