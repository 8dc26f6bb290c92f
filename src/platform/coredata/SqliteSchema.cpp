#include "platform/coredata/SqliteSchema.h"

#include <map>
#include <set>
#include <string>

#include "platform/coredata/CoreDataErrors.h"
#include "platform/coredata/StoreColumns.h"
#include "platform/foundation/text/CaseMapping.h"

namespace cd {

namespace {

constexpr std::string_view kModelNameKey = "model";

ns::Result<std::set<std::string, std::less<>>> tableNames(SqliteDatabase& database) {
  ns::Result<SqliteStatement> query = database.prepare("SELECT name FROM sqlite_master WHERE type = 'table'");
  if (!query) {
    return query.error();
  }
  std::set<std::string, std::less<>> names;
  for (;;) {
    ns::Result<bool> row = query->step();
    if (!row) {
      return row.error();
    }
    if (!*row) {
      return names;
    }
    names.emplace(query->columnText(0));
  }
}

// Returns the name of the model recorded in the file, or an empty text when none is recorded.
ns::Result<std::string> recordedModelName(SqliteDatabase& database) {
  ns::Result<SqliteStatement> query =
      database.prepare("SELECT Z_VALUE FROM " + quotedIdentifier(kMetadataTable) + " WHERE Z_KEY = ?");
  if (!query) {
    return query.error();
  }
  const ns::Value key(kModelNameKey);
  query->bind(1, key);
  ns::Result<bool> row = query->step();
  if (!row) {
    return row.error();
  }
  return *row ? std::string(query->columnText(0)) : std::string();
}

ns::Status createMetadata(SqliteDatabase& database, const ManagedObjectModel& model) {
  ns::Status created = database.execute("CREATE TABLE " + quotedIdentifier(kMetadataTable) +
                                        " (Z_KEY TEXT PRIMARY KEY, Z_VALUE TEXT)");
  if (!created) {
    return created;
  }
  ns::Result<SqliteStatement> insert =
      database.prepare("INSERT INTO " + quotedIdentifier(kMetadataTable) + " (Z_KEY, Z_VALUE) VALUES (?, ?)");
  if (!insert) {
    return insert.error();
  }
  const ns::Value key(kModelNameKey);
  const ns::Value name(model.name());
  insert->bind(1, key);
  insert->bind(2, name);
  return insert->run();
}

// Makes sure the file is a store of `model`, or a new file that becomes one.
ns::Status claimFile(SqliteDatabase& database, const ManagedObjectModel& model,
                     const std::set<std::string, std::less<>>& tables) {
  if (!tables.contains(kMetadataTable)) {
    for (const std::string& table : tables) {
      if (!table.starts_with("sqlite_")) {
        return storeError(kPersistentStoreIncompatibleVersionHashError,
                          "The file holds tables of another program.");
      }
    }
    return createMetadata(database, model);
  }
  ns::Result<std::string> recorded = recordedModelName(database);
  if (!recorded) {
    return recorded.error();
  }
  if (*recorded != model.name()) {
    return storeError(
        kPersistentStoreIncompatibleVersionHashError,
        "The file was written for the model \"" + *recorded + "\", not \"" + model.name() + "\".");
  }
  return ns::Status();
}

ns::Status createTable(SqliteDatabase& database, const EntityDescription& entity) {
  std::string sql = "CREATE TABLE " + quotedIdentifier(entity.name()) + " (" +
                    quotedIdentifier(kPrimaryKeyColumn) + " INTEGER PRIMARY KEY";
  for (const StoreColumn& column : storeColumnsOf(entity)) {
    sql += ", " + quotedIdentifier(column.name) + " " + std::string(column.sqlType);
  }
  sql += ")";
  return database.execute(sql);
}

// Returns the declared type of each column of `table`, upper-cased, by column name.
ns::Result<std::map<std::string, std::string, std::less<>>> columnTypes(SqliteDatabase& database,
                                                                        std::string_view table) {
  ns::Result<SqliteStatement> query =
      database.prepare("SELECT name, type FROM pragma_table_info(" + quotedIdentifier(table) + ")");
  if (!query) {
    return query.error();
  }
  std::map<std::string, std::string, std::less<>> types;
  for (;;) {
    ns::Result<bool> row = query->step();
    if (!row) {
      return row.error();
    }
    if (!*row) {
      return types;
    }
    types.emplace(std::string(query->columnText(0)), ns::uppercased(query->columnText(1)));
  }
}

ns::Status upgradeTable(SqliteDatabase& database, const EntityDescription& entity) {
  ns::Result<std::map<std::string, std::string, std::less<>>> existing = columnTypes(database, entity.name());
  if (!existing) {
    return existing.error();
  }
  for (const StoreColumn& column : storeColumnsOf(entity)) {
    const auto found = existing->find(column.name);
    if (found == existing->end()) {
      ns::Status added = database.execute("ALTER TABLE " + quotedIdentifier(entity.name()) + " ADD COLUMN " +
                                          quotedIdentifier(column.name) + " " + std::string(column.sqlType));
      if (!added) {
        return added;
      }
    } else if (found->second != column.sqlType) {
      return storeError(kMigrationError, "The column " + entity.name() + "." + std::string(column.name) +
                                             " holds " + found->second + ", not " +
                                             std::string(column.sqlType) + ".");
    }
  }
  return ns::Status();
}

}  // namespace

ns::Status migrateSchema(SqliteDatabase& database, const ManagedObjectModel& model) {
  ns::Result<std::set<std::string, std::less<>>> tables = tableNames(database);
  if (!tables) {
    return tables.error();
  }
  ns::Status claimed = claimFile(database, model, *tables);
  if (!claimed) {
    return claimed;
  }
  for (const EntityDescription& entity : model.entities()) {
    ns::Status ready =
        tables->contains(entity.name()) ? upgradeTable(database, entity) : createTable(database, entity);
    if (!ready) {
      return ready;
    }
  }
  return ns::Status();
}

}  // namespace cd
