// Reading an audit log: a read-only connection (the tools that read a log
// never change it) and queries whose rows are handed on one at a time.
#pragma once

#include "sqlite_writer.hpp"

#include <functional>
#include <string>
#include <vector>

namespace hipaa::tools {

using TextRow = std::vector<std::string>;

class LogReader {
public:
  // Opens `path` read-only; a ToolError when it is missing, not a regular
  // file (a FIFO would block the open for ever) or no database.  A query
  // waits as long as the audit does for a writer's lock.
  explicit LogReader(const std::string& path);

  bool has_table(const std::string& name);

  // " ORDER BY rowid", or "" for a table without rowid, which is read in
  // the order of its primary key.
  std::string row_order(const std::string& table);
  // The SQL for a row's number in messages: `alias`.rowid (or rowid), or
  // '-' for a table without rowid.
  std::string row_id(const std::string& table, const std::string& alias = "");

  // Runs `sql` with `parameters` bound as text, handing each row (NULL as
  // "") to `row`; `row` returns false to stop early.
  void each_row(const std::string& sql, const std::vector<std::string>& parameters,
                const std::function<bool(const TextRow&)>& row);

  // The first column of the first row, or "".
  std::string single(const std::string& sql, const std::vector<std::string>& parameters = {});

  const std::string& path() const { return path_; }

private:
  std::string path_;
  std::unique_ptr<sqlite3, SqliteCloser> handle_;
};

} // namespace hipaa::tools
