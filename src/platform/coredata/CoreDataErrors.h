#pragma once

// The errors the object store reports, in the platform's own domain with its store error codes, and the
// SQLite errors underneath them. Thread-safe: constants and pure functions.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/foundation/values/Error.h"

namespace cd {

// The domain of an underlying SQLite failure; the code is SQLite's extended result code.
inline constexpr std::string_view kSQLiteErrorDomain = "NSSQLiteErrorDomain";

// Codes in ns::kCocoaErrorDomain.
// The file is not a store, or not readable as one.
inline constexpr std::int64_t kFileReadCorruptFileError = 259;
// A store could not be opened or read.
inline constexpr std::int64_t kPersistentStoreOpenError = 134080;
// The file was written for another model.
inline constexpr std::int64_t kPersistentStoreIncompatibleVersionHashError = 134100;
// The file's schema cannot be brought up to the model by adding tables and columns.
inline constexpr std::int64_t kMigrationError = 134110;
// A save did not reach the file.
inline constexpr std::int64_t kPersistentStoreSaveError = 134030;
// A request named something the model does not hold.
inline constexpr std::int64_t kCoreDataError = 134060;

// Returns an error of the SQLite domain with `resultCode` and SQLite's `message`.
ns::Error sqliteError(int resultCode, std::string_view message);

// Returns an error of ns::kCocoaErrorDomain with `code`, the readable `description` and, when given, the
// error that caused it.
ns::Error storeError(std::int64_t code, std::string description);
ns::Error storeError(std::int64_t code, std::string description, ns::Error underlying);

}  // namespace cd
