#include "platform/coredata/SqliteDatabase.h"

#include <sqlite3.h>

#include "platform/coredata/CoreDataErrors.h"
#include "platform/foundation/check/Check.h"

namespace cd {

namespace {

// How long a statement waits for another connection's lock before it fails.
constexpr int kBusyTimeoutMilliseconds = 2000;

}  // namespace

ns::Result<std::unique_ptr<SqliteDatabase>> SqliteDatabase::open(const std::string& path) {
  sqlite3* connection = nullptr;
  const int opened =
      sqlite3_open_v2(path.c_str(), &connection, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (opened != SQLITE_OK) {
    ns::Error error =
        sqliteError(opened, connection != nullptr ? sqlite3_errmsg(connection) : sqlite3_errstr(opened));
    sqlite3_close_v2(connection);
    return error;
  }
  sqlite3_extended_result_codes(connection, 1);
  sqlite3_busy_timeout(connection, kBusyTimeoutMilliseconds);
  std::unique_ptr<SqliteDatabase> database(new SqliteDatabase(connection));
  // Write-ahead logging keeps every commit atomic across crashes; NORMAL syncing flushes at checkpoints,
  // which keeps the many small saves of the application cheap without risking corruption. These are the
  // first reads of the file, so they are also where a file that is not a database shows itself.
  ns::Status configured = database->execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
  if (!configured) {
    if ((configured.error().code() & 0xff) == SQLITE_NOTADB) {
      return storeError(kFileReadCorruptFileError, "The file is not a database.", configured.error());
    }
    return configured.error();
  }
  return database;
}

SqliteDatabase::~SqliteDatabase() {
  sqlite3_close_v2(connection_);
}

ns::Status SqliteDatabase::execute(std::string_view sql) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  const std::string statement(sql);
  if (sqlite3_exec(connection_, statement.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    return lastError();
  }
  return ns::Status();
}

ns::Result<SqliteStatement> SqliteDatabase::prepare(std::string_view sql) {
  QM_DCHECK_CALLED_ON(ownerThread_);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(connection_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         &statement, nullptr) != SQLITE_OK) {
    return lastError();
  }
  return SqliteStatement(statement);
}

void SqliteDatabase::rollback() {
  QM_DCHECK_CALLED_ON(ownerThread_);
  if (sqlite3_get_autocommit(connection_) == 0) {
    sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

ns::Error SqliteDatabase::lastError() const {
  return sqliteError(sqlite3_extended_errcode(connection_), sqlite3_errmsg(connection_));
}

}  // namespace cd
