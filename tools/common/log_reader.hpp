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
  // Opens `path` read-only; a ToolError when it is missing or no database.
  explicit LogReader(const std::string& path);

  bool has_table(const std::string& name);

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
