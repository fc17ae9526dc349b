#include "log_reader.hpp"

#include "output_file.hpp"

#include "db/sqlite.hpp"

#include <sys/stat.h>

namespace hipaa::tools {

LogReader::LogReader(const std::string& path) : path_(path) {
  if (!path_exists(path)) throw ToolError(path + ": no such file");
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    throw ToolError(path + ": not a regular file, so not a log");
  }
  sqlite3* raw = nullptr;
  int status = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  handle_.reset(raw);
  if (status != SQLITE_OK) {
    throw ToolError("cannot open " + path + ": " +
                    (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(status)));
  }
  sqlite3_busy_timeout(raw, db::kBusyTimeoutMilliseconds);
  // A file that is no database fails on its first read.
  single("SELECT count(*) FROM sqlite_master");
}

bool LogReader::has_table(const std::string& name) {
  return single("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?", {name}) !=
         "0";
}

void LogReader::each_row(const std::string& sql, const std::vector<std::string>& parameters,
                         const std::function<bool(const TextRow&)>& row) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(handle_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw ToolError("cannot read " + path_ + ": " + sqlite3_errmsg(handle_.get()));
  }
  std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(raw);
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    sqlite3_bind_text(raw, static_cast<int>(i + 1), parameters[i].data(),
                      static_cast<int>(parameters[i].size()), SQLITE_TRANSIENT);
  }
  TextRow values;
  int status;
  while ((status = sqlite3_step(raw)) == SQLITE_ROW) {
    values.resize(static_cast<std::size_t>(sqlite3_column_count(raw)));
    for (std::size_t i = 0; i < values.size(); ++i) {
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, static_cast<int>(i)));
      int bytes = sqlite3_column_bytes(raw, static_cast<int>(i));
      values[i].assign(text ? text : "", text ? static_cast<std::size_t>(bytes) : 0);
    }
    if (!row(values)) return;
  }
  if (status != SQLITE_DONE) {
    throw ToolError("cannot read " + path_ + ": " + sqlite3_errmsg(handle_.get()));
  }
}

std::string LogReader::row_order(const std::string& table) {
  const std::string without_rowid =
      single("SELECT wr FROM pragma_table_list WHERE schema = 'main' AND name = ?", {table});
  return without_rowid == "1" ? "" : " ORDER BY rowid";
}

std::string LogReader::row_id(const std::string& table, const std::string& alias) {
  if (row_order(table).empty()) return "'-'";
  return alias.empty() ? "rowid" : alias + ".rowid";
}

std::string LogReader::single(const std::string& sql, const std::vector<std::string>& parameters) {
  std::string result;
  each_row(sql, parameters, [&](const TextRow& row) {
    if (!row.empty()) result = row[0];
    return false;
  });
  return result;
}

} // namespace hipaa::tools
