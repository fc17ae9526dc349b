// Reading one CSV file for one table: the header names the columns, every
// record becomes one row of printed terms.  Problems with values are
// collected, not thrown, so that one run reports them all.
#pragma once

#include "value_encoding.hpp"

#include "common/log_tables.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hipaa::import {

// The problems found so far, each "FILE:LINE: ...".  Adding one beyond the
// limit ends the import with ErrorLimitReached.
class ErrorList {
public:
  explicit ErrorList(std::size_t limit) : limit_(limit) {}

  void add(std::string message);
  const std::vector<std::string>& messages() const { return messages_; }
  bool empty() const { return messages_.empty(); }
  std::size_t limit() const { return limit_; }

private:
  std::size_t limit_;
  std::vector<std::string> messages_;
};

struct ErrorLimitReached {};

// Where a table's records come from: a path ("-" for standard input) and
// the name that messages give it.
struct TableSource {
  std::string path;
  std::string shown;
};

struct ReadOptions {
  // Header fields that name no column are skipped, with their values,
  // instead of refused.
  bool ignore_extra_columns = false;
  // Columns whose value may be left empty; the row then holds "" there.
  std::vector<bool> may_be_empty;
  // The encoding of the files when it is not UTF-8, as iconv names it.
  std::string encoding;
  // Called now and then with the rows and bytes read so far.
  std::function<void(std::int64_t rows, long long bytes)> progress;
};

// One good record: the printed values in column order, the fields as the
// file gave them, also in column order, and the line the record starts on.
using RowSink = std::function<void(const std::vector<std::string>& printed,
                                   const std::vector<std::string>& given, std::int64_t line)>;

// Reads `source` completely as rows of `table`, handing each record whose
// values all fit to `sink`; returns the number of records.  Header problems
// and unbalanced quotes end the file; bad values and records of the wrong
// width are added to `errors` and reading goes on.
std::int64_t read_table(const TableSource& source, const tools::LogTable& table,
                        const ValueEncoder& encoder, const ReadOptions& options,
                        ErrorList& errors, const RowSink& sink);

} // namespace hipaa::import
