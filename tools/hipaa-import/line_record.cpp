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

LineRecord::LineRecord(tools::NewDatabase& database) : inserter_(created(database)) {}

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
