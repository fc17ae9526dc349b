// A scratch directory for running the built programs as a user would: it
// holds a link to the shipped case study, the audit database and whatever
// the programs write, and disappears with the object.
#pragma once

#include <sqlite3.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace hipaa::testing {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_file(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// Single quotes for the shell.
inline std::string shell_quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class Sandbox {
public:
  Sandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "hipaa-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    std::filesystem::create_directory_symlink(
        std::filesystem::path(HIPAA_SOURCE_DIR) / "hipaa-case-study", dir_ / "hipaa-case-study");
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;
  ~Sandbox() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  const std::filesystem::path& dir() const { return dir_; }
  std::filesystem::path path(const std::string& name) const { return dir_ / name; }
  bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

  // The files of the directory other than the case study link, sorted.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      std::string name = entry.path().filename().string();
      if (name != "hipaa-case-study") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Runs one of the built programs in the directory, in UTC.
  RunResult run(const std::string& program, const std::vector<std::string>& args = {}) const {
    std::string command = "cd " + shell_quote(dir_.string()) + " && TZ=UTC " +
                          shell_quote(std::string(HIPAA_BINARY_DIR) + "/" + program);
    for (const std::string& arg : args) command += " " + shell_quote(arg);
    command += " > .stdout 2> .stderr";
    int status = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = read_file(dir_ / ".stdout");
    result.err = read_file(dir_ / ".stderr");
    std::filesystem::remove(dir_ / ".stdout");
    std::filesystem::remove(dir_ / ".stderr");
    return result;
  }

private:
  std::filesystem::path dir_;
};

// An open SQLite connection for setting up and inspecting test databases.
class TestDb {
public:
  explicit TestDb(const std::filesystem::path& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("cannot open db");
    exec("PRAGMA synchronous = OFF");
    exec("PRAGMA journal_mode = MEMORY");
  }
  TestDb(const TestDb&) = delete;
  TestDb& operator=(const TestDb&) = delete;
  ~TestDb() { sqlite3_close_v2(db_); }

  void exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = error ? error : "?";
      sqlite3_free(error);
      throw std::runtime_error(message + " in: " + sql);
    }
  }

  // Every row of the query, its columns joined by "|".
  std::vector<std::string> rows(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
    }
    std::vector<std::string> result;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::string row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        const unsigned char* text = sqlite3_column_text(statement, i);
        row += (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
      }
      result.push_back(row);
    }
    sqlite3_finalize(statement);
    return result;
  }

  std::string single(const std::string& sql) {
    std::vector<std::string> all = rows(sql);
    return all.empty() ? "" : all.front();
  }

private:
  sqlite3* db_ = nullptr;
};

} // namespace hipaa::testing
