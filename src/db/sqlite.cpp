// The SQLite access layer over the C interface.  Every handle is owned by
// exactly one object and released by its destructor.
#include "db/sqlite.hpp"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <utility>

namespace hipaa::db {

// --- Connection -----------------------------------------------------------

namespace {

// The audit uses SQLite from one thread only: before the library starts,
// turn off its mutexes and its memory statistics, which otherwise cost a
// lock on every allocation.  Once SQLite has started (a program that used it
// before), the calls are refused and change nothing.
void configure_library_once() {
  static const bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)configured;
}

// A log is a file: opening a FIFO or a device would block or read
// endlessly.  A path that does not exist is left to SQLite, which refuses
// it as it refuses any file it cannot open.
bool regular_file_or_absent(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode);
}

} // namespace

std::optional<Connection> Connection::open(const std::string& path) {
  if (!regular_file_or_absent(path)) return std::nullopt;
  configure_library_once();
  sqlite3* handle = nullptr;
  // Read-only: the log is evidence and is never written, not even by
  // SQLite's own recovery of a hot journal (a log that needs it fails to be
  // read instead); a missing file is an error, never a new database.
  int code = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
  if (code != SQLITE_OK) {
    sqlite3_close(handle); // harmless on null
    return std::nullopt;
  }
  // A writer's short transaction is waited for before a query gives up.
  sqlite3_busy_timeout(handle, kBusyTimeoutMilliseconds);
  return Connection(handle);
}

std::optional<Connection> Connection::open_read_only(const std::string& path) {
  if (!regular_file_or_absent(path)) return std::nullopt;
  configure_library_once();
  sqlite3* handle = nullptr;
  int code = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
  if (code != SQLITE_OK) {
    sqlite3_close(handle);
    return std::nullopt;
  }
  sqlite3_busy_timeout(handle, kBusyTimeoutMilliseconds);
  return Connection(handle);
}

void Connection::allow_threads() {
  // Refused once the library has started; the caller runs this first.
  sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  sqlite3_initialize();
}

Connection::Connection(Connection&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

Connection::~Connection() {
  // close_v2 defers the release until the last statement is finalized, so a
  // connection dropped while a statement is still open does not leak.
  if (handle_ != nullptr) sqlite3_close_v2(handle_);
}

void Connection::set_page_cache(int mebibytes) {
  // A negative cache size counts KiB rather than pages.
  std::string pragma = "PRAGMA cache_size = -" + std::to_string(mebibytes * 1024);
  sqlite3_exec(handle_, pragma.c_str(), nullptr, nullptr, nullptr);
}

int Connection::close() {
  if (handle_ == nullptr) return SQLITE_OK;
  int code = sqlite3_close(handle_);
  if (code == SQLITE_OK) handle_ = nullptr;
  return code;
}

// --- Statement ------------------------------------------------------------

std::optional<Statement> Statement::prepare(Connection& connection, const std::string& sql) {
  if (connection.handle() == nullptr) return std::nullopt;
  sqlite3_stmt* handle = nullptr;
  // Length -1 reads up to the NUL; without a tail pointer only the first
  // statement of the text is compiled.
  int code = sqlite3_prepare_v2(connection.handle(), sql.c_str(), -1, &handle, nullptr);
  if (code != SQLITE_OK || handle == nullptr) {
    sqlite3_finalize(handle); // harmless on null
    return std::nullopt;
  }
  return Statement(handle);
}

Statement::Statement(Statement&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    finalize();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

Statement::~Statement() { finalize(); }

StepStatus Statement::step() {
  switch (sqlite3_step(handle_)) {
  case SQLITE_ROW:
    return StepStatus::Row;
  case SQLITE_DONE:
    return StepStatus::Done;
  default:
    return StepStatus::Error;
  }
}

namespace {

// One column as text.  The text is copied up to its first NUL into a
// zero-filled buffer of the column's byte length; NULL has length 0 and
// reads as "".
void read_column(sqlite3_stmt* handle, int index, std::string& into) {
  const unsigned char* text = sqlite3_column_text(handle, index);
  int bytes = sqlite3_column_bytes(handle, index);
  if (text == nullptr || bytes <= 0) {
    into.clear();
    return;
  }
  const char* chars = reinterpret_cast<const char*>(text);
  std::size_t copied = strnlen(chars, static_cast<std::size_t>(bytes));
  into.assign(chars, copied);
  into.resize(static_cast<std::size_t>(bytes), '\0');
}

} // namespace

Row Statement::get_data() const {
  Row row;
  get_data_into(row);
  return row;
}

void Statement::get_data_into(Row& row) const {
  int count = sqlite3_column_count(handle_);
  row.resize(static_cast<std::size_t>(count));
  for (int index = 0; index < count; ++index) {
    read_column(handle_, index, row[static_cast<std::size_t>(index)]);
  }
}

void Statement::bind_text(int index, const std::string& text) {
  sqlite3_bind_text(handle_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::reset() {
  if (handle_ != nullptr) sqlite3_reset(handle_);
}

void Statement::finalize() {
  if (handle_ == nullptr) return;
  sqlite3_finalize(handle_);
  handle_ = nullptr;
}

} // namespace hipaa::db
