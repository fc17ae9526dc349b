#include "cli/cli_harness.hpp"

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace hipaa::cli {

namespace fs = std::filesystem;

CaseDir::CaseDir() {
  std::string pattern = (fs::temp_directory_path() / "hipaa-cli-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

CaseDir::~CaseDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void CaseDir::write(const std::string& relative, const std::string& content) const {
  fs::path file = fs::path(path_) / relative;
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

void CaseDir::write_declarations(const std::string& text) const {
  write("hipaa-case-study/hipaa.d", text);
}

void CaseDir::write_policy(const std::string& text) const { write("hipaa-case-study/hipaa.f", text); }

void CaseDir::make_database(const std::string& sql) const {
  sqlite3* db = nullptr;
  std::string file = (fs::path(path_) / "hipaa.db").string();
  if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) throw std::runtime_error("open failed");
  char* error = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error("sql failed: " + message);
}

bool CaseDir::exists(const std::string& relative) const {
  return fs::exists(fs::path(path_) / relative);
}

std::string CaseDir::read(const std::string& relative) const {
  std::ifstream in(fs::path(path_) / relative, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

namespace {

std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

} // namespace

RunResult CaseDir::run(const std::vector<std::string>& arguments, std::string program) const {
  if (program.empty()) program = std::string(HIPAA_BINARY_DIR) + "/hipaa-audit";
  std::string out_file = path_ + "/.stdout";
  RunResult result = run_program(program, out_file, arguments);
  result.out = slurp(out_file);
  fs::remove(out_file);
  return result;
}

RunResult CaseDir::run_with_stdout(const std::string& stdout_target,
                                   const std::vector<std::string>& arguments) const {
  return run_program(std::string(HIPAA_BINARY_DIR) + "/hipaa-audit", stdout_target, arguments);
}

RunResult CaseDir::run_into_closed_pipe(const std::vector<std::string>& arguments) const {
  int ends[2];
  if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
  close(ends[0]);
  RunResult result = run_program(std::string(HIPAA_BINARY_DIR) + "/hipaa-audit", "/dev/null",
                                 arguments, [&] { dup2(ends[1], STDOUT_FILENO); });
  close(ends[1]);
  return result;
}

RunResult CaseDir::run_with_address_limit(std::size_t bytes,
                                          const std::vector<std::string>& arguments) const {
  std::string out_file = path_ + "/.stdout";
  RunResult result = run_program(std::string(HIPAA_BINARY_DIR) + "/hipaa-audit", out_file,
                                 arguments, [bytes] {
                                   rlimit limit{bytes, bytes};
                                   setrlimit(RLIMIT_AS, &limit);
                                 });
  result.out = slurp(out_file);
  fs::remove(out_file);
  return result;
}

RunResult CaseDir::run_program(std::string program, const std::string& out_file,
                               const std::vector<std::string>& arguments,
                               const std::function<void()>& in_child) const {
  std::string err_file = path_ + "/.stderr";
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    if (chdir(path_.c_str()) != 0) _exit(127);
    if (!freopen(out_file.c_str(), "w", stdout) || !freopen(err_file.c_str(), "w", stderr)) {
      _exit(127);
    }
    if (in_child) in_child();
    std::vector<char*> argv;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int wait_status = 0;
  waitpid(child, &wait_status, 0);
  RunResult result;
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  result.err = slurp(err_file);
  fs::remove(err_file);
  return result;
}

std::string mask_time(const std::string& out) {
  static const std::regex time_line("time used: [0-9]+\\.[0-9]{3}%");
  return std::regex_replace(out, time_line, "time used: T%");
}

} // namespace hipaa::cli
