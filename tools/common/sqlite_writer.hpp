// Writing a new audit database: a connection to a fresh file and prepared
// INSERT statements, as RAII objects.  Every value is bound as text, the form
// in which the audit reads it back.  Table and column names come from a
// declarations file, so they are always quoted, and every SQL text is run as
// exactly one statement.
#pragma once

#include "tool_error.hpp"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa::tools {

// `name` as an SQL identifier: as it is when it is a plain name (letters,
// digits and underscores, not a keyword), which keeps the schema text of
// the case study's logs as it always was; otherwise in double quotes, inner
// quotes doubled, so that no name can end the identifier.
inline std::string quote_identifier(std::string_view name) {
  bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9') &&
               sqlite3_keyword_check(name.data(), static_cast<int>(name.size())) == 0;
  for (char c : name) {
    plain = plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                      (c >= '0' && c <= '9') || c == '_');
  }
  if (plain) return std::string(name);
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

struct SqliteCloser {
  void operator()(sqlite3* handle) const { sqlite3_close_v2(handle); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* handle) const { sqlite3_finalize(handle); }
};

// One prepared statement that is bound, stepped and reset once per row.
class RowInserter {
public:
  RowInserter(sqlite3* db, const std::string& sql) : db_(db) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
      throw ToolError("cannot prepare \"" + sql + "\": " + sqlite3_errmsg(db));
    }
    statement_.reset(raw);
  }

  // Binds value `index` (from 0) of the next row; the text is copied.
  void bind(int index, std::string_view text) {
    sqlite3_bind_text(statement_.get(), index + 1, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
  }

  // Stores the bound row.
  void insert() {
    int status = sqlite3_step(statement_.get());
    sqlite3_reset(statement_.get());
    if (status != SQLITE_DONE) throw ToolError(std::string("cannot insert: ") + sqlite3_errmsg(db_));
  }

  void insert(std::initializer_list<std::string_view> values) {
    int index = 0;
    for (std::string_view value : values) bind(index++, value);
    insert();
  }

private:
  sqlite3* db_;
  std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement_;
};

// A database file created for writing, tuned for one bulk load: no journal,
// no syncing until the end, one transaction.
class NewDatabase {
public:
  // `cache_kib` bounds the page cache and the sorter that builds indexes,
  // and with them the memory of the whole load.
  explicit NewDatabase(const std::string& path, int cache_kib = 262144) {
    sqlite3* raw = nullptr;
    int status = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 nullptr);
    handle_.reset(raw);
    if (status != SQLITE_OK) {
      throw ToolError("cannot create " + path + ": " +
                      (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(status)));
    }
    exec("PRAGMA journal_mode = OFF");
    exec("PRAGMA synchronous = OFF");
    exec("PRAGMA locking_mode = EXCLUSIVE");
    exec("PRAGMA cache_size = -" + std::to_string(cache_kib));
    exec("BEGIN");
  }

  // Runs `sql`, which must be one statement.
  void exec(const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(handle_.get(), sql.c_str(), static_cast<int>(sql.size()), &raw,
                           &tail) != SQLITE_OK) {
      throw ToolError("cannot run \"" + sql + "\": " + sqlite3_errmsg(handle_.get()));
    }
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(raw);
    for (; tail != nullptr && *tail != '\0'; ++tail) {
      if (*tail != ' ' && *tail != '\n' && *tail != '\t') {
        throw ToolError("cannot run \"" + sql + "\": more than one statement");
      }
    }
    int status = SQLITE_DONE;
    while (statement && (status = sqlite3_step(raw)) == SQLITE_ROW) {
    }
    if (status != SQLITE_DONE) {
      throw ToolError("cannot run \"" + sql + "\": " + sqlite3_errmsg(handle_.get()));
    }
  }

  // CREATE TABLE with every column of type TEXT.
  void create_table(const std::string& table, const std::vector<std::string>& columns) {
    std::string sql = "CREATE TABLE " + quote_identifier(table) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
      sql += (i ? ", " : "") + quote_identifier(columns[i]) + " TEXT";
    }
    exec(sql + ")");
  }

  // An index named TABLE_by_COLUMN..., or with a number after that when a
  // table or index already has the name (names of the declarations can
  // give one name twice: a_by_b(c) and a(b_by_c)).
  void create_index(const std::string& table, const std::vector<std::string>& columns) {
    std::string base = table + "_by";
    std::string list;
    for (const std::string& column : columns) {
      base += "_" + column;
      list += (list.empty() ? "" : ", ") + quote_identifier(column);
    }
    std::string name = base;
    for (int number = 2; name_taken(name); ++number) name = base + "_" + std::to_string(number);
    exec("CREATE INDEX " + quote_identifier(name) + " ON " + quote_identifier(table) + " (" +
         list + ")");
  }

  // Whether a table, index or other object of the database has `name`,
  // which SQLite compares without regard to case.
  bool name_taken(const std::string& name) {
    sqlite3_stmt* raw = nullptr;
    const char* sql = "SELECT 1 FROM sqlite_master WHERE name = ?1 COLLATE NOCASE";
    if (sqlite3_prepare_v2(handle_.get(), sql, -1, &raw, nullptr) != SQLITE_OK) {
      throw ToolError(std::string("cannot read the schema: ") + sqlite3_errmsg(handle_.get()));
    }
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(raw);
    sqlite3_bind_text(raw, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int status = sqlite3_step(raw);
    if (status != SQLITE_ROW && status != SQLITE_DONE) {
      throw ToolError(std::string("cannot read the schema: ") + sqlite3_errmsg(handle_.get()));
    }
    return status == SQLITE_ROW;
  }

  RowInserter inserter(const std::string& table, std::size_t width) {
    std::string sql = "INSERT INTO " + quote_identifier(table) + " VALUES (";
    for (std::size_t i = 0; i < width; ++i) sql += i ? ", ?" : "?";
    return RowInserter(handle_.get(), sql + ")");
  }

  sqlite3* handle() const { return handle_.get(); }

  // Commits the transaction and closes the file; errors surface here.
  void finish() {
    exec("COMMIT");
    sqlite3* raw = handle_.release();
    if (sqlite3_close_v2(raw) != SQLITE_OK) throw ToolError("cannot close the database");
  }

private:
  std::unique_ptr<sqlite3, SqliteCloser> handle_;
};

} // namespace hipaa::tools
