#pragma once

// The errors that the JSON and property-list serialisations report, in the platform's error domain.
// Thread-safe: pure functions.

#include <string>

#include "platform/foundation/values/Error.h"

namespace ns {

// Returns NSCocoaErrorDomain kPropertyListReadCorruptError (3840) with `description` as its localized
// description: bytes that are not a well-formed document of the format.
Error readCorruptError(std::string description);

// Returns NSCocoaErrorDomain kPropertyListWriteInvalidError (3852) with `description` as its localized
// description: a value that the format cannot hold.
Error writeInvalidError(std::string description);

}  // namespace ns
