#include "log_state.hpp"

#include "auditor.hpp"

#include "../common/tool_error.hpp"

#include <sqlite3.h>

#include <cstdio>

namespace hipaa::report {

namespace {

LogState* g_run = nullptr;

std::string single(db::Connection& connection, const std::string& sql,
                   const std::string& path) {
  std::optional<db::Statement> statement = db::Statement::prepare(connection, sql);
  db::StepStatus status = statement ? statement->step() : db::StepStatus::Error;
  if (status == db::StepStatus::Error) {
    throw tools::ToolError(path + ": cannot read the audit database: " +
                           sqlite3_errmsg(connection.handle()));
  }
  return status == db::StepStatus::Row ? statement->get_data().at(0) : "";
}

// FNV-1a, 64 bits, over the bytes fed to it; each text is followed by its
// length, so that no two sequences of texts feed the same bytes.
class Fnv {
public:
  void add(const std::string& text) {
    for (unsigned char byte : text) mix(byte);
    for (std::size_t length = text.size(), i = 0; i < 8; ++i, length >>= 8) {
      mix(static_cast<unsigned char>(length));
    }
  }
  std::string hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
    return text;
  }

private:
  void mix(unsigned char byte) {
    hash_ ^= byte;
    hash_ *= 0x100000001b3ULL;
  }
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// `text` between `quote`s, each inner one doubled: an SQL name or literal.
std::string quoted(const std::string& text, char quote) {
  std::string result(1, quote);
  for (char c : text) {
    result += c;
    if (c == quote) result += c;
  }
  return result + quote;
}

} // namespace

LogState::LogState(const std::string& path, bool several_connections)
    : path_(path), several_connections_(several_connections),
      watcher_(open_audit_database(path)), version_(data_version()),
      held_(open_audit_database(path)) {
  single(held_, "BEGIN", path_);
  single(held_, "SELECT count(*) FROM sqlite_master", path_);
  g_run = this;
  check(path_);
}

LogState::~LogState() {
  if (g_run == this) g_run = nullptr;
}

std::int64_t LogState::data_version() {
  return std::stoll(single(watcher_, "PRAGMA data_version", path_));
}

void LogState::check_connection(const std::string& path) {
  if (g_run != nullptr) g_run->check(path);
}

void LogState::check(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (data_version() == version_) return;
  changed_ = true;
  if (several_connections_) {
    throw tools::ToolError(path + ": the log changed while the run began, so its threads "
                                  "would read different states of it; run again, with "
                                  "--jobs 1, or on a copy of the log");
  }
}

std::string LogState::identifier() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (changed_) {
    throw tools::ToolError(path_ + ": the log changed while the run began; the state read "
                                   "cannot be named");
  }
  Fnv hash;
  std::optional<db::Statement> tables = db::Statement::prepare(
      held_, "SELECT name, sql FROM sqlite_master WHERE type = 'table' ORDER BY name");
  while (tables && tables->step() == db::StepStatus::Row) {
    db::Row table = tables->get_data();
    hash.add(table[0]);
    hash.add(table[1]);
    const bool without_rowid =
        single(held_,
               "SELECT wr FROM pragma_table_list WHERE schema = 'main' AND name = " +
                   quoted(table[0], '\''),
               path_) == "1";
    std::optional<db::Statement> rows = db::Statement::prepare(
        held_, "SELECT * FROM " + quoted(table[0], '"') + (without_rowid ? "" : " ORDER BY rowid"));
    if (!rows) throw tools::ToolError(path_ + ": cannot read table " + table[0]);
    db::Row row;
    db::StepStatus status;
    while ((status = rows->step()) == db::StepStatus::Row) {
      rows->get_data_into(row);
      hash.add(std::to_string(row.size()));
      for (const std::string& value : row) hash.add(value);
    }
    if (status == db::StepStatus::Error) {
      throw tools::ToolError(path_ + ": cannot read table " + table[0]);
    }
  }
  return hash.hex();
}

} // namespace hipaa::report
