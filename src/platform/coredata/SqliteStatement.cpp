#include "platform/coredata/SqliteStatement.h"

#include <sqlite3.h>

#include <utility>

#include "platform/coredata/CoreDataErrors.h"

namespace cd {

SqliteStatement::~SqliteStatement() {
  sqlite3_finalize(statement_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    statement_ = std::exchange(other.statement_, nullptr);
  }
  return *this;
}

void SqliteStatement::reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

void SqliteStatement::bind(int position, const ns::Value& value) {
  switch (value.kind()) {
    case ns::ValueKind::kBool:
    case ns::ValueKind::kInteger:
      sqlite3_bind_int64(statement_, position, value.integerValue());
      return;
    case ns::ValueKind::kDouble:
      sqlite3_bind_double(statement_, position, value.asDouble());
      return;
    case ns::ValueKind::kString: {
      const std::string& text = value.asString();
      sqlite3_bind_text64(statement_, position, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
      return;
    }
    default:
      sqlite3_bind_null(statement_, position);
      return;
  }
}

void SqliteStatement::bindInteger(int position, std::int64_t value) {
  sqlite3_bind_int64(statement_, position, value);
}

void SqliteStatement::bindNull(int position) {
  sqlite3_bind_null(statement_, position);
}

ns::Result<bool> SqliteStatement::step() {
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) {
    return true;
  }
  if (result == SQLITE_DONE) {
    return false;
  }
  return sqliteError(sqlite3_extended_errcode(sqlite3_db_handle(statement_)),
                     sqlite3_errmsg(sqlite3_db_handle(statement_)));
}

ns::Status SqliteStatement::run() {
  ns::Result<bool> stepped = step();
  // Text is bound without copying, so no binding may outlive the values it points into.
  reset();
  if (!stepped) {
    return stepped.error();
  }
  return ns::Status();
}

ns::Value SqliteStatement::columnValue(int column) const {
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
      return ns::Value(static_cast<std::int64_t>(sqlite3_column_int64(statement_, column)));
    case SQLITE_FLOAT:
      return ns::Value(sqlite3_column_double(statement_, column));
    case SQLITE_TEXT:
    case SQLITE_BLOB:
      return ns::Value(columnText(column));
    default:
      return ns::Value();
  }
}

std::int64_t SqliteStatement::columnInteger(int column) const {
  return sqlite3_column_int64(statement_, column);
}

std::string_view SqliteStatement::columnText(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  if (text == nullptr) {
    return {};
  }
  return std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

bool SqliteStatement::columnIsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

}  // namespace cd
