// Where each imported row came from, kept in the database for the tools
// that name rows later (hipaa-lint): one row per run of consecutive records
// whose lines follow the row numbers, so that a file of one-line records
// costs one row.
#pragma once

#include "common/sqlite_writer.hpp"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace hipaa::import {

class LineRecord {
public:
  // Creates the table in `database`.
  explicit LineRecord(tools::NewDatabase& database);

  // Row number n+1 of `table` (numbered from 1, in the order of insertion)
  // was read from `file` at `line`.
  void add(const std::string& table, const std::string& file, std::int64_t line);

  // The rows of `table` recorded so far.
  std::int64_t rows(const std::string& table) const;

  // "FILE:LINE" of row `row` of `table`, or "" when it was not recorded.
  std::string place(const std::string& table, std::int64_t row);

  // Writes the run still open.
  void finish();

private:
  struct Run {
    std::string table, file;
    std::int64_t first_row = 0, last_row = 0, first_line = 0;
  };

  tools::NewDatabase& database_;
  tools::RowInserter inserter_;
  std::map<std::string, std::int64_t> rows_;
  std::optional<Run> run_;
};

} // namespace hipaa::import
