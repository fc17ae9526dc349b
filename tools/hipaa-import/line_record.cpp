#include "line_record.hpp"

#include "common/log_tables.hpp"

namespace hipaa::import {

namespace {

tools::RowInserter created(tools::NewDatabase& database) {
  const std::string table = tools::quote_identifier(tools::case_tables::kImportLines);
  database.exec("CREATE TABLE " + table +
                " (tbl TEXT, first_row INTEGER, last_row INTEGER, file TEXT, first_line INTEGER,"
                " PRIMARY KEY (tbl, first_row)) WITHOUT ROWID");
  return database.inserter(tools::case_tables::kImportLines, 5);
}

} // namespace

LineRecord::LineRecord(tools::NewDatabase& database)
    : database_(database), inserter_(created(database)) {}

std::int64_t LineRecord::rows(const std::string& table) const {
  auto found = rows_.find(table);
  return found == rows_.end() ? 0 : found->second;
}

std::string LineRecord::place(const std::string& table, std::int64_t row) {
  if (run_ && run_->table == table && run_->first_row <= row && row <= run_->last_row) {
    return run_->file + ":" + std::to_string(run_->first_line + (row - run_->first_row));
  }
  sqlite3_stmt* raw = nullptr;
  const std::string sql = "SELECT file, first_line + (?2 - first_row) FROM " +
                          tools::quote_identifier(tools::case_tables::kImportLines) +
                          " WHERE tbl = ?1 AND first_row <= ?2 AND last_row >= ?2";
  if (sqlite3_prepare_v2(database_.handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    return "";
  }
  std::unique_ptr<sqlite3_stmt, tools::StatementFinalizer> statement(raw);
  sqlite3_bind_text(raw, 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(raw, 2, row);
  if (sqlite3_step(raw) != SQLITE_ROW) return "";
  return reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)) + std::string(":") +
         reinterpret_cast<const char*>(sqlite3_column_text(raw, 1));
}

void LineRecord::add(const std::string& table, const std::string& file, std::int64_t line) {
  const std::int64_t row = ++rows_[table];
  if (run_ && run_->table == table && run_->file == file && run_->last_row + 1 == row &&
      run_->first_line + (row - run_->first_row) == line) {
    run_->last_row = row;
    return;
  }
  finish();
  run_ = Run{table, file, row, row, line};
}

void LineRecord::finish() {
  if (!run_) return;
  inserter_.bind(0, run_->table);
  inserter_.bind(1, std::to_string(run_->first_row));
  inserter_.bind(2, std::to_string(run_->last_row));
  inserter_.bind(3, run_->file);
  inserter_.bind(4, std::to_string(run_->first_line));
  inserter_.insert();
  run_.reset();
}

} // namespace hipaa::import
