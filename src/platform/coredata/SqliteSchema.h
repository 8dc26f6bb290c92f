#pragma once

// Creating and upgrading the tables of a SQLite store (the layout is StoreColumns.h's). Upgrades are
// lightweight: a newer model may add entities and attributes, which become new tables and columns whose
// existing rows read as nil. Nothing is ever dropped or rewritten, so tables and columns that a model no
// longer names keep their data. Not thread-safe: works on the caller's connection.

#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/SqliteDatabase.h"
#include "platform/foundation/values/Result.h"

namespace cd {

// Brings the file's tables up to `model`. An empty file becomes a new store of the model. Returns success,
// or the error when the file was written for another model or by another program
// (kPersistentStoreIncompatibleVersionHashError), or holds a column whose type the model contradicts
// (kMigrationError), or cannot be read or written.
// REQUIRES: a transaction is open on `database`, so that a failure leaves the file as it was.
ns::Status migrateSchema(SqliteDatabase& database, const ManagedObjectModel& model);

}  // namespace cd
