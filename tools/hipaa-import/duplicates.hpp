// Rows that repeat an earlier row of their table exactly, as spreadsheet
// exports make them: found while the rows are written, from a 64-bit hash
// of each row's values, and confirmed against the stored row.
#pragma once

#include "common/sqlite_writer.hpp"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hipaa::import {

class Duplicates {
public:
  explicit Duplicates(tools::NewDatabase& database) : database_(database) {}

  // The number of an earlier row of `table` (numbered from 1 in the order
  // of insertion) that holds exactly `values`, or 0 when there is none; in
  // that case `values` are remembered as row `row`, which the caller then
  // inserts.
  std::int64_t earlier(const std::string& table, const std::vector<std::string>& values,
                       std::int64_t row);

private:
  // Open addressing over (hash, row) pairs, row 0 marking a free slot.
  struct Table {
    std::vector<std::pair<std::uint64_t, std::int64_t>> slots =
        std::vector<std::pair<std::uint64_t, std::int64_t>>(1024);
    std::size_t used = 0;
  };

  bool same_row(const std::string& table, std::int64_t row, const std::vector<std::string>& values);
  static void grow(Table& table);

  tools::NewDatabase& database_;
  std::map<std::string, Table> tables_;
};

} // namespace hipaa::import
