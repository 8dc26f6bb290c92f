#include "platform/coredata/SqliteStore.h"

#include "platform/coredata/CoreDataErrors.h"
#include "platform/coredata/SqliteSchema.h"

namespace cd {

namespace {

// Converts a value read from the file to `type`, so that objects only ever hold nil or the attribute's kind.
ns::Value coerced(ns::Value value, AttributeType type) {
  if (value.isNull()) {
    return value;
  }
  if (type == AttributeType::kText) {
    return value.isString() ? value : ns::Value(ns::describe(value));
  }
  return value.isInteger() ? value : ns::Value(value.integerValue());
}

std::string columnList(const std::vector<StoreColumn>& columns) {
  std::string list;
  for (const StoreColumn& column : columns) {
    list += ", " + quotedIdentifier(column.name);
  }
  return list;
}

}  // namespace

ns::Result<std::unique_ptr<SqliteStore>> SqliteStore::open(const std::string& path,
                                                           const ManagedObjectModel& model) {
  ns::Result<std::unique_ptr<SqliteDatabase>> database = SqliteDatabase::open(path);
  if (!database) {
    return database.error();
  }
  std::unique_ptr<SqliteStore> store(new SqliteStore(std::move(*database)));
  ns::Status began = store->database_->begin();
  if (!began) {
    return began.error();
  }
  ns::Status migrated = migrateSchema(*store->database_, model);
  if (migrated) {
    migrated = store->database_->commit();
  }
  if (!migrated) {
    store->database_->rollback();
    return migrated.error();
  }
  for (const EntityDescription& entity : model.entities()) {
    ns::Status prepared = store->prepareEntity(entity);
    if (!prepared) {
      return prepared.error();
    }
  }
  return store;
}

ns::Status SqliteStore::prepareEntity(const EntityDescription& entity) {
  std::vector<StoreColumn> columns = storeColumnsOf(entity);
  const std::string table = quotedIdentifier(entity.name());
  const std::string key = quotedIdentifier(kPrimaryKeyColumn);
  std::string placeholders = "?";
  std::string assignments;
  for (const StoreColumn& column : columns) {
    placeholders += ", ?";
    assignments += (assignments.empty() ? "" : ", ") + quotedIdentifier(column.name) + " = ?";
  }
  // Remembers the first failure; the statements that fail to compile stay empty and are never used.
  ns::Status prepared;
  auto prepare = [&](const std::string& sql) {
    ns::Result<SqliteStatement> statement = database_->prepare(sql);
    if (!statement) {
      if (prepared) {
        prepared = statement.error();
      }
      return SqliteStatement(nullptr);
    }
    return std::move(*statement);
  };
  SqliteStatement select =
      prepare("SELECT " + key + columnList(columns) + " FROM " + table + " ORDER BY " + key);
  SqliteStatement insert =
      prepare("INSERT INTO " + table + " (" + key + columnList(columns) + ") VALUES (" + placeholders + ")");
  // An entity with no columns besides its key still gets a valid (if idle) update statement.
  SqliteStatement update =
      prepare("UPDATE " + table + " SET " + (assignments.empty() ? key + " = " + key : assignments) +
              " WHERE " + key + " = ?");
  SqliteStatement remove = prepare("DELETE FROM " + table + " WHERE " + key + " = ?");
  SqliteStatement largestKey = prepare("SELECT MAX(" + key + ") FROM " + table);
  if (!prepared) {
    return prepared;
  }
  ns::Result<bool> row = largestKey.step();
  if (!row) {
    return row.error();
  }
  nextPrimaryKeys_.push_back(largestKey.columnInteger(0) + 1);
  statements_.push_back(EntityStatements{std::move(columns), std::move(select), std::move(insert),
                                         std::move(update), std::move(remove)});
  return ns::Status();
}

ns::Result<std::vector<StoreRow>> SqliteStore::loadRows(const EntityDescription& entity) {
  EntityStatements& statements = statements_[entity.index()];
  SqliteStatement& select = statements.select;
  select.reset();
  std::vector<StoreRow> rows;
  for (;;) {
    ns::Result<bool> stepped = select.step();
    if (!stepped) {
      select.reset();
      return stepped.error();
    }
    if (!*stepped) {
      select.reset();
      return rows;
    }
    StoreRow row;
    row.primaryKey = select.columnInteger(0);
    row.attributes.resize(entity.attributes().size());
    row.relatedKeys.resize(entity.relationships().size());
    for (std::size_t position = 0; position < statements.columns.size(); ++position) {
      const StoreColumn& column = statements.columns[position];
      const int resultColumn = static_cast<int>(position) + 1;
      if (column.source == StoreColumn::Source::kAttribute) {
        row.attributes[column.index] =
            coerced(select.columnValue(resultColumn), entity.attributes()[column.index].type);
      } else if (!select.columnIsNull(resultColumn)) {
        row.relatedKeys[column.index] = select.columnInteger(resultColumn);
      }
    }
    rows.push_back(std::move(row));
  }
}

std::int64_t SqliteStore::takePrimaryKey(const EntityDescription& entity) {
  return nextPrimaryKeys_[entity.index()]++;
}

ns::Status SqliteStore::writeRow(SqliteStatement& statement, const StoreRowWrite& row,
                                 int primaryKeyPosition) {
  const std::vector<StoreColumn>& columns = statements_[row.entityIndex].columns;
  // Inserts take the key first and updates last; the columns fill the other places in order.
  const int firstColumn = primaryKeyPosition == 1 ? 2 : 1;
  statement.bindInteger(primaryKeyPosition, row.primaryKey);
  for (std::size_t position = 0; position < columns.size(); ++position) {
    const StoreColumn& column = columns[position];
    const int parameter = firstColumn + static_cast<int>(position);
    if (column.source == StoreColumn::Source::kAttribute) {
      statement.bind(parameter, row.attributes[column.index]);
    } else if (const std::optional<std::int64_t>& key = row.relatedKeys[column.index]) {
      statement.bindInteger(parameter, *key);
    } else {
      statement.bindNull(parameter);
    }
  }
  return statement.run();
}

ns::Status SqliteStore::writeAll(const StoreChanges& changes) {
  for (const StoreRowWrite& row : changes.inserted) {
    ns::Status written = writeRow(statements_[row.entityIndex].insert, row, 1);
    if (!written) {
      return written;
    }
  }
  for (const StoreRowWrite& row : changes.updated) {
    const int keyPosition = static_cast<int>(statements_[row.entityIndex].columns.size()) + 1;
    ns::Status written = writeRow(statements_[row.entityIndex].update, row, keyPosition);
    if (!written) {
      return written;
    }
  }
  for (const auto& [entityIndex, primaryKey] : changes.deleted) {
    SqliteStatement& remove = statements_[entityIndex].remove;
    remove.bindInteger(1, primaryKey);
    ns::Status removed = remove.run();
    if (!removed) {
      return removed;
    }
  }
  return database_->commit();
}

ns::Status SqliteStore::write(const StoreChanges& changes) {
  ns::Status began = database_->begin();
  if (!began) {
    return storeError(kPersistentStoreSaveError, "The changes could not be saved.", began.error());
  }
  ns::Status written = writeAll(changes);
  if (!written) {
    database_->rollback();
    return storeError(kPersistentStoreSaveError, "The changes could not be saved.", written.error());
  }
  return ns::Status();
}

}  // namespace cd
