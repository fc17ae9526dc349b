#include "report_folder.hpp"

#include "../common/output_file.hpp"
#include "../common/tool_error.hpp"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace hipaa::report {

namespace fs = std::filesystem;

namespace {

constexpr std::array<const char*, 8> kReportFiles = {
    "verdicts.csv",  "verdicts.json",      "summary.html", "worklist.csv",
    "stale-decisions.csv", "manifest.json", "summary-part.jsonl", "units.jsonl"};

std::string trimmed(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

[[noreturn]] void cannot_write(const std::string& path, int code) {
  throw tools::ToolError("cannot write the report to " + path + ": " + std::strerror(code));
}

bool is_report_file(const fs::directory_entry& entry) {
  std::error_code error;
  const std::string name = entry.path().filename().string();
  return std::find(kReportFiles.begin(), kReportFiles.end(), name) != kReportFiles.end() &&
         fs::is_regular_file(entry.symlink_status(error)) && !error;
}

// Only an earlier report is ever replaced: a folder that holds anything but
// regular files named as a report's (a sub-folder, a link, a file of
// another name) is the user's, and stays as it is.
bool holds_only_a_report(const std::string& path) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
    if (!is_report_file(entry)) return false;
  }
  return !error;
}

// Removes a report folder file by file, never more: a folder that holds
// anything else is left as it is.
void remove_report(const std::string& path) {
  if (!holds_only_a_report(path)) return;
  for (const char* name : kReportFiles) ::unlink((path + "/" + name).c_str());
  ::rmdir(path.c_str());
}

// Removes the "<name>.tmp-<pid>" folders beside `path` whose process no
// longer runs: what a run killed by SIGKILL or a power cut left behind.
void remove_stale_temporaries(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path().empty() ? fs::path(".")
                                                                 : fs::path(path).parent_path();
  const std::string prefix = fs::path(path).filename().string() + ".tmp-";
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    const pid_t pid = static_cast<pid_t>(std::stol(digits));
    if (pid <= 0 || pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
    if (fs::is_directory(entry.symlink_status(error))) remove_report(entry.path().string());
  }
}

} // namespace

ReportFolder::ReportFolder(std::string path)
    : path_(trimmed(std::move(path))), temporary_(path_ + ".tmp-" + std::to_string(::getpid())) {
  std::error_code ignored;
  fs::file_status existing = fs::symlink_status(path_, ignored);
  if (fs::exists(existing) && !fs::is_directory(existing)) {
    throw tools::ToolError("cannot write the report to " + path_ + ": it is not a folder");
  }
  if (fs::is_directory(existing) && !holds_only_a_report(path_)) {
    throw tools::ToolError("cannot write the report to " + path_ +
                           ": the folder holds files that are not a report's");
  }
  remove_stale_temporaries(path_);
  remove_report(temporary_);
  tools::remove_temporary_on_signal();
  if (::mkdir(temporary_.c_str(), 0777) != 0) cannot_write(path_, errno);
  slots_.push_back(tools::remove_on_signal(temporary_));
}

ReportFolder::~ReportFolder() {
  if (!committed_) remove_temporary();
}

void ReportFolder::remove_temporary() {
  for (auto slot = slots_.rbegin(); slot != slots_.rend(); ++slot) tools::keep_on_signal(*slot);
  slots_.clear();
  for (const std::string& name : files_) ::unlink((temporary_ + "/" + name).c_str());
  ::rmdir(temporary_.c_str());
}

std::ofstream ReportFolder::create(const std::string& name) {
  const std::string file_path = temporary_ + "/" + name;
  if (std::find(files_.begin(), files_.end(), name) == files_.end()) {
    files_.push_back(name);
    slots_.push_back(tools::remove_on_signal(file_path));
  }
  std::ofstream file(file_path, std::ios::binary | std::ios::trunc);
  if (!file) cannot_write(path_ + "/" + name, errno);
  return file;
}

void ReportFolder::close(std::ofstream& file, const std::string& name) const {
  file.flush();
  if (!file) cannot_write(path_ + "/" + name, errno);
  file.close();
  if (file.fail()) cannot_write(path_ + "/" + name, errno);
}

void ReportFolder::commit() {
  for (const std::string& name : files_) tools::sync_path(temporary_ + "/" + name);
  tools::sync_path(temporary_);
  std::error_code error;
  std::string previous;
  const fs::file_status existing = fs::symlink_status(path_, error);
  if (fs::exists(existing)) {
    if (!fs::is_directory(existing)) {
      throw tools::ToolError("cannot write the report to " + path_ + ": it is not a folder");
    }
    // The folder is checked again once it is out of the way: files put into
    // it while the report ran make it the user's.
    previous = path_ + ".old-" + std::to_string(::getpid());
    fs::rename(path_, previous, error);
    if (error) cannot_write(path_, error.value());
    if (!holds_only_a_report(previous)) {
      fs::rename(previous, path_, error);
      const std::string kept = path_ + ".new-" + std::to_string(::getpid());
      fs::rename(temporary_, kept, error);
      if (error) {
        throw tools::ToolError("cannot write the report to " + path_ +
                               ": the folder now holds files that are not a report's");
      }
      for (int slot : slots_) tools::keep_on_signal(slot);
      committed_ = true;
      throw tools::ToolError("cannot write the report to " + path_ +
                             ": the folder now holds files that are not a report's; the new "
                             "report is in " + kept);
    }
  }
  fs::rename(temporary_, path_, error);
  if (error) {
    int code = error.value();
    if (!previous.empty()) fs::rename(previous, path_, error);
    cannot_write(path_, code);
  }
  for (int slot : slots_) tools::keep_on_signal(slot);
  committed_ = true;
  tools::sync_folder_of(path_);
  if (!previous.empty()) remove_report(previous);
}

} // namespace hipaa::report
