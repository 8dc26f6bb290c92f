#pragma once

// cd::SqliteStore: the rows of a model's entities in one SQLite file (layout: StoreColumns.h). It opens and
// upgrades the file (SqliteSchema.h), reads an entity's rows, hands out primary keys and writes a context's
// changes in one transaction.
//
// Not thread-safe: a store belongs to the thread that opened it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/SqliteDatabase.h"
#include "platform/coredata/StoreColumns.h"
#include "platform/coredata/StoreRow.h"
#include "platform/foundation/values/Result.h"

namespace cd {

class SqliteStore {
 public:
  // Opens the file at `path` for `model`, creating or upgrading its tables. Returns the store, owned by the
  // caller, or the error; a failed open leaves the file as it was.
  // REQUIRES: `model` outlives the store.
  static ns::Result<std::unique_ptr<SqliteStore>> open(const std::string& path,
                                                       const ManagedObjectModel& model);

  // Returns every row of `entity` in primary-key order, each value of the attribute's type (a value of
  // another type in the file is converted: numbers to their text, texts to their leading integer), or the
  // error.
  ns::Result<std::vector<StoreRow>> loadRows(const EntityDescription& entity);

  // Returns a primary key for a new row of `entity`, above every key handed out or stored before.
  std::int64_t takePrimaryKey(const EntityDescription& entity);

  // Writes `changes` in one transaction: all of them, or, on failure, none (the error is returned).
  ns::Status write(const StoreChanges& changes);

 private:
  struct EntityStatements {
    std::vector<StoreColumn> columns;
    SqliteStatement select;
    SqliteStatement insert;
    SqliteStatement update;
    SqliteStatement remove;
  };

  explicit SqliteStore(std::unique_ptr<SqliteDatabase> database) : database_(std::move(database)) {}
  ns::Status prepareEntity(const EntityDescription& entity);
  ns::Status writeRow(SqliteStatement& statement, const StoreRowWrite& row, int primaryKeyPosition);
  ns::Status writeAll(const StoreChanges& changes);

  // Declared first so that it closes after the statements are finalised.
  std::unique_ptr<SqliteDatabase> database_;
  std::vector<EntityStatements> statements_;   // by entity index
  std::vector<std::int64_t> nextPrimaryKeys_;  // by entity index
};

}  // namespace cd
