#include "platform/foundation/formats/FormatErrors.h"

namespace ns {
namespace {

Error cocoaError(std::int64_t code, std::string description) {
  return Error(std::string(kCocoaErrorDomain), code,
               Dictionary{{std::string(kLocalizedDescriptionKey), Value(std::move(description))}});
}

}  // namespace

Error readCorruptError(std::string description) {
  return cocoaError(kPropertyListReadCorruptError, std::move(description));
}

Error writeInvalidError(std::string description) {
  return cocoaError(kPropertyListWriteInvalidError, std::move(description));
}

}  // namespace ns
