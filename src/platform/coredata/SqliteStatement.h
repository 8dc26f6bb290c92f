#pragma once

// cd::SqliteStatement: one prepared SQL statement of a SqliteDatabase, reused by binding new parameters and
// stepping again. Move-only; finalised when destroyed.
//
// Not thread-safe: a statement belongs to the thread of its database.

#include <cstdint>
#include <string_view>

#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"

struct sqlite3_stmt;

namespace cd {

class SqliteStatement {
 public:
  // Takes ownership of `statement`.
  explicit SqliteStatement(sqlite3_stmt* statement) : statement_(statement) {}
  ~SqliteStatement();
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement& operator=(SqliteStatement&& other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Makes the statement ready to run again and clears its parameters.
  void reset();

  // Binds parameter `position` (1-based). Text is bound without copying.
  // REQUIRES: the bound value outlives the steps that use it. A Value binds as an integer (booleans and
  // integers), a double, text (strings) or null (every other kind).
  void bind(int position, const ns::Value& value);
  void bindInteger(int position, std::int64_t value);
  void bindNull(int position);

  // Runs the statement to its next row. Returns true when a row is ready, false when the statement is done,
  // or the SQLite error.
  ns::Result<bool> step();
  // Steps a statement that returns no rows to its end, then resets it and clears its parameters.
  ns::Status run();

  // Column `column` (0-based) of the current row: null, integer, double or text (a blob reads as text).
  ns::Value columnValue(int column) const;
  std::int64_t columnInteger(int column) const;
  std::string_view columnText(int column) const;
  bool columnIsNull(int column) const;

 private:
  sqlite3_stmt* statement_;
};

}  // namespace cd
