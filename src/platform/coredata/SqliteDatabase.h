#pragma once

// cd::SqliteDatabase: an open connection to one SQLite file, in write-ahead-log mode so that a crash never
// leaves a half-written transaction behind. Opening never deletes, truncates or rewrites an existing file;
// a file that is not a database is reported, not replaced.
//
// Not thread-safe: a connection belongs to the thread that opened it.

#include <memory>
#include <string>
#include <string_view>

#include "platform/coredata/SqliteStatement.h"
#include "platform/foundation/check/ThreadChecker.h"
#include "platform/foundation/values/Result.h"

struct sqlite3;

namespace cd {

class SqliteDatabase {
 public:
  // Opens the file at `path`, creating an empty database when nothing is there. Returns the connection, owned
  // by the caller, or the error (an SQLite-domain error; kFileReadCorruptFileError for a file that is not a
  // database).
  static ns::Result<std::unique_ptr<SqliteDatabase>> open(const std::string& path);

  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  // Runs `sql`, one or more statements whose rows are not needed.
  ns::Status execute(std::string_view sql);
  // Returns the compiled statement, owned by the caller, or the error.
  // REQUIRES: the statement is destroyed before this connection.
  ns::Result<SqliteStatement> prepare(std::string_view sql);

  // Transactions. begin() takes the write lock at once, so a transaction never fails half-way for want of it.
  ns::Status begin() { return execute("BEGIN IMMEDIATE"); }
  ns::Status commit() { return execute("COMMIT"); }
  // Undoes the open transaction, if any. Failing to roll back leaves nothing worse than the failure before
  // it.
  void rollback();

 private:
  explicit SqliteDatabase(sqlite3* connection) : connection_(connection) {}
  ns::Error lastError() const;

  sqlite3* connection_;
  const ns::ThreadChecker ownerThread_;
};

}  // namespace cd
