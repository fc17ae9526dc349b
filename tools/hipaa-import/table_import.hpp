// Reading one CSV file for one table: the header names the columns, every
// record becomes one row of printed terms.  Problems with values are
// collected, not thrown, so that one run reports them all.
#pragma once

#include "code_map.hpp"
#include "date_formats.hpp"
#include "value_encoding.hpp"

#include "common/log_tables.hpp"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace hipaa::import {

// The problems found so far: the first `limit` in full, each
// "FILE:LINE: ..."; every later one counted by kind, file and column, with
// the first of each kind as its example.
class ErrorList {
public:
  explicit ErrorList(std::size_t limit) : limit_(limit) {}

  void add(std::string message);
  // A value of `column` refused at `where` ("FILE:LINE: "), for `reason`.
  void add_value(const std::string& where, const std::string& file, const std::string& column,
                 const std::string& reason);

  const std::vector<std::string>& messages() const { return messages_; }
  bool empty() const { return messages_.empty(); }
  std::size_t limit() const { return limit_; }
  std::int64_t total() const { return total_; }

  // One line per kind of the problems beyond the limit, most frequent
  // first: "N × FILE, column C: REASON (first FILE:LINE VALUE)".
  std::vector<std::string> summary() const;

private:
  struct Kind {
    std::int64_t count = 0;
    std::size_t order = 0;
    std::string example;
  };
  void count(const std::string& key, const std::string& example);

  std::size_t limit_;
  std::vector<std::string> messages_;
  std::map<std::string, Kind> kinds_;
  std::int64_t total_ = 0;
};

struct ErrorLimitReached {};

// Where a table's records come from: a path ("-" for standard input) and
// the name that messages give it.
struct TableSource {
  std::string path;
  std::string shown;
  // The file's own encoding, given after its name; "" for the default.
  std::string encoding = {};
};

struct ReadOptions {
  // Header fields that name no column are skipped, with their values,
  // instead of refused.
  bool ignore_extra_columns = false;
  // Columns whose value may be left empty; the row then holds "" there.
  std::vector<bool> may_be_empty;
  // The formats of date columns (ISO forms only without).
  const DateFormats* dates = nullptr;
  // Local codes of constants, translated before encoding.
  const CodeMap* codes = nullptr;
  // The encoding of the files without their own, as iconv names it; ""
  // for UTF-8.
  std::string encoding;
  // Every field may carry the "'" that hipaa-export puts before a cell a
  // spreadsheet would run as a formula; it is removed.  A file whose
  // header's first name starts with "'" (hipaa-export's mark) is read so
  // whatever this says.
  bool formula_guard = false;
  // Read a file as declared even where its byte-order mark, or its being
  // valid UTF-8, says otherwise.
  bool force_encoding = false;
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
